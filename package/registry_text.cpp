#include "package/registry_text.h"

#include <cstdio>

namespace package {

namespace {

constexpr struct {
    const char* name;
    uint32_t root;
} kRoots[] = {
    {"HKEY_CLASSES_ROOT", kRootClasses},
    {"HKEY_CURRENT_USER", kRootCurrentUser},
    {"HKEY_LOCAL_MACHINE", kRootLocalMachine},
};

// The text's lines without their line ends, the first two skipped.
std::vector<std::string_view> BodyLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t at = 0;
    int number = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (++number <= 2) continue;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
    }
    return lines;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// A quoted text starting at s[0] == '"': its characters with each
// backslash escape undone (\\ and \" are the ones the export writes), and in
// *rest what follows the closing quote. False when the closing quote is
// missing; *out then holds the rest of the line.
bool Unquote(std::string_view s, std::string* out, std::string_view* rest) {
    out->clear();
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '"') {
            *rest = s.substr(i + 1);
            return true;
        }
        if (s[i] == '\\' && i + 1 < s.size()) ++i;
        *out += s[i];
    }
    return false;
}

// Hexadecimal digits only, at most maxDigits of them, at least one.
bool ParseHexNumber(std::string_view s, size_t maxDigits, uint32_t* value) {
    if (s.empty() || s.size() > maxDigits) return false;
    uint32_t v = 0;
    for (char c : s) {
        int d = HexDigit(c);
        if (d < 0) return false;
        v = v << 4 | (uint32_t)d;
    }
    *value = v;
    return true;
}

// "aa,bb,..." (blanks allowed around the commas; empty gives no bytes).
bool ParseHexBytes(std::string_view s, std::vector<uint8_t>* bytes) {
    s = TrimBlanks(s);
    if (s.empty()) return true;
    size_t at = 0;
    while (true) {
        size_t comma = s.find(',', at);
        std::string_view item =
            TrimBlanks(s.substr(at, comma == std::string_view::npos ? s.npos : comma - at));
        uint32_t byte;
        if (!ParseHexNumber(item, 2, &byte)) return false;
        bytes->push_back((uint8_t)byte);
        if (comma == std::string_view::npos) return true;
        at = comma + 1;
    }
}

// The data after a value line's "=" (continuation lines already joined).
void ParseData(std::string_view data, RegistryValue* value) {
    data = TrimBlanks(data);
    value->kind = RegistryValue::Kind::kUnreadable;
    if (data == "-") {
        value->kind = RegistryValue::Kind::kDelete;
        return;
    }
    if (!data.empty() && data[0] == '"') {
        std::string text;
        std::string_view rest;
        if (!Unquote(data, &text, &rest) || !TrimBlanks(rest).empty()) return;
        value->type = kRegSz;
        value->data.assign(text.begin(), text.end());
        value->data.push_back(0);
        value->kind = RegistryValue::Kind::kSet;
        return;
    }
    if (data.substr(0, 6) == "dword:") {
        uint32_t number;
        if (!ParseHexNumber(data.substr(6), 8, &number)) return;
        value->type = kRegDword;
        value->data = {(uint8_t)number, (uint8_t)(number >> 8), (uint8_t)(number >> 16),
                       (uint8_t)(number >> 24)};
        value->kind = RegistryValue::Kind::kSet;
        return;
    }
    if (data.substr(0, 3) != "hex") return;
    std::string_view rest = data.substr(3);
    uint32_t type = kRegBinary;
    if (!rest.empty() && rest[0] == '(') {
        size_t close = rest.find(')');
        if (close == std::string_view::npos || !ParseHexNumber(rest.substr(1, close - 1), 8, &type))
            return;
        rest = rest.substr(close + 1);
    }
    if (rest.empty() || rest[0] != ':') return;
    std::vector<uint8_t> bytes;
    if (!ParseHexBytes(rest.substr(1), &bytes)) return;
    value->type = type;
    value->data = std::move(bytes);
    value->kind = RegistryValue::Kind::kSet;
}

