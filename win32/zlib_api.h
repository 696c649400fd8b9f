// zlib is loaded at run time from "zlib.dll" and bound by name. Its exports
// are cdecl with undecorated names.
#pragma once

#include <windows.h>

namespace win32 {

using GzFile = void*;
using Crc32Fn = unsigned long(__cdecl*)(unsigned long crc, const unsigned char* buf, unsigned len);
using GzOpenFn = GzFile(__cdecl*)(const char* path, const char* mode);
using GzReadFn = int(__cdecl*)(GzFile file, void* buf, unsigned len);
using GzWriteFn = int(__cdecl*)(GzFile file, const void* buf, unsigned len);
using GzCloseFn = int(__cdecl*)(GzFile file);
using GzTellFn = long(__cdecl*)(GzFile file);  // z_off_t is a 32-bit long here

constexpr char kZlibName[] = "zlib.dll";
constexpr int kZOk = 0;

// Looks up an export of module by name; null when it is missing.
template <typename Fn>
Fn ZlibFunction(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace win32
