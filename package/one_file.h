// The one-file installer: the stub program (stub/), then the bytes of each
// shipped file one after the other, then a directory of those files and a
// trailer that ends the payload. The stub finds the trailer from the end of
// its own file; when the file is signed, the signature stands behind the
// payload and the PE header's certificate table entry says where it starts.
// Portable: no platform headers.
//
// Directory entry, 28 bytes, little-endian:
//   +0   char[16]  file name, NUL-terminated, a plain name
//   +16  uint32    offset of the file's first byte in the one file
//   +20  uint32    size in bytes
//   +24  uint32    CRC-32 (zlib's) of those bytes
// Trailer, 16 bytes, the last of the payload:
//   +0   uint32    offset of the directory's first entry
//   +4   uint32    number of entries
//   +8   char[8]   "ZEK1FILE" (no NUL)
// The directory ends where the trailer starts. The writer pads the payload
// with zeros in front of the directory so that the whole file is a multiple
// of 8 bytes: signing then appends no padding of its own.
#pragma once

#include <cstddef>
#include <cstdint>

namespace package {

constexpr size_t kOneFileNameSize = 16;
constexpr size_t kOneFileEntrySize = 28;
constexpr size_t kOneFileTrailerSize = 16;
constexpr size_t kOneFileMaxEntries = 8;
constexpr char kOneFileMagic[8] = {'Z', 'E', 'K', '1', 'F', 'I', 'L', 'E'};
// What the stub must find among the entries: the program it starts.
constexpr char kOneFileProgram[] = "setup.exe";

struct OneFileEntry {
    char name[kOneFileNameSize];
    uint32_t offset;
    uint32_t size;
    uint32_t crc;
};

struct OneFileTrailer {
    uint32_t directoryOffset;
    uint32_t count;
};

void EncodeOneFileEntry(const OneFileEntry& e, uint8_t out[kOneFileEntrySize]);
// Returns false if len < kOneFileEntrySize; the name is always NUL-terminated.
bool DecodeOneFileEntry(const uint8_t* in, size_t len, OneFileEntry* e);

void EncodeOneFileTrailer(const OneFileTrailer& t, uint8_t out[kOneFileTrailerSize]);
// Returns false if len < kOneFileTrailerSize or the magic is not there.
bool DecodeOneFileTrailer(const uint8_t* in, size_t len, OneFileTrailer* t);

// Where the payload of a one file of fileSize bytes ends: the start of the
// certificate table when head (the file's first headLen bytes, at least up
// to the end of the PE optional header) names one, else fileSize. Returns 0
// when the headers are not a PE file's or name a table that does not end
// exactly at the end of the file (a cut or damaged file).
uint64_t OneFilePayloadEnd(const uint8_t* head, size_t headLen, uint64_t fileSize);

// Checks a trailer read at payloadEnd - kOneFileTrailerSize: its directory
// ends exactly at the trailer and holds 1 to kOneFileMaxEntries entries.
bool CheckOneFileTrailer(const OneFileTrailer& t, uint64_t payloadEnd);

// Checks the decoded entries of a directory that starts at directoryOffset:
// every name plain and unique (ignoring case),
// every file inside [dataStart, directoryOffset), and setup.exe among them.
bool CheckOneFileDirectory(const OneFileEntry* entries, size_t count, uint64_t dataStart,
                           uint32_t directoryOffset);

// Reads what is at offset in the one file into buffer: all len bytes, or false.
using OneFileReader = bool (*)(void* context, uint64_t offset, uint8_t* buffer, size_t len);

// Finds and checks the directory of a one file of fileSize bytes (at most
// 4 GiB - 1), reading it through read: the payload's end, the trailer, the
// entries (every file starts past the first kilobyte, which the stub
// program's headers take). Fills entries (room for kOneFileMaxEntries) and
// *count; false for a cut or damaged file, entries then undefined.
bool ReadOneFileDirectory(OneFileReader read, void* context, uint64_t fileSize,
                          OneFileEntry* entries, size_t* count);

// zlib's CRC-32, continued from crc (0 to start) over len bytes.
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t len);

}  // namespace package
