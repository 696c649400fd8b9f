// One group block of the package body: the group header, the entries of the
// files directly in the group's source folder, then their data in the same
// order. Subfolders are left out: their contents are never packed. Portable.
#pragma once

#include <cstdio>

#include "builder/build_context.h"
#include "builder/project_records.h"

namespace builder {

// Lists the source folder twice (in the order of package::ListingOrderLess,
// the same on every system), staging the entries and then the data in a
// temporary list file (removed on every path), and appends the block to
// body. Returns false when the folder cannot be listed (error code
// 0x20000006), the subfolder name does not fit the package, a file name
// cannot be stored, a listed file cannot be read or changed between the two
// listings, or the build was cancelled; the body may then hold part of the
// block and must be dropped.
bool WriteGroup(BuildContext& build, FILE* body, const ProjectGroup& group);

}  // namespace builder
