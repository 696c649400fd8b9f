// The package file and its CRC-32, both through zlib, which is loaded from
// "zlib.dll" at the start of each call and freed at its end.
#pragma once

#include <windows.h>

#include <cstdint>

namespace builder {

// Compresses the finished body file into outputPath as one gzip stream at
// zlib's default level, in 4096-byte blocks, with progress on the build
// window. Without zlib.dll the user is told and outputPath is left as it
// was; after any other failure or a cancel it is left empty, never as an
// unfinished stream. Returns true when the package was written.
bool CompressPackage(const char* bodyPath, const char* outputPath);

// The CRC-32 (zlib's crc32) of the file at path, with a progress window
// while it is read; 0 without a message when zlib.dll, its crc32, a buffer
// or the file is not available.
uint32_t DoCrc32(const char* path);

}  // namespace builder
