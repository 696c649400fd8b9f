// zek2dat.dll: the exports over the builder library. All are __stdcall and
// exported by their plain names (zek2dat.def, linked with --kill-at).
#include <windows.h>

#include "builder/build_dialog.h"
#include "builder/build_driver.h"
#include "builder/build_state.h"
#include "builder/compression.h"

extern "C" {

int WINAPI Zek2Dat(const char* projectPath, const char* outputPath) {
    return builder::Zek2Dat(projectPath, outputPath);
}

INT_PTR CALLBACK DialogUpdateProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return builder::BuildDialogProc(window, message, wParam, lParam);
}

DWORD WINAPI DoCrc32(const char* path) { return builder::DoCrc32(path); }

BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
    builder::SetModuleInstance(instance);
    return TRUE;
}

}  // extern "C"
