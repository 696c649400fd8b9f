// The whole run of drevok.exe: the log check, the one question, the passes
// in their order, the deletion of the log and the goodbye.
#pragma once

#include <windows.h>

#include "uninstaller/exit_code.h"

namespace uninstaller {

// Uninstalls what the log at logPath records (the path is used exactly as
// given). Returns the exit code: done when the run reached its end, even if
// some items stayed; failed when nothing was shown (empty path, unreadable
// log, no progress window), when the user answered No, or when a delete
// question was cancelled, which leaves the log for another run. quiet (/S)
// shows no window and asks nothing: the shared files whose last counted use
// goes are deleted.
int RunUninstall(HINSTANCE instance, const char* logPath, bool quiet = false);

}  // namespace uninstaller
