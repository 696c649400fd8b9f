#include "installer/schedule_replace.h"

#include "package/bytes.h"
#include "win32/temp_file.h"

namespace installer {

namespace {

bool scheduled = false;

bool ShortPath(const char* path, char* out) {
    DWORD len = GetShortPathNameA(path, out, MAX_PATH);
    return len > 0 && len < MAX_PATH;
}

bool ScheduleInWininit(const char* destination, const char* source) {
    char windowsDir[MAX_PATH] = {};
    char wininit[MAX_PATH];
    UINT len = GetWindowsDirectoryA(windowsDir, MAX_PATH);
    if (len == 0 || len >= MAX_PATH ||
        !package::JoinPath(wininit, sizeof wininit, windowsDir, "wininit.ini"))
        return false;
    char shortDestination[MAX_PATH];
    char shortSource[MAX_PATH];
    if (!ShortPath(destination, shortDestination) || !ShortPath(source, shortSource)) return false;
    // No "NUL=source" line: the rename alone moves the file, and a second
    // request would turn that line into a deletion of its own source before
    // its rename runs.
    return WritePrivateProfileStringA("rename", shortDestination, shortSource, wininit) != 0;
}

}  // namespace

bool ScheduleReplace(const char* destination, const char* source) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return ScheduleReplaceOn(version.dwPlatformId, destination, source);
}

bool ScheduleReplaceOn(DWORD platformId, const char* destination, const char* source) {
    if (!win32::PathExists(destination) || !win32::PathExists(source)) return false;
    // The NT family ignores wininit.ini.
    const DWORD flags = MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING;
    bool recorded = platformId == VER_PLATFORM_WIN32_NT
                        ? MoveFileExA(source, destination, flags) != 0
                        : ScheduleInWininit(destination, source);
    if (recorded) scheduled = true;
    return recorded;
}

bool ReplaceScheduled() { return scheduled; }

}  // namespace installer
