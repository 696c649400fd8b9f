// The codes a failed build leaves: zek2dat.dll sets them as the thread's
// last error (application codes, bit 29 set), the native zekmake gets them
// from the build directly; both print them with BuildFailureText. The
// numbers are never changed: authoring tools compare them. Portable.
#pragma once

#include <cstdint>
#include <string>

namespace builder {

constexpr uint32_t kErrorCannotOpen = 0x20000001;   // project or output file
constexpr uint32_t kErrorNoMemory = 0x20000005;     // a working buffer
constexpr uint32_t kErrorCannotList = 0x20000006;   // a group's source folder
constexpr uint32_t kErrorTempFile = 0x20000007;     // a temporary file of the build
constexpr uint32_t kErrorCannotRead = 0x20000008;   // a file to pack, once opened
constexpr uint32_t kErrorTooLarge = 0x20000009;     // the package body reaches 2 GiB
constexpr uint32_t kErrorFileName = 0x2000000A;     // a group file the package cannot name

// What a failed build's code means, in words; 0 is a cancel or a failure
// told by a message of its own.
std::string BuildFailureText(uint32_t code);

}  // namespace builder
