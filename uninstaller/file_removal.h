// Deleting recorded files, and having Windows delete at the next restart
// those that are in use while the uninstaller runs (the uninstaller itself
// and its log library among them).
#pragma once

namespace uninstaller {

// Deletes the file. One in use (a running program, a loaded library, a file
// held open) is noted for ScheduleInUseRemovals instead. Anything else that
// stops the deletion (a missing or read-only file) leaves the file.
void RemoveFile(const char* path);

// Has Windows delete, at the next restart, every file that RemoveFile noted
// as in use, then folder, which Windows removes only if it is empty by then.
// Does nothing when no file was noted, or for an empty folder text. Called
// only when the run completes: after a Cancel, the uninstaller must still be
// there to run again. Windows 95/98 keep no such schedule; the files stay.
void ScheduleInUseRemovals(const char* folder);

}  // namespace uninstaller
