// Stored files out of the package stream: the one way file data leaves the
// package (groups, run packs, the registry text).
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "win32/progress_display.h"

namespace installer {

// Copies size bytes from the stream's current position into a new file at
// path, 4096 bytes at a time, and leaves the stream just after them. While
// copying it moves the progress bar 1016 of progressWindow (none when the
// window is null or has no such control): before each full 4096-byte chunk k
// to the percentage its first byte reaches, 100 * (4096 * k + 1) / size,
// and to 100 at the end, so the bar never falls back. Those moves are paced
// (see win32::ProgressDisplay); each call starts a display of its own, whose
// first move goes out at once.
// Returns false when the file cannot be created (nothing is read from the
// stream then), and when the stream ends early or the file cannot be written
// whole (the incomplete file is removed).
bool ExtractToFile(FILE* stream, uint32_t size, HWND progressWindow, const char* path);

// The same, moving display (none when null), which keeps its pace from one
// file to the next: a group of small files moves the bar every
// kMinIntervalMs, not once per file.
bool ExtractToFileShowing(FILE* stream, uint32_t size, win32::ProgressDisplay* display,
                          const char* path);

// Bytes between the stream's position and the end of its file; 0 when the
// position cannot be told.
uint64_t StreamBytesLeft(FILE* stream);

}  // namespace installer
