// The package builder's main operation. Portable: the system is reached
// through the host (builder/build_host.h).
#pragma once

#include <cstdint>

#include "builder/build_host.h"

namespace builder {

// Builds the package file outputPath from the project file projectPath: the
// body is written front to back into a temporary file (header placeholder,
// licence, readme, groups, setup types, desktop and Start-menu entries,
// registry text, run packs), its header is rewritten, and it is compressed
// into outputPath. Returns 1 when the package was written and 0 otherwise; a
// failed or cancelled build leaves outputPath empty (or as it was when it
// could not be created) and no temporary file. *firstError is then the first
// code of builder/build_errors.h the build reported, or 0.
int BuildPackage(BuildHost& host, const char* projectPath, const char* outputPath,
                 uint32_t* firstError);

}  // namespace builder
