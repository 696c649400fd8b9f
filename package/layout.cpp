#include "package/layout.h"

#include "package/file_name.h"

namespace package {

namespace {

// Offsets and sizes are summed in 64 bits: a damaged header may hold values
// whose 32-bit sum wraps back inside the body.
struct Body {
    std::FILE* stream;
    uint64_t size;

    bool Holds(uint64_t offset, uint64_t length) const {
        return offset <= size && length <= size - offset;
    }
    // Reads length bytes at offset; false when they are not all there.
    bool ReadAt(uint64_t offset, uint8_t* out, size_t length) const {
        return Holds(offset, length) && std::fseek(stream, (long)offset, SEEK_SET) == 0 &&
               std::fread(out, 1, length, stream) == length;
    }
};

bool TextFits(const Body& body, uint8_t flag, uint32_t offset, uint32_t size) {
    return flag == 0 || (size <= kMaxTextBlockSize && body.Holds(offset, size));
}

// Walks the groups from the groups offset, as the installer reads them.
bool GroupsFit(const Body& body, const PackageHeader& header) {
    uint64_t at = header.groupsOffset;
    size_t count = header.groupCount < kMaxGroups ? header.groupCount : kMaxGroups;
    for (size_t i = 0; i < count; ++i) {
        uint8_t bytes[kGroupHeaderSize];
        GroupHeader group;
        if (!body.ReadAt(at, bytes, sizeof bytes)) return false;
        DecodeGroupHeader(bytes, sizeof bytes, &group);
        at += kGroupHeaderSize;
        if (!body.Holds(at, GroupContentSize(group))) return false;
        uint64_t dataBytes = 0;
        for (uint32_t f = 0; f < group.fileCount; ++f, at += kFileEntrySize) {
            uint8_t entryBytes[kFileEntrySize];
            FileEntry entry;
            if (!body.ReadAt(at, entryBytes, sizeof entryBytes)) return false;
            DecodeFileEntry(entryBytes, sizeof entryBytes, &entry);
            dataBytes += entry.size;
        }
        if (dataBytes != group.totalBytes) return false;
        at += dataBytes;
    }
    return true;
}

bool RecordsFit(const Body& body, uint32_t count, uint32_t offset, size_t recordSize) {
    return count == 0 || body.Holds(offset, (uint64_t)count * recordSize);
}

// A run pack is its header, then each file's entry directly followed by its
// data. Every step moves at least one entry forward, so a huge file count
// ends at the body's end.
bool RunPacksFit(const Body& body, uint8_t count, uint32_t offset) {
    uint64_t at = offset;
    for (int i = 0; i < count; ++i) {
        uint8_t bytes[kRunPackHeaderSize];
        RunPackHeader pack;
        if (!body.ReadAt(at, bytes, sizeof bytes)) return false;
        DecodeRunPackHeader(bytes, sizeof bytes, &pack);
        at += kRunPackHeaderSize;
        for (uint32_t f = 0; f < pack.fileCount; ++f) {
            uint8_t entryBytes[kFileEntrySize];
            FileEntry entry;
            if (!body.ReadAt(at, entryBytes, sizeof entryBytes)) return false;
            DecodeFileEntry(entryBytes, sizeof entryBytes, &entry);
            at += kFileEntrySize;
            if (!body.Holds(at, entry.size)) return false;
            at += entry.size;
        }
    }
    return true;
}

}  // namespace

uint64_t GroupContentSize(const GroupHeader& group) {
    return (uint64_t)group.fileCount * kFileEntrySize + group.totalBytes;
}

bool CheckPackageLayout(std::FILE* stream, const PackageHeader& header) {
    if (std::fseek(stream, 0, SEEK_END) != 0) return false;
    long size = std::ftell(stream);
    if (size < (long)kPackageHeaderSize) return false;
    Body body = {stream, (uint64_t)size};
    // The name is joined into paths ("<destination>\\<name>.reg") and is
    // the default destination.
    if (header.appName[0] != 0 && !IsPlainName(header.appName)) return false;

    bool registryUsed = header.registryOffset != 0 && header.registrySize != 0;
    return TextFits(body, header.licenceFlag, header.licenceOffset, header.licenceSize) &&
           TextFits(body, header.readmeFlag, header.readmeOffset, header.readmeSize) &&
           GroupsFit(body, header) &&
           (header.setupTypeCount < 2 ||
            RecordsFit(body, header.setupTypeCount, header.setupTypesOffset,
                       kSetupTypeRecordSize)) &&
           RecordsFit(body, header.desktopCount, header.desktopOffset, kLinkRecordSize) &&
           RecordsFit(body, header.startMenuCount, header.startMenuOffset, kLinkRecordSize) &&
           (!registryUsed || body.Holds(header.registryOffset, header.registrySize)) &&
           RunPacksFit(body, header.beforeCount, header.beforeOffset) &&
           RunPacksFit(body, header.afterCount, header.afterOffset);
}

}  // namespace package
