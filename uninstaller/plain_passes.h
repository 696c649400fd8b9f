// The removal passes that need no question: shell links, copied files and
// created folders. Each reads its list of the uninstall log and handles the
// texts in recorded order; the status line shows the pass and the bar moves
// to i * 100 / count after text i, so a pass never shows 100. An empty list
// leaves the window as it was. Nothing is reported: what cannot be removed
// stays.
#pragma once

#include <windows.h>

namespace uninstaller {

// Deletes each recorded link.
void RemoveLinks(const char* log, HWND progress);
// Deletes each recorded copied file; one in use stays, unless it is the
// uninstaller's own (see RemoveOwnFilesAfterExit).
void RemoveCopiedFiles(const char* log, HWND progress);
// Removes each recorded folder that is empty at its turn, then tries the
// ones left once more in reverse order, so that a folder recorded before its
// own sub-folder goes too once that is gone.
void RemoveCreatedDirs(const char* log, HWND progress);

}  // namespace uninstaller
