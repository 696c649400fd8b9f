// Stored files out of the package stream: the one way file data leaves the
// package (groups, run packs, the registry text).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace installer {

// Copies size bytes from the stream's current position into a new file at
// path, 4096 bytes at a time, and leaves the stream just after them. While
// copying it moves the progress bar 1016 of progressWindow (none when the
// window is null or has no such control): before each full 4096-byte chunk k
// to the percentage its first byte reaches, 100 * (4096 * k + 1) / size,
// and to 100 at the end, so the bar never falls back.
// Returns false when the file cannot be created (nothing is read from the
// stream then), and when the stream ends early or the file cannot be written
// whole (the incomplete file is removed).
bool ExtractToFile(FILE* stream, uint32_t size, HWND progressWindow, const char* path);

// Bytes between the stream's position and the end of its file; 0 when the
// position cannot be told.
uint64_t StreamBytesLeft(FILE* stream);

}  // namespace installer
