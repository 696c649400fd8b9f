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

bool JoinPath(char* out, size_t outSize, const char* dir, const char* name) {
    if (outSize == 0) return false;
    size_t dirLen = strlen(dir);
    bool slash = dirLen > 0 && dir[dirLen - 1] != '\\' && dir[dirLen - 1] != '/';
    size_t nameLen = strlen(name);
    if (dirLen + slash + nameLen >= outSize) {
        out[0] = 0;
        return false;
    }
    memcpy(out, dir, dirLen);
    if (slash) out[dirLen] = '\\';
    memcpy(out + dirLen + slash, name, nameLen + 1);
    return true;
}

}  // namespace package
