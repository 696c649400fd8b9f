// Start-up of setup.exe: the checks of setup.inf and setup.dat, the CRC-32,
// and the unpacking of the package into a temporary file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "package/records.h"
#include "win32/temp_file.h"

namespace installer {

// Colours of the background window, read from setup.inf after a good check.
struct BackgroundSettings {
    COLORREF backColor = 0xFF0000;
    int dithered = 1;
};

// Shows string stringId of the program's string table in a task-modal error
// box captioned "Installation Error".
void ShowInstallError(UINT stringId, HINSTANCE instance);

// Makes the folder that holds the running program the current directory, so
// that setup.inf, setup.dat and zlib.dll are found beside the program
// whatever folder it was started from. False when it stays where it was.
bool EnterProgramFolder();

// Checks that setup.inf and setup.dat are in the current directory and that
// the package's CRC-32 matches the stored one. Returns true with the
// background settings; on false the user has been told why.
bool VerifyPackage(HINSTANCE instance, BackgroundSettings* settings);

// CRC-32 of the whole file through zlib's crc32. Returns 0 after showing
// message 3 or 4 when zlib cannot be used (and 0 for an unreadable file).
uint32_t FileCrc32(const char* path, HINSTANCE instance);

// Decompresses the gzip package packagePath into a new temporary file
// ("ZKS" prefix) behind the unpacking window; *unpacked owns it from then on.
// On false the user has been told why (message 3 without zlib, message 6 for
// a damaged package or a body larger than maxBodySize bytes, where
// unpacking stops) and no temporary file is left behind. Without
// showWindow no unpacking window is shown.
bool UnpackPackage(const char* packagePath, HINSTANCE instance, win32::TempFile* unpacked,
                   uint64_t maxBodySize = package::kMaxBodySize, bool showWindow = true);

// Opens the unpacked package for reading and reads its header. Returns null
// (and leaves *header untouched) when the file cannot be opened or holds
// fewer bytes than a header.
FILE* OpenPackageStream(const char* tempPath, package::PackageHeader* header);

}  // namespace installer
