// File and folder names taken from a package. A package is untrusted input:
// a stored name must only ever name an entry of the folder it is appended
// to. Portable: no platform headers.
#pragma once

#include <string>

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

// The order in which the builder packs a folder's files, the same on every
// system and file system: names compared character by character as NTFS
// orders a folder, by the UTF-16 value of each character (the name read in
// code page 1252) after upper-casing as Windows does (a-z, the accented
// letters of Latin-1, and the code page's letters with a caron or ligature;
// "µ" upper-cases to Greek Mu, "ÿ" to "Ÿ", "ß" stays). Names that differ
// only in case (possible on other file systems) are ordered by their bytes.
bool ListingOrderLess(const std::string& a, const std::string& b);

}  // namespace package
