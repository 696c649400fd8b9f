// Copying a whole file onto the end of an output file in 4096-byte blocks,
// with the build window's progress bar following it.
#pragma once

#include <cstdint>
#include <cstdio>

namespace builder {

enum class AppendResult {
    kDone,     // the whole file was copied
    kMissing,  // the file could not be opened; nothing was written
    kFailed,   // cancelled, or a read or write failed; out may hold part of it
};

// Copies the file at path onto the end of out. *offset is out's position
// where the copy begins and *size the number of bytes copied (both set only
// with kDone). The build's cancel flag is polled after each full block.
AppendResult AppendFile(FILE* out, const char* path, uint32_t* offset, uint32_t* size);

}  // namespace builder
