#include <windows.h>

#include "installer/sequence.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return installer::RunSetup(instance);
}
