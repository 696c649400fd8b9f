// The zlib functions the suite uses, as one table: the Windows programs fill
// it from zlib.dll loaded at run time (win32/library.h), the native zekmake
// from the zlib it links. Everything that compresses, unpacks or sums a
// package calls zlib through this table. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <cstdio>

namespace package {

// zlib's exports are cdecl; only 32-bit Windows has another default to
// guard against.
#if defined(_WIN32) && !defined(_WIN64)
#define SUITE_ZLIB_CALL __cdecl
#else
#define SUITE_ZLIB_CALL
#endif

using GzFile = void*;

struct ZlibApi {
    unsigned long(SUITE_ZLIB_CALL* crc32)(unsigned long crc, const unsigned char* buf, unsigned len);
    GzFile(SUITE_ZLIB_CALL* gzopen)(const char* path, const char* mode);
    int(SUITE_ZLIB_CALL* gzread)(GzFile file, void* buf, unsigned len);
    int(SUITE_ZLIB_CALL* gzwrite)(GzFile file, const void* buf, unsigned len);
    int(SUITE_ZLIB_CALL* gzclose)(GzFile file);
    // Compressed bytes consumed so far (gzoffset, or gztell where a zlib
    // lacks it); z_off_t is a long on every platform the suite builds for.
    long(SUITE_ZLIB_CALL* gzoffset)(GzFile file);
};

constexpr int kZOk = 0;

// Files move in blocks of this size everywhere in the suite.
constexpr size_t kBlockSize = 4096;

// done * 100 / total in whole percent, formed without overflow, at most 100;
// 100 when total is 0.
inline int ProgressPercent(uint64_t done, uint64_t total) {
    if (total == 0 || done >= total) return 100;
    return (int)(done * 100 / total);
}

// The CRC-32 of what is left of file, read in kBlockSize blocks into block
// (kBlockSize bytes); onBlock(bytes read so far, bytes of this read) is
// called after each read that gave bytes. False, with *crc untouched, when a
// read fails.
template <typename OnBlock>
bool StreamCrc32(const ZlibApi& zlib, FILE* file, unsigned char* block, uint32_t* crc,
                 OnBlock onBlock) {
    unsigned long value = zlib.crc32(0, nullptr, 0);
    uint64_t done = 0;
    size_t got;
    while ((got = fread(block, 1, kBlockSize, file)) > 0) {
        done += got;
        onBlock(done, got);
        value = zlib.crc32(value, block, (unsigned)got);
    }
    if (ferror(file)) return false;
    *crc = (uint32_t)value;
    return true;
}

}  // namespace package
