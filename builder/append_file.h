// Copying a whole file onto the end of an output file in 4096-byte blocks,
// with the build's progress following it. Portable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "builder/build_context.h"

namespace builder {

// Every result but kDone and kMissing leaves out holding part of the file.
enum class AppendResult {
    kDone,         // the whole file was copied
    kMissing,      // the file could not be opened; nothing was written
    kCancelled,    // the build was cancelled
    kReadFailed,   // reading the file failed
    kWriteFailed,  // writing out failed
    kTooLarge,     // out would reach 2 GiB, past what a package's positions hold
};

// Positions in a package are measured as signed 32-bit values.
constexpr uint64_t kMaxOutputSize = 0x7FFFFFFF;

// Copies the file at path onto the end of out. *offset is out's position
// where the copy begins and *size the number of bytes copied (both set only
// with kDone). The build's cancel is polled after each block; the copy stops
// as soon as out would reach kMaxOutputSize.
AppendResult AppendFile(BuildContext& build, FILE* out, const std::string& path, uint32_t* offset,
                        uint32_t* size);

// Shows the message for a failed copy of path and reports its code: a read
// failure, a temporary file that cannot be written, or a package too large.
// Nothing for kDone, kMissing and kCancelled.
void ShowAppendFailure(BuildContext& build, AppendResult result, const std::string& path);

}  // namespace builder
