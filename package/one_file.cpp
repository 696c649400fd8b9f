#include "package/one_file.h"

#include <cstring>

#include "package/bytes.h"
#include "package/file_name.h"

namespace package {

namespace {

uint16_t GetU16LE(const uint8_t* p) { return (uint16_t)(p[0] | p[1] << 8); }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

bool SameName(const char* a, const char* b) {
    for (; *a && Lower(*a) == Lower(*b); ++a, ++b) {
    }
    return Lower(*a) == Lower(*b);
}

}  // namespace

void EncodeOneFileEntry(const OneFileEntry& e, uint8_t out[kOneFileEntrySize]) {
    WriteTextField(out, kOneFileNameSize, e.name);
    PutU32LE(out + 16, e.offset);
    PutU32LE(out + 20, e.size);
    PutU32LE(out + 24, e.crc);
}

bool DecodeOneFileEntry(const uint8_t* in, size_t len, OneFileEntry* e) {
    if (len < kOneFileEntrySize) return false;
    ReadTextField(in, kOneFileNameSize, e->name, sizeof e->name);
    e->offset = GetU32LE(in + 16);
    e->size = GetU32LE(in + 20);
    e->crc = GetU32LE(in + 24);
    return true;
}

void EncodeOneFileTrailer(const OneFileTrailer& t, uint8_t out[kOneFileTrailerSize]) {
    PutU32LE(out, t.directoryOffset);
    PutU32LE(out + 4, t.count);
    memcpy(out + 8, kOneFileMagic, sizeof kOneFileMagic);
}

bool DecodeOneFileTrailer(const uint8_t* in, size_t len, OneFileTrailer* t) {
    if (len < kOneFileTrailerSize || memcmp(in + 8, kOneFileMagic, sizeof kOneFileMagic) != 0)
        return false;
    t->directoryOffset = GetU32LE(in);
    t->count = GetU32LE(in + 4);
    return true;
}

uint64_t OneFilePayloadEnd(const uint8_t* head, size_t headLen, uint64_t fileSize) {
    // DOS header: "MZ", the PE header's offset at 0x3C. PE header: "PE\0\0",
    // the 20-byte file header, then the optional header whose magic says
    // where its data directories start (PE32 at +96, PE32+ at +112, each
    // after its count of directories). Directory 4 is the certificate table,
    // the one entry that holds a file offset rather than an address.
    if (headLen < 0x40 || head[0] != 'M' || head[1] != 'Z') return 0;
    uint32_t pe = GetU32LE(head + 0x3C);
    if (pe > headLen || headLen - pe < 24 + 2 || memcmp(head + pe, "PE\0\0", 4) != 0) return 0;
    const uint8_t* optional = head + pe + 24;
    size_t optionalLen = headLen - pe - 24;
    uint16_t magic = GetU16LE(optional);
    size_t countAt = magic == 0x10B ? 92 : magic == 0x20B ? 108 : 0;
    if (countAt == 0 || optionalLen < countAt + 4) return 0;
    if (GetU32LE(optional + countAt) <= 4) return fileSize;
    size_t entryAt = countAt + 4 + 4 * 8;
    if (optionalLen < entryAt + 8) return 0;
    uint32_t tableOffset = GetU32LE(optional + entryAt);
    uint32_t tableSize = GetU32LE(optional + entryAt + 4);
    if (tableOffset == 0 && tableSize == 0) return fileSize;
    if (tableOffset == 0 || (uint64_t)tableOffset + tableSize != fileSize) return 0;
    return tableOffset;
}

bool CheckOneFileTrailer(const OneFileTrailer& t, uint64_t payloadEnd) {
    if (t.count == 0 || t.count > kOneFileMaxEntries || payloadEnd < kOneFileTrailerSize)
        return false;
    return (uint64_t)t.directoryOffset + (uint64_t)t.count * kOneFileEntrySize ==
           payloadEnd - kOneFileTrailerSize;
}

bool CheckOneFileDirectory(const OneFileEntry* entries, size_t count, uint64_t dataStart,
                           uint32_t directoryOffset) {
    bool hasProgram = false;
    for (size_t i = 0; i < count; ++i) {
        const OneFileEntry& e = entries[i];
        if (!IsPlainName(e.name)) return false;
        if (e.offset < dataStart || (uint64_t)e.offset + e.size > directoryOffset) return false;
        for (size_t k = 0; k < i; ++k)
            if (SameName(entries[k].name, e.name)) return false;
        hasProgram = hasProgram || SameName(e.name, kOneFileProgram);
    }
    return hasProgram;
}

bool ReadOneFileDirectory(OneFileReader read, void* context, uint64_t fileSize,
                          OneFileEntry* entries, size_t* count) {
    // The headers of a PE file fit in its first kilobyte; they are read
    // whole so that a short file is refused by the header check.
    uint8_t head[1024];
    size_t headLen = fileSize < sizeof head ? (size_t)fileSize : sizeof head;
    if (fileSize > 0xFFFFFFFFu || !read(context, 0, head, headLen)) return false;
    uint64_t end = OneFilePayloadEnd(head, headLen, fileSize);
    uint8_t bytes[kOneFileMaxEntries * kOneFileEntrySize];
    OneFileTrailer trailer;
    if (end < headLen + kOneFileTrailerSize ||
        !read(context, end - kOneFileTrailerSize, bytes, kOneFileTrailerSize) ||
        !DecodeOneFileTrailer(bytes, kOneFileTrailerSize, &trailer) ||
        !CheckOneFileTrailer(trailer, end))
        return false;
    size_t dirLen = trailer.count * kOneFileEntrySize;
    if (!read(context, trailer.directoryOffset, bytes, dirLen)) return false;
    for (size_t i = 0; i < trailer.count; ++i)
        DecodeOneFileEntry(bytes + i * kOneFileEntrySize, kOneFileEntrySize, &entries[i]);
    *count = trailer.count;
    return CheckOneFileDirectory(entries, trailer.count, headLen, trailer.directoryOffset);
}

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t len) {
    // The table is made again on every call (the callers pass large blocks):
    // a kilobyte of stack instead of a static table or a bit-by-bit loop,
    // which would take seconds over a package of a few hundred megabytes.
    uint32_t table[256];
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    crc = ~crc;
    for (size_t i = 0; i < len; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace package
