#include "installer/copy_plain_file.h"

#include <windows.h>

#include "installer/schedule_replace.h"

namespace installer {

Placement PlaceFile(const char* tempPath, const char* destination) {
    if (CopyFileA(tempPath, destination, FALSE)) {
        DeleteFileA(tempPath);
        return Placement::kCopied;
    }
    if (ScheduleReplace(destination, tempPath)) return Placement::kScheduled;
    DeleteFileA(tempPath);
    return Placement::kFailed;
}

bool CopyPlainFile(const char* tempPath, const char* destination) {
    return PlaceFile(tempPath, destination) != Placement::kFailed;
}

}  // namespace installer
