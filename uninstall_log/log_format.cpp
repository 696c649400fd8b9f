#include "uninstall_log/log_format.h"

#include <cstdio>
#include <cstring>

namespace uninstall_log {

namespace {

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = (char)(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = (char)(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// Calls visit(section, line) for every line of text, CR LF or LF ended.
template <typename Visit>
void ForEachLine(const std::string& text, Visit visit) {
    std::string section;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        at = end + 1;
        size_t close = line.find(']');
        if (!line.empty() && line[0] == '[' && close != std::string::npos) {
            section = line.substr(1, close - 1);
            continue;
        }
        visit(section, line);
    }
}

}  // namespace

ListName ListForKind(unsigned kind) {
    static const ListName kLists[] = {{"CreatedDirs", "Dir"},  {"CopiedFiles", "File"},
                                      {"InstalledDLLs", "DLL"}, {"OLEFiles", "OLE"},
                                      {"ShellLinks", "Link"}};
    if (kind < 1 || kind > 5) return {nullptr, nullptr};
    return kLists[kind - 1];
}

std::string EscapeText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        bool edgeSpace = c == ' ' && (i == 0 || i + 1 == text.size());
        if (c == '%' || c < 0x20 || c == 0x7F || edgeSpace) {
            char hex[4];
            snprintf(hex, sizeof hex, "%%%02X", c);
            out += hex;
        } else {
            out += (char)c;
        }
    }
    return out;
}

std::string UnescapeText(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += (char)(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string RecordLines(const std::string& section, const std::string& prefix,
                        const std::string& text, bool withHeader) {
    std::string lines;
    if (withHeader) lines = "[" + section + "]\r\n";
    return lines + prefix + "=" + EscapeText(text) + "\r\n";
}

std::vector<std::string> ReadList(const std::string& fileText, const std::string& section,
                                  const std::string& prefix) {
    std::vector<std::string> items;
    ForEachLine(fileText, [&](const std::string& current, const std::string& line) {
        size_t equals = line.find('=');
        if (equals == std::string::npos || !SameName(current, section) ||
            !SameName(line.substr(0, equals), prefix))
            return;
        items.push_back(UnescapeText(line.substr(equals + 1)));
    });
    return items;
}

}  // namespace uninstall_log
