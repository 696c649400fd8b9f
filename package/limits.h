// How much a package can hold. The installer reads no more than this and the
// builders refuse more, so both sides take the numbers from here.
// Portable: no system headers.
#pragma once

#include <cstddef>

namespace package {

// A setup type names its groups in a 32-bit mask; the installer reads no more.
constexpr size_t kMaxGroups = 32;
// The options record has room for three setup types; later ones are ignored.
constexpr size_t kMaxSetupTypes = 3;
// The desktop and Start-menu link counts, the registry value count and each
// run-pack list's count are one byte each.
constexpr size_t kMaxCountedEntries = 255;
// A source path in a project record: 256 bytes with its NUL.
constexpr size_t kMaxProjectPath = 255;
// A run pack's program is started by its file name, which the pack's
// 31-character name field must be able to hold (without the NUL, 30).
constexpr size_t kMaxRunProgramName = 30;

}  // namespace package
