// zek2dat.dll: the exports over the builder library. All are __stdcall and
// exported by their plain names (zek2dat.def, linked with --kill-at).
#include <windows.h>

#include "builder/build_driver.h"
#include "builder/crc_window.h"
#include "builder/win_build_host.h"

extern "C" {

// One build at a time per process: the build window and zlib.dll live as
// long as the host of the call.
int WINAPI Zek2Dat(const char* projectPath, const char* outputPath) {
    uint32_t code = 0;
    int result;
    {
        builder::WinBuildHost host(builder::ModuleInstance());
        result = builder::BuildPackage(host, projectPath, outputPath, &code);
    }
    // Closing files, deleting temporary ones and destroying the window all
    // succeed after the step that reported a code and overwrite the thread's
    // last error: the caller must still find the first code.
    if (code) SetLastErrorEx(code, SLE_ERROR);
    return result;
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
