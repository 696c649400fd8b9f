// Binding libraries loaded at run time: an export looked up by name as the
// pointer type the caller gives, and zlib.dll bound whole into the suite's
// zlib table.
#pragma once

#include <windows.h>

#include "package/zlib_api.h"
#include "win32/unique_handle.h"

namespace win32 {

constexpr char kZlibName[] = "zlib.dll";

// Looks up an export of module by name; null when it is missing.
template <typename Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Loads "zlib.dll" into *module and looks up every function of *api by name
// (gzoffset falls back to gztell); a function the library lacks is left
// null for its caller to refuse. False, with *api all null, when the library
// cannot be loaded.
bool LoadZlib(UniqueModule* module, package::ZlibApi* api);

}  // namespace win32
