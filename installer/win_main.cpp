#include <windows.h>

#include "installer/sequence.h"
#include "uninstaller/command_tail.h"

// The tail is parsed from the whole command line rather than taken from the
// runtime's lpCmdLine, whose rules for quotes differ.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return installer::RunSetup(instance, uninstaller::CommandTail(GetCommandLineA()));
}
