// Little-endian byte access and fixed-width text fields, shared by every
// record codec. Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace package {

inline uint32_t GetU32LE(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 |
           (uint32_t)p[3] << 24;
}

inline void PutU32LE(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

// Copies the text of a fixed-width field of fieldSize bytes into out
// (outSize bytes, outSize >= fieldSize): the bytes up to the first NUL inside
// the field, or fieldSize - 1 of them when the field holds none. out is
// always NUL-terminated and zero-filled behind the text.
void ReadTextField(const uint8_t* field, size_t fieldSize, char* out, size_t outSize);

// Writes text into a field of fieldSize bytes: at most fieldSize - 1
// characters, then zero bytes to the end of the field. A longer text is cut.
// Returns false when it had to cut.
bool WriteTextField(uint8_t* field, size_t fieldSize, const char* text);

// Copies src into dst (dstSize bytes with the NUL); cuts a longer text.
// Returns false when it had to cut. dst is always NUL-terminated.
bool CopyText(char* dst, size_t dstSize, const char* src);

// Joins dir and name with one backslash into out (outSize bytes with the
// NUL); no backslash is added when dir already ends with one (a drive's
// root). Returns false, leaving out empty, when the result does not fit.
bool JoinPath(char* out, size_t outSize, const char* dir, const char* name);

}  // namespace package
