// Run packs: programs stored with the files they need, run once before and
// once after the installation from a temporary folder of their own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <memory>

namespace installer {

// One program to run: the folder its pack was extracted to and the file
// name of the program inside it. Owned by whoever runs the program.
struct RunRequest {
    char directory[MAX_PATH] = {};
    char program[64] = {};
};

// Runs the packCount packs stored one after the other from firstOffset, in
// stored order. Each pack is extracted into a fresh folder of its own
// ("zkd" in the temporary directory); a pack with the wait flag is run and
// waited for on this thread, one without it is left to a thread of its own.
// Either way the pack's files and folder are removed once its program ends.
// Returns true when every pack was read and started; false, after a message
// box owned by owner, when a folder cannot be created or the list is damaged
// (packs already started keep running). The stream's position is restored.
bool RunPackList(FILE* stream, unsigned packCount, uint32_t firstOffset, HWND owner);

// Starts the request's program in its folder, waits until it has ended, then
// deletes the folder's files and the folder. A program that cannot be
// started is not reported; its files go all the same.
void RunPackProgram(std::unique_ptr<RunRequest> request);

// Deletes every file directly inside directory; subfolders stay.
void ClearDirectoryFiles(const char* directory);

}  // namespace installer
