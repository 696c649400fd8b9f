#include <windows.h>

#include "uninstaller/command_tail.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/uninstall.h"

// The tail is parsed from the whole command line rather than taken from the
// runtime's lpCmdLine, whose rules for quotes differ.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* tail = uninstaller::CommandTail(GetCommandLineA());
    if (uninstaller::IsRemovalCopyTail(tail)) return uninstaller::RunRemovalCopy(tail);
    bool quiet = false;
    const char* logPath = uninstaller::TakeQuietSwitch(tail, &quiet);
    return uninstaller::RunUninstall(instance, logPath, quiet);
}
