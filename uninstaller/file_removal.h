// Deleting a recorded file, or, when it is in use, having Windows delete it
// at the next restart.
#pragma once

namespace uninstaller {

// Deletes the file. When it is in use (a program or library that is running,
// a file held open), it is scheduled for deletion at the next restart
// instead; only the NT family keeps such a schedule. Anything else that
// stops the deletion leaves the file. True when the file is gone or
// scheduled.
bool RemoveFile(const char* path);

// True once any RemoveFile of this process has scheduled a deletion.
bool AnyRemovalScheduled();

// Asks Windows to remove the folder at the next restart, which it does only
// if the folder is empty then. False where no schedule is kept.
bool ScheduleFolderRemoval(const char* path);

}  // namespace uninstaller
