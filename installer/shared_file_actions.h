// The install actions of files counted in SharedDLLs: shared DLLs and
// self-registering servers.
#pragma once

namespace installer {

// Counts one more use of destination (a file not yet installed gets 1),
// then puts the new copy at tempPath in its place unless the installed
// copy is newer: then the installed file stays and tempPath is deleted. A
// copy over a file in use is scheduled for the next Windows start as
// PlaceFile does. True when the file is in place, kept or scheduled.
bool CopySharedDll(const char* tempPath, const char* destination);

// CopySharedDll for a server that registers itself: an installed copy that
// is replaced is unregistered first, and the new copy registered once it is
// in place. When the replacement waits for the next Windows start, so does
// the registration: the line
//   regsvr32 /s /c "destination"
// is appended to reg_oles.bat in the temporary folder, and the default
// value of HKLM RunOnce names that batch file, quoted. A kept installed
// copy keeps its registration.
bool CopyOleServer(const char* tempPath, const char* destination);

}  // namespace installer
