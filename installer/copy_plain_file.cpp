#include "installer/copy_plain_file.h"

#include <windows.h>

#include "installer/schedule_replace.h"

namespace installer {

bool CopyPlainFile(const char* tempPath, const char* destination) {
    if (CopyFileA(tempPath, destination, FALSE)) {
        DeleteFileA(tempPath);
        return true;
    }
    if (ScheduleReplace(destination, tempPath)) return true;
    DeleteFileA(tempPath);
    return false;
}

}  // namespace installer
