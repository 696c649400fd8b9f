// The install action for ordinary files.
#pragma once

namespace installer {

// Where a new copy ended up.
enum class Placement {
    kCopied,     // at the destination; the temporary file is gone
    kScheduled,  // waits in the temporary file for the next Windows start
    kFailed,     // nowhere; the temporary file is gone
};

// Copies the new copy at tempPath over destination. When that fails (the
// installed file is in use) the replacement is scheduled for the next
// Windows start and tempPath stays in place for it; when it cannot be
// scheduled either, tempPath is deleted. Reports nothing.
Placement PlaceFile(const char* tempPath, const char* destination);

// PlaceFile as an install action: true when the file was copied or its
// replacement scheduled.
bool CopyPlainFile(const char* tempPath, const char* destination);

}  // namespace installer
