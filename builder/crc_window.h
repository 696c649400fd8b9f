// zek2dat.dll's CRC service: the CRC-32 of a package file, read behind a
// small progress window ("Please wait while computing CRC32 of ...",
// resource 105).
#pragma once

#include <windows.h>

#include <cstdint>

namespace builder {

// The module whose resources hold the windows; set by DllMain.
void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// The CRC-32 (zlib's crc32) of the file at path, with the progress window
// while it is read; 0 without a message when zlib.dll, its crc32, a buffer
// or the file is not available.
uint32_t DoCrc32(const char* path);

}  // namespace builder
