// The registry text block: the project's registry entries as the text of a
// version-4 registry editor file, staged in a temporary file. Portable.
#pragma once

#include <cstdio>

#include "builder/build_context.h"

namespace builder {

// Reads count registry entries from project and writes their text into a
// new temporary file held by text; the project is left at the first run
// pack. A cancel stops before the next entry and still returns true: the
// caller checks the flag. Returns false when an entry cannot be read, when
// its root is not one of the three predefined roots or a text holds a line
// break (either would break the key line / value line alternation the
// installer relies on: the entry is refused, the user told why), or when the
// text file cannot be made or written (told too, with kErrorTempFile).
bool ExportRegistry(BuildContext& build, FILE* project, unsigned count, BuildTempFile* text);

}  // namespace builder
