// Installing one file group of the package.
#pragma once

#include <windows.h>

#include <cstdio>

#include "package/records.h"

namespace installer {

// Installs the files of group from the stream, which stands just after the
// group's header, into groupDir (its GroupPathTable entry). The entries are
// read in one block and checked against the package before anything is
// written: entries and data must lie inside the package, the sizes must add
// up to the group's total, and every name must stay inside groupDir.
// Then, file by file: the destination is recorded in the uninstall log
// (when logPath names one; before anything is written, so a file whose
// action fails is still listed),
// shown on the status window's line 1017, extracted into a temporary file
// with progress on its bar 1016, and handed to the install action of the
// group's copy mode. The line and the bar change at most every 50 ms (the
// end of a file's bar excepted); the group's last file, and a file that
// cannot be extracted, are always left named on the line. Returns 1 with the
// stream just after the group's last data byte. Returns 0 after the box
// "Error while copyying file : \n " and the destination (owned by
// statusWindow) when the group is damaged or a file cannot be extracted.
int CopyGroup(const package::GroupHeader& group, HWND statusWindow, FILE* stream,
              const char* groupDir, const char* logPath);

}  // namespace installer
