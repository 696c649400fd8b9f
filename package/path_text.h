// Names taken from a package and the paths made from them. A package is
// untrusted input: a stored name must only ever name an entry of the folder
// it is appended to. Portable: no platform headers.
#pragma once

#include <cstddef>

namespace package {

// True when name can only name an entry directly inside a folder: it is not
// empty, holds no "\\", "/" or ":", is not made of dots and spaces only (".",
// "..", and what Windows trims to them), and is not a device name (CON, PRN,
// AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$, CONOUT$, with or without an
// extension, in any case).
bool IsPlainName(const char* name);

// Writes dir, a backslash unless dir is empty or already ends with one, and
// name into out (outSize bytes with the NUL). Returns false, leaving out
// empty, when the path does not fit.
bool JoinPath(char* out, size_t outSize, const char* dir, const char* name);

}  // namespace package
