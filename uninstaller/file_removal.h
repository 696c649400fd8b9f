// Deleting recorded files. What cannot be deleted stays where it is, with
// two exceptions: the uninstaller's own program and its log library, in use
// for as long as it runs. A copy of both in a fresh temporary folder deletes
// them, and then their folder, once the uninstaller has ended; only that
// copy and its folder wait for the next restart, so a reinstallation before
// the restart keeps its own uninstaller.
#pragma once

#include <string>
#include <vector>

namespace uninstaller {

// Deletes the file. The uninstaller's own program or log library, in use by
// this run, is noted for RemoveOwnFilesAfterExit. Anything else that stops
// the deletion (another program using the file, a read-only or missing
// file, a folder) leaves it as it is.
void RemoveFile(const char* path);

// When RemoveFile noted the uninstaller's own files: copies the program and
// its log library into a fresh temporary folder and starts the copy, which
// waits for this process to end, deletes those files, then removes each of
// folders, innermost first, that is empty by then, and has Windows delete the copy
// and its folder at the next restart (Windows 95/98 keep no such schedule:
// the copy stays in the temporary folder). Does nothing when no own file was
// noted; when the copy cannot be made or started, the files stay. Called
// only when the run completes: after a Cancel, the uninstaller must still be
// there to run again.
void RemoveOwnFilesAfterExit(const std::vector<std::string>& folders);

// True when tail is the command tail RemoveOwnFilesAfterExit gives the copy.
// No log path starts like it ('|' cannot stand in a path).
bool IsRemovalCopyTail(const char* tail);

// The copy's whole run, given its tail; returns its exit code, 0. Nothing is
// deleted unless the process the tail names could be waited for.
int RunRemovalCopy(const char* tail);

}  // namespace uninstaller
