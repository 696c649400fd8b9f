#include "uninstaller/file_removal.h"

#include <windows.h>

#include <string>
#include <vector>

namespace uninstaller {

namespace {

std::vector<std::string> inUse;

// A NULL target deletes at the next start; Windows 95/98 fail with
// ERROR_CALL_NOT_IMPLEMENTED.
void DeleteAtRestart(const char* path) { MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

}  // namespace

void RemoveFile(const char* path) {
    if (DeleteFileA(path)) return;
    // A file held open fails with ERROR_SHARING_VIOLATION; a running program
    // or a loaded library with ERROR_ACCESS_DENIED. A read-only file fails
    // like the latter but is not in use.
    DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return;
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY)) return;
    inUse.push_back(path);
}

void ScheduleInUseRemovals(const char* folder) {
    if (inUse.empty()) return;
    for (const std::string& path : inUse) DeleteAtRestart(path.c_str());
    if (*folder) DeleteAtRestart(folder);
}

}  // namespace uninstaller
