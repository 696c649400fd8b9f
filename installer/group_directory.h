// Where each file group of the package goes.
#pragma once

#include <windows.h>

#include <cstddef>

#include "package/limits.h"
#include "package/records.h"

namespace installer {

using package::kMaxGroups;

// The directory of each group in package order, so that entry i belongs to
// group i; each ends in "\\". An entry is empty when its group has no
// directory (an unknown destination kind, an unsafe subfolder name, a path
// too long). Filled once per run; the shortcuts read it too.
struct GroupPathTable {
    char paths[kMaxGroups][MAX_PATH] = {};
    size_t count = 0;
};

// Works out the group's directory from its destination kind (low four bits
// of the flags): 1 the install directory, 2 the Windows directory, 4 the
// system directory; 9, 10 and 12 the same followed by the group's subfolder,
// which is created (one level; failure ignored) and, when logPath names the
// uninstall log, recorded as a created directory even when it existed
// already. installDir is the destination the user chose. Appends the
// directory to table while it holds fewer than kMaxGroups entries.
void ResolveGroupDirectory(const package::GroupHeader& group, const char* installDir,
                           const char* logPath, GroupPathTable* table);

// Copies entry index into out (MAX_PATH bytes): the directory, or an empty
// text while the entry is unfilled. False, leaving out untouched, for an
// index of kMaxGroups or more.
bool LookupGroupPath(const GroupPathTable& table, size_t index, char* out);

}  // namespace installer
