// The unpacked package body as the installer takes it: the header decoded,
// the layout checked, and then every block the check vouched for decoded
// straight from a buffer of the body's exact size, so that a check that
// lets a read run past the end shows as an out-of-bounds access.
#include <cstdio>
#include <vector>

#include "package/layout.h"
#include "package/records.h"

namespace {

// Decodes the record at offset; the check promised it lies inside.
template <typename Record>
void DecodeAt(const std::vector<uint8_t>& body, uint64_t offset, size_t size,
              bool (*decode)(const uint8_t*, size_t, Record*)) {
    if (offset > body.size() || size > body.size() - offset) __builtin_trap();
    Record record;
    decode(body.data() + offset, size, &record);
}

void ReadRunPacks(const std::vector<uint8_t>& body, uint8_t count, uint64_t at) {
    for (int i = 0; i < count; ++i) {
        package::RunPackHeader pack;
        DecodeAt(body, at, package::kRunPackHeaderSize, package::DecodeRunPackHeader);
        package::DecodeRunPackHeader(body.data() + at, package::kRunPackHeaderSize, &pack);
        at += package::kRunPackHeaderSize;
        for (uint32_t f = 0; f < pack.fileCount; ++f) {
            package::FileEntry entry;
            DecodeAt(body, at, package::kFileEntrySize, package::DecodeFileEntry);
            package::DecodeFileEntry(body.data() + at, package::kFileEntrySize, &entry);
            at += package::kFileEntrySize + entry.size;
            if (at > body.size()) __builtin_trap();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    package::PackageHeader header;
    if (!package::DecodePackageHeader(data, size, &header)) return 0;
    std::vector<uint8_t> body(data, data + size);
    FILE* stream = fmemopen(body.data(), body.size(), "rb");
    if (!stream) return 0;
    bool fits = package::CheckPackageLayout(stream, header);
    fclose(stream);
    if (!fits) return 0;

    uint64_t at = header.groupsOffset;
    for (size_t i = 0; i < header.groupCount && i < package::kMaxGroups; ++i) {
        package::GroupHeader group;
        DecodeAt(body, at, package::kGroupHeaderSize, package::DecodeGroupHeader);
        package::DecodeGroupHeader(body.data() + at, package::kGroupHeaderSize, &group);
        at += package::kGroupHeaderSize;
        for (uint32_t f = 0; f < group.fileCount; ++f)
            DecodeAt(body, at + (uint64_t)f * package::kFileEntrySize, package::kFileEntrySize,
                     package::DecodeFileEntry);
        at += package::GroupContentSize(group);
    }
    if (header.setupTypeCount >= 2)
        for (uint32_t i = 0; i < header.setupTypeCount; ++i)
            DecodeAt(body, header.setupTypesOffset + (uint64_t)i * package::kSetupTypeRecordSize,
                     package::kSetupTypeRecordSize, package::DecodeSetupTypeRecord);
    for (auto [count, offset] : {std::pair<uint32_t, uint32_t>{header.desktopCount, header.desktopOffset},
                                 {header.startMenuCount, header.startMenuOffset}})
        for (uint32_t i = 0; i < count; ++i)
            DecodeAt(body, offset + (uint64_t)i * package::kLinkRecordSize, package::kLinkRecordSize,
                     package::DecodeLinkRecord);
    ReadRunPacks(body, header.beforeCount, header.beforeOffset);
    ReadRunPacks(body, header.afterCount, header.afterOffset);
    return 0;
}
