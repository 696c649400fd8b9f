// Whether an unpacked package body holds every block its header points at.
// The installer checks this once, before it asks anything, so that no later
// read of a text, a record or a group runs past the end of the body.
// Portable: standard C streams only.
#pragma once

#include <cstdint>
#include <cstdio>

#include "package/limits.h"
#include "package/records.h"

namespace package {

// Bytes between the end of a GroupHeader and the next GroupHeader: the
// group's FileEntry records and then its files' data.
uint64_t GroupContentSize(const GroupHeader& group);

// Checks header against the body in stream (the whole unpacked package,
// header included). True when every block the installer will read lies
// inside the body and the header's names can be used:
//   - the application name is empty or a plain name (see file_name.h);
//   - the licence and readme texts when their flags are set, each at most
//     kMaxTextBlockSize bytes;
//   - the groups, walked header by header (at most kMaxGroups), each group's
//     entries adding up to its total data bytes;
//   - the setup types when there are two or more;
//   - the desktop and Start-menu link records when their counts are above 0;
//   - the registry text when its offset and size are both set;
//   - both run-pack lists, walked pack by pack and file by file.
// The stream's position is left anywhere. False also when the body cannot
// be measured or read.
bool CheckPackageLayout(std::FILE* stream, const PackageHeader& header);

}  // namespace package
