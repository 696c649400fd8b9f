#include "builder/registry_text.h"

#include <cstdio>

namespace builder {

namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int DigitValue(char c, int base) {
    int value = c >= '0' && c <= '9'   ? c - '0'
                : c >= 'a' && c <= 'z' ? c - 'a' + 10
                : c >= 'A' && c <= 'Z' ? c - 'A' + 10
                                       : base;
    return value < base ? value : -1;
}

bool HasLineBreak(const std::string& text) { return text.find_first_of("\r\n") != std::string::npos; }

}  // namespace

int32_t ParseRegistryNumber(const char* text) {
    // Only the text's very first characters choose base 16, and the digits
    // follow them directly; after white space or a sign, "0x" reads as a
    // zero followed by a stop.
    int base = text[0] == '0' && text[1] == 'x' ? 16 : 10;
    const char* p = text;
    bool negative = false;
    if (base == 16) {
        p += 2;
    } else {
        while (IsSpace(*p)) ++p;
        if (*p == '+' || *p == '-') negative = *p++ == '-';
    }
    // Past the limit in either direction the value stays clamped; the
    // magnitude is kept one above INT32_MAX at most.
    const int64_t limit = negative ? 0x80000000LL : 0x7FFFFFFFLL;
    int64_t magnitude = 0;
    for (int digit; (digit = DigitValue(*p, base)) >= 0; ++p) {
        magnitude = magnitude * base + digit;
        if (magnitude > limit) magnitude = limit;
    }
    return (int32_t)(negative ? -magnitude : magnitude);
}

RegEntryFault CheckRegEntry(const RegEntry& entry) {
    if (!RegistryRootName(entry.root)) return RegEntryFault::kUnknownRoot;
    if (HasLineBreak(entry.key) || HasLineBreak(entry.name) || HasLineBreak(entry.data))
        return RegEntryFault::kLineBreak;
    return RegEntryFault::kNone;
}

std::string FormatRegEntry(const RegEntry& entry) {
    std::string lines = "[";
    lines += RegistryRootName(entry.root);
    lines += "\\" + entry.key + "]\r\n";
    lines += entry.name == "(Default)" ? "@=" : "\"" + entry.name + "\"=";
    if (entry.type == kRegTypeText) {
        lines += '"';
        for (char c : entry.data) {
            // The registry editor reads \" as a quote inside the data; a bare
            // quote would end the data early.
            if (c == '\\' || c == '"') lines += '\\';
            lines += c;
        }
        lines += '"';
    } else if (entry.type == kRegTypeNumber) {
        char digits[16];
        snprintf(digits, sizeof digits, "%X", (unsigned)(uint32_t)ParseRegistryNumber(entry.data.c_str()));
        lines += "dword:";
        lines += digits;
    }
    lines += "\r\n";
    return lines;
}

}  // namespace builder
