// File and folder names taken from a package. A package is untrusted input:
// a stored name must only ever name an entry of the folder it is appended
// to. Portable: no platform headers.
#pragma once

namespace package {

// True when name can only name an entry directly inside a folder: it is not
// empty, holds no "\\", "/" or ":", is not made of dots and spaces only (".",
// "..", and what Windows trims to them), and is not a device name (CON, PRN,
// AUX, NUL, COM1-COM9, LPT1-LPT9, COM and LPT followed by one of the
// superscript digits 1-3 of code page 1252, CONIN$, CONOUT$, with or without an
// extension, in any case).
bool IsPlainName(const char* name);

// True when path names a folder at or below the one it is appended to: empty
// (that folder itself), or plain names joined by single backslashes.
bool IsPlainRelativePath(const char* path);

}  // namespace package
