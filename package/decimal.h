// Number parsing for settings texts. Portable.
#pragma once

#include <cstdint>

namespace package {

// Reads an unsigned decimal number the way the settings file stores a CRC:
// leading white space is skipped, digits are read up to the first non-digit,
// a text without digits gives 0 and a value beyond 4294967295 gives
// 4294967295. A sign or a "0x" prefix is not a digit, so it ends the number.
uint32_t ParseUnsignedDecimal(const char* text);

}  // namespace package
