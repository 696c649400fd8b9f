#include "win32/library.h"

namespace win32 {

bool LoadZlib(UniqueModule* module, package::ZlibApi* api) {
    *api = {};
    module->reset(LoadLibraryA(kZlibName));
    if (!*module) return false;
    HMODULE zlib = module->get();
    api->crc32 = Export<decltype(api->crc32)>(zlib, "crc32");
    api->gzopen = Export<decltype(api->gzopen)>(zlib, "gzopen");
    api->gzread = Export<decltype(api->gzread)>(zlib, "gzread");
    api->gzwrite = Export<decltype(api->gzwrite)>(zlib, "gzwrite");
    api->gzclose = Export<decltype(api->gzclose)>(zlib, "gzclose");
    // The unpacking bar follows the compressed bytes consumed; gzoffset
    // counts those, gztell only the bytes produced.
    api->gzoffset = Export<decltype(api->gzoffset)>(zlib, "gzoffset");
    if (!api->gzoffset) api->gzoffset = Export<decltype(api->gzoffset)>(zlib, "gztell");
    return true;
}

}  // namespace win32
