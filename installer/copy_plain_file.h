// The install action for ordinary files.
#pragma once

namespace installer {

// Copies the new copy at tempPath over destination. When that fails (the
// installed file is in use) the replacement is scheduled for the next
// Windows start and tempPath stays in place for it; when it cannot be
// scheduled either, tempPath is deleted. Returns true when the file was
// copied or its replacement scheduled. Reports nothing.
bool CopyPlainFile(const char* tempPath, const char* destination);

}  // namespace installer
