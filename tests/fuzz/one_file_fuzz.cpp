// A one-file installer as the stub reads it from the end of its own file:
// the payload's end from the PE headers, the trailer and the directory. The
// file is a buffer of its exact size, so a check that lets an entry run
// past its end shows when its first and last bytes are read.
#include <cstring>

#include "package/one_file.h"

namespace {

struct Input {
    const uint8_t* data;
    size_t size;
};

bool ReadInput(void* context, uint64_t offset, uint8_t* buffer, size_t len) {
    const Input& in = *static_cast<const Input*>(context);
    if (offset > in.size || in.size - offset < len) return false;
    if (len) memcpy(buffer, in.data + offset, len);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in = {data, size};
    package::OneFileEntry entries[package::kOneFileMaxEntries];
    size_t count = 0;
    if (!package::ReadOneFileDirectory(ReadInput, &in, size, entries, &count)) return 0;
    volatile uint8_t sink = 0;
    for (size_t i = 0; i < count; ++i) {
        if (count > package::kOneFileMaxEntries) __builtin_trap();
        if (entries[i].size == 0) continue;
        sink = sink + data[entries[i].offset] + data[entries[i].offset + entries[i].size - 1];
    }
    return 0;
}
