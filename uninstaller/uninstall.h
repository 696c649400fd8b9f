// The whole run of drevok.exe: the log check, the one question, the passes
// in their order, the deletion of the log and the goodbye.
#pragma once

#include <windows.h>

namespace uninstaller {

// Uninstalls what the log at logPath records (the path is used exactly as
// given). Returns the exit code: 1 when the run reached its end, even if
// some items stayed; 0 when nothing was shown (empty path, unreadable log,
// no progress window), when the user answered No, or when a delete question
// was cancelled, which leaves the log for another run.
int RunUninstall(HINSTANCE instance, const char* logPath);

}  // namespace uninstaller
