#include "uninstaller/file_removal.h"

#include <windows.h>

namespace uninstaller {

namespace {

bool removalScheduled = false;

// A NULL target with MOVEFILE_DELAY_UNTIL_REBOOT deletes at the next start.
// Windows 95/98 do not implement it and fail with
// ERROR_CALL_NOT_IMPLEMENTED, which leaves the file as before.
bool DeleteAtRestart(const char* path) {
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

}  // namespace

bool RemoveFile(const char* path) {
    if (DeleteFileA(path)) return true;
    // A file held open fails with ERROR_SHARING_VIOLATION; a running program
    // or a loaded library with ERROR_ACCESS_DENIED. A read-only file fails
    // like the latter but is not in use: it stays, as do missing files.
    DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return false;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    if (!DeleteAtRestart(path)) return false;
    removalScheduled = true;
    return true;
}

bool AnyRemovalScheduled() { return removalScheduled; }

bool ScheduleFolderRemoval(const char* path) { return DeleteAtRestart(path); }

}  // namespace uninstaller
