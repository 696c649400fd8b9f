#include "package/file_name.h"

#include <cctype>
#include <cstdint>
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

namespace {

// The characters of code page 1252's bytes 0x80 to 0x9F; the five bytes it
// leaves undefined stand for the control characters of the same number.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

uint16_t UpperUnit(unsigned char c) {
    uint16_t unit = c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
    if (unit >= 'a' && unit <= 'z') return unit - 0x20;
    if (unit >= 0xE0 && unit <= 0xFE && unit != 0xF7) return unit - 0x20;
    switch (unit) {
        case 0x00B5: return 0x039C;  // micro sign to Greek capital Mu
        case 0x00FF: return 0x0178;
        case 0x0161: return 0x0160;
        case 0x0153: return 0x0152;
        case 0x017E: return 0x017D;
        default: return unit;
    }
}

}  // namespace

bool ListingOrderLess(const std::string& a, const std::string& b) {
    size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        uint16_t x = UpperUnit((unsigned char)a[i]), y = UpperUnit((unsigned char)b[i]);
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace package