// A value line (starting with " or @) and the lines it continues on.
RegistryValue ParseValue(const std::vector<std::string_view>& lines, size_t* index) {
    std::string_view line = lines[*index];
    RegistryValue value;
    std::string_view rest;
    if (line[0] == '@') {
        value.isDefault = true;
        rest = line.substr(1);
    } else if (!Unquote(line, &value.name, &rest)) {
        // The name runs to the line's end: the old reading took it whole.
        return value;
    }
    rest = TrimBlanks(rest);
    if (rest.empty() || rest[0] != '=') return value;
    std::string data(rest.substr(1));
    // Long binary data goes on over lines that end in a backslash.
    while (!data.empty() && data.back() == '\\' && data.compare(0, 3, "hex") == 0 &&
           *index + 1 < lines.size()) {
        data.pop_back();
        data += TrimBlanks(lines[++*index]);
    }
    ParseData(data, &value);
    return value;
}

}  // namespace

const char* RegistryRootName(uint32_t root) {
    for (const auto& r : kRoots)
        if (r.root == root) return r.name;
    return nullptr;
}

bool SplitRegistryKey(std::string_view text, uint32_t* root, std::string* subKey) {
    size_t slash = text.find('\\');
    if (slash == std::string_view::npos || slash + 1 == text.size()) return false;
    for (const auto& r : kRoots) {
        if (text.substr(0, slash) == r.name) {
            *root = r.root;
            *subKey = std::string(text.substr(slash + 1));
            return true;
        }
    }
    return false;
}

std::vector<std::string> ParentKeys(const std::string& key) {
    std::vector<std::string> parents;
    size_t slash = key.find('\\');
    if (slash == std::string::npos) return parents;
    while ((slash = key.find('\\', slash + 1)) != std::string::npos)
        parents.push_back(key.substr(0, slash));
    return parents;
}

std::vector<RegistrySection> ParseRegistryText(std::string_view text) {
    std::vector<RegistrySection> sections;
    std::vector<std::string_view> lines = BodyLines(text);
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.empty()) continue;
        if (line[0] == '[') {
            size_t close = line.rfind(']');
            std::string_view key =
                line.substr(1, close == 0 || close == std::string_view::npos ? line.npos : close - 1);
            RegistrySection section;
            if (!key.empty() && key[0] == '-') {
                section.remove = true;
                key.remove_prefix(1);
            }
            section.key = std::string(key);
            sections.push_back(std::move(section));
        } else if (!sections.empty() && (line[0] == '"' || line[0] == '@')) {
            sections.back().values.push_back(ParseValue(lines, &i));
        }
    }
    return sections;
}

size_t FindOrAddKey(RegistryLogList* list, const std::string& key) {
    for (size_t i = 0; i < list->size(); ++i)
        if ((*list)[i].key == key) return i;
    list->push_back({key, {}});
    return list->size() - 1;
}

void NoteRegistrySection(const RegistrySection& section, RegistryLogList* list) {
    if (section.remove) return;
    size_t index = FindOrAddKey(list, section.key);
    for (const RegistryValue& value : section.values) {
        if (value.kind == RegistryValue::Kind::kDelete) continue;
        (*list)[index].valueNames.push_back(value.isDefault ? "@" : value.name);
    }
}

void NoteRegistryText(std::string_view text, RegistryLogList* list) {
    for (const RegistrySection& section : ParseRegistryText(text)) NoteRegistrySection(section, list);
}

// --- Writing ---


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

RegEntryFault CheckRegEntry(const RegistryEntry& entry) {
    if (!RegistryRootName(entry.root)) return RegEntryFault::kUnknownRoot;
    if (HasLineBreak(entry.key) || HasLineBreak(entry.name) || HasLineBreak(entry.data))
        return RegEntryFault::kLineBreak;
    return RegEntryFault::kNone;
}

std::string FormatRegEntry(const RegistryEntry& entry) {
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

}  // namespace package
