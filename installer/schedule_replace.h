// Replacing a file that is in use at the next Windows start.
#pragma once

#include <windows.h>

namespace installer {

// Asks Windows to move source (the new copy, which must stay in place until
// then) over destination (the installed file) at its next start. Both files
// must exist; otherwise nothing is written and the result is false. True
// when the request was recorded.
bool ScheduleReplace(const char* destination, const char* source);

// ScheduleReplace for a given platform id of GetVersionExA: the NT family
// (VER_PLATFORM_WIN32_NT) takes the request through MoveFileExA; the
// Windows 95 family only reads the [rename] section of wininit.ini, which
// gets the line destination=source in short (8.3) paths.
bool ScheduleReplaceOn(DWORD platformId, const char* destination, const char* source);

// True once this process has recorded a replacement: the installation is
// complete only after the next Windows start.
bool ReplaceScheduled();

}  // namespace installer
