// The package builder's main operation.
#pragma once

namespace builder {

// Builds the package file outputPath from the project file projectPath
// behind the build window: the body is written front to back into a
// temporary file (header placeholder, licence, readme, groups, setup types,
// desktop and Start-menu entries, registry text, run packs), its header is
// rewritten, and it is compressed into outputPath. Returns 1 when the
// package was written and 0 otherwise; a failed or cancelled build leaves
// outputPath empty (or as it was when it could not be created) and no
// temporary file. After 0 the thread's last error holds the first of the
// codes 0x20000001, 0x20000005 and 0x20000006 the build reported, if any.
// One build at a time per process.
int Zek2Dat(const char* projectPath, const char* outputPath);

}  // namespace builder
