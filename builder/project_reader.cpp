#include "builder/project_reader.h"

#include <cstring>

#include "package/records.h"

namespace builder {

namespace {

constexpr size_t kBlockSize = 4096;

// Reads one length-prefixed registry text: the skipped 2-byte field, then
// length bytes of which the first NUL ends the text. Only the text is kept;
// the bytes after its NUL are read and dropped.
bool ReadRegText(FILE* project, uint32_t length, std::string* text) {
    uint8_t skip[kRegTextSkipSize];
    if (length > kMaxRegTextLength || !ReadBytes(project, skip, sizeof skip)) return false;
    std::string bytes;
    bool ended = false;
    uint8_t block[kBlockSize];
    for (uint32_t left = length; left > 0;) {
        size_t chunk = left < kBlockSize ? left : kBlockSize;
        if (!ReadBytes(project, block, chunk)) return false;
        left -= (uint32_t)chunk;
        if (ended) continue;
        const void* nul = memchr(block, 0, chunk);
        size_t used = nul ? (size_t)(static_cast<const uint8_t*>(nul) - block) : chunk;
        bytes.append(reinterpret_cast<const char*>(block), used);
        ended = nul != nullptr;
    }
    if (!ended) return false;
    *text = std::move(bytes);
    return true;
}

}  // namespace

bool ReadBytes(FILE* project, void* out, size_t size) {
    return size == 0 || fread(out, 1, size, project) == size;
}

bool ReadProjectHeader(FILE* project, ProjectHeader* header) {
    uint8_t bytes[kProjectHeaderSize];
    return ReadBytes(project, bytes, sizeof bytes) &&
           DecodeProjectHeader(bytes, sizeof bytes, header);
}

bool ReadSetupTypes(FILE* project, unsigned count, std::vector<uint8_t>* records) {
    std::vector<uint8_t> bytes(count * package::kSetupTypeRecordSize);
    if (!ReadBytes(project, bytes.data(), bytes.size())) return false;
    for (unsigned i = 0; i < count; ++i) {
        // The type name is the first field of each record.
        if (!HasTerminator(&bytes[i * package::kSetupTypeRecordSize], 28)) return false;
    }
    *records = std::move(bytes);
    return true;
}

bool ReadProjectLink(FILE* project, ProjectLink* link) {
    uint8_t bytes[kProjectLinkSize];
    return ReadBytes(project, bytes, sizeof bytes) &&
           DecodeProjectLink(bytes, sizeof bytes, link);
}

bool ReadRegEntry(FILE* project, RegEntry* entry) {
    uint8_t bytes[kRegEntryHeadSize];
    RegEntryHead head;
    if (!ReadBytes(project, bytes, sizeof bytes) || !DecodeRegEntryHead(bytes, sizeof bytes, &head))
        return false;
    RegEntry read;
    read.root = head.root;
    read.type = head.type;
    if (!ReadRegText(project, head.keyLength, &read.key) ||
        !ReadRegText(project, head.nameLength, &read.name) ||
        !ReadRegText(project, head.dataLength, &read.data))
        return false;
    *entry = std::move(read);
    return true;
}

bool ReadRunPackList(FILE* project, unsigned count, std::vector<RunPack>* packs) {
    std::vector<RunPack> list(count);
    for (RunPack& pack : list) {
        uint8_t bytes[kProjectRunPackSize];
        if (!ReadBytes(project, bytes, sizeof bytes) ||
            !DecodeProjectRunPack(bytes, sizeof bytes, &pack.record) || pack.record.extraCount < 0)
            return false;
        for (int i = 0; i < pack.record.extraCount; ++i) {
            uint8_t path[kRunPackPathSize];
            if (!ReadBytes(project, path, sizeof path) || !HasTerminator(path, sizeof path))
                return false;
            pack.extraPaths.emplace_back(reinterpret_cast<const char*>(path));
        }
    }
    *packs = std::move(list);
    return true;
}

}  // namespace builder
