#include "package/file_name.h"

#include <cctype>
#include <cstring>

namespace package {

namespace {

// Windows opens a device for these names in any folder ("C:\\app\\nul.txt"
// is the null device), so a file stored under one would be written elsewhere.
bool IsDeviceName(const char* name) {
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    size_t baseLen = strcspn(name, ".");
    while (baseLen > 0 && name[baseLen - 1] == ' ') --baseLen;
    char base[8] = {};
    if (baseLen >= sizeof base) return false;
    for (size_t i = 0; i < baseLen; ++i) base[i] = (char)toupper((unsigned char)name[i]);
    for (const char* device : kDevices)
        if (strcmp(base, device) == 0) return true;
    // Windows reserves the superscript digits of code page 1252 too.
    static const char kSuperscripts[] = "\xB9\xB2\xB3";
    bool digit = (base[3] >= '1' && base[3] <= '9') || (base[3] && strchr(kSuperscripts, base[3]));
    return baseLen == 4 && (memcmp(base, "COM", 3) == 0 || memcmp(base, "LPT", 3) == 0) && digit;
}

}  // namespace

bool IsPlainName(const char* name) {
    if (name[0] == 0 || strpbrk(name, "\\/:") != nullptr) return false;
    if (name[strspn(name, ". ")] == 0) return false;
    return !IsDeviceName(name);
}

bool IsPlainRelativePath(const char* path) {
    char part[260];
    while (*path) {
        size_t len = strcspn(path, "\\");
        if (len >= sizeof part) return false;
        memcpy(part, path, len);
        part[len] = 0;
        if (!IsPlainName(part)) return false;
        path += len;
        // A separator must lead to another name: no trailing or doubled one.
        if (*path == '\\' && *++path == 0) return false;
    }
    return true;
}

}  // namespace package
