#include "package/bytes.h"

#include <cstring>

namespace package {

void ReadTextField(const uint8_t* field, size_t fieldSize, char* out, size_t outSize) {
    size_t len = 0;
    while (len + 1 < fieldSize && len + 1 < outSize && field[len] != 0) ++len;
    memcpy(out, field, len);
    memset(out + len, 0, outSize - len);
}

bool WriteTextField(uint8_t* field, size_t fieldSize, const char* text) {
    size_t len = strnlen(text, fieldSize);
    bool fits = len < fieldSize;
    if (!fits) len = fieldSize - 1;
    memcpy(field, text, len);
    memset(field + len, 0, fieldSize - len);
    return fits;
}

bool CopyText(char* dst, size_t dstSize, const char* src) {
    if (dstSize == 0) return false;
    return WriteTextField(reinterpret_cast<uint8_t*>(dst), dstSize, src);
}

}  // namespace package
