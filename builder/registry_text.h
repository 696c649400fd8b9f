// The registry text of a package: registry entries written in the format of
// the registry editor's version-4 files. It starts with "REGEDIT4" and an
// empty line; then each entry is a key line ("[" root "\" key "]") and a
// value line, in project order, with CR LF line ends and nothing else. The
// installer relies on that strict alternation. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <string>

#include "builder/project_reader.h"
#include "package/registry_text.h"

namespace builder {

constexpr char kRegistryTextStart[] = "REGEDIT4\r\n\r\n";
constexpr uint32_t kRegTypeText = 0;
constexpr uint32_t kRegTypeNumber = 1;

// The three predefined roots a project may name are the ones the installer
// reads back.
using package::RegistryRootName;

// Reads a number value's text as a signed 32-bit value: base 16 when the
// text begins with "0x" (lower-case x only), base 10 otherwise; leading white
// space and a sign are accepted, reading stops at the first character that
// is not a digit, no digits read as 0, and values beyond the signed 32-bit
// range read as the nearest limit.
int32_t ParseRegistryNumber(const char* text);

// Why an entry cannot be written without breaking the line alternation.
enum class RegEntryFault { kNone, kUnknownRoot, kLineBreak };
RegEntryFault CheckRegEntry(const RegEntry& entry);

// The key line and value line of an entry that CheckRegEntry accepts, each
// ending with CR LF. "(Default)" names the default value ("@="); backslashes
// and double quotes in text data are escaped; a number is "dword:" and its
// upper-case hexadecimal digits; other types give no data after the "=".
std::string FormatRegEntry(const RegEntry& entry);

}  // namespace builder
