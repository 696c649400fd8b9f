// The predefined registry roots, kept in portable code as their 32-bit
// handle values (package/registry_text.h), as the HKEYs they are.
#pragma once

#include <windows.h>

#include <cstdint>

namespace win32 {

inline HKEY RootHandle(uint32_t root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(root)); }

}  // namespace win32
