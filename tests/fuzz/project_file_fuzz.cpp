// The project file as the builder reads it, section by section in its
// order, from a stream over the input.
#include <cstdio>
#include <vector>

#include "builder/project_reader.h"

namespace {

bool ReadProject(FILE* file) {
    builder::ProjectHeader h;
    if (!builder::ReadProjectHeader(file, &h)) return false;
    std::vector<uint8_t> groups(h.groupCount * builder::kProjectGroupSize);
    if (!builder::ReadBytes(file, groups.data(), groups.size())) return false;
    for (unsigned i = 0; i < h.groupCount; ++i) {
        builder::ProjectGroup g;
        if (!builder::DecodeProjectGroup(&groups[i * builder::kProjectGroupSize],
                                         builder::kProjectGroupSize, &g))
            return false;
    }
    std::vector<uint8_t> types;
    if (!builder::ReadSetupTypes(file, h.setupTypeCount, &types)) return false;
    for (int count : {h.desktopCount, h.startMenuCount}) {
        for (int i = 0; i < count; ++i) {
            builder::ProjectLink link;
            if (!builder::ReadProjectLink(file, &link)) return false;
        }
    }
    for (unsigned i = 0; i < h.registryCount; ++i) {
        builder::RegEntry entry;
        if (!builder::ReadRegEntry(file, &entry)) return false;
        if (entry.key.size() >= builder::kMaxRegTextLength) __builtin_trap();
    }
    std::vector<builder::RunPack> packs;
    return builder::ReadRunPackList(file, h.beforeCount, &packs) &&
           builder::ReadRunPackList(file, h.afterCount, &packs);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    std::vector<uint8_t> bytes(data, data + size);
    FILE* file = fmemopen(bytes.data(), bytes.size(), "rb");
    if (!file) return 0;
    ReadProject(file);
    fclose(file);
    return 0;
}
