// The run pack lists of the package body: the programs the installer runs
// before and after installing, each with the files it needs beside it.
// Portable.
#pragma once

#include <cstdio>

#include "builder/build_context.h"
#include "builder/project_records.h"
#include "package/records.h"

namespace builder {

// Reads the "before" and then the "after" list from project (positioned at
// the first "before" pack), writes each list highest order key first (equal
// keys keep the project order) and sets the lists' counts and offsets in
// *header. A pack is its header, then for each extra file and last for its
// program an entry named by the file's last path component and the file's
// data. Returns false when a list cannot be read, a file is missing or
// cannot be copied whole, a program name does not fit the package, or the
// build was cancelled; the user has been told why except after a cancel.
bool WriteRunPacks(BuildContext& build, FILE* body, FILE* project, package::PackageHeader* header,
                   const ProjectHeader& projectHeader);

}  // namespace builder
