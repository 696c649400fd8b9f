#include "installer/command_line.h"

#include <cstdlib>
#include <cstring>

namespace installer {

namespace {

bool IsBlank(char c) { return c != '\0' && (unsigned char)c <= ' '; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c; }

// True when text starts with prefix, compared without case; prefix is lower case.
bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (Lower(*text) != *prefix) return false;
    return true;
}

bool EndsWithNoCase(const std::string& text, const char* suffix) {
    size_t len = strlen(suffix);
    return text.size() >= len && StartsWithNoCase(text.c_str() + text.size() - len, suffix);
}

// Reads the value that starts at *p up to the next blank, or a quoted one;
// false when it is empty or its quote is not closed.
bool ReadValue(const char** p, std::string* value) {
    const char* at = *p;
    if (*at == '"') {
        const char* end = strchr(at + 1, '"');
        if (!end || (end[1] && !IsBlank(end[1]))) return false;
        value->assign(at + 1, end);
        *p = end + 1;
    } else {
        const char* end = at;
        while (*end && !IsBlank(*end)) ++end;
        value->assign(at, end);
        *p = end;
    }
    return !value->empty();
}

std::string Token(const char* p) {
    const char* end = p;
    while (*end && !IsBlank(*end)) ++end;
    return std::string(p, end);
}

}  // namespace

Switches ParseSwitches(const char* tail) {
    Switches s;
    for (const char* p = tail;;) {
        while (IsBlank(*p)) ++p;
        if (!*p) return s;
        const char* start = p;
        bool sound = true;
        if (StartsWithNoCase(p, "/d=")) {
            std::string value = p + 3;
            while (!value.empty() && IsBlank(value.back())) value.pop_back();
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
                value = value.substr(1, value.size() - 2);
            sound = !value.empty() && value.find('"') == std::string::npos;
            if (sound) s.destination = value;
            p += strlen(p);
        } else if (StartsWithNoCase(p, "/s") && (!p[2] || IsBlank(p[2]))) {
            s.unattended = true;
            p += 2;
        } else if (StartsWithNoCase(p, "/type=")) {
            p += 6;
            sound = ReadValue(&p, &s.type);
        } else if (StartsWithNoCase(p, "/log=")) {
            p += 5;
            sound = ReadValue(&p, &s.logPath);
        } else {
            sound = false;
        }
        if (!sound) {
            if (s.bad.empty()) s.bad = Token(start);
            // A malformed value is skipped up to the next blank.
            while (*p && !IsBlank(*p)) ++p;
        }
    }
}

int ChooseSetupType(const std::string& text, const char* const* names, int count) {
    if (text.empty()) return 0;
    if (text.find_first_not_of("0123456789") == std::string::npos && text.size() <= 9) {
        int index = atoi(text.c_str());
        if (index >= 1 && index <= count) return index - 1;
    }
    for (int i = 0; i < count; ++i)
        if (text == names[i]) return i;
    return -1;
}

std::string FolderOfUninstallCommand(const std::string& command) {
    if (!EndsWithNoCase(command, "\\uninst.log")) return "";
    // The log's path follows the program's, behind its closing quote if any.
    std::string lower;
    for (char c : command) lower += Lower(c);
    for (const char* program : {"\\drevok.exe\" ", "\\drevok.exe "}) {
        size_t at = lower.rfind(program);
        if (at == std::string::npos) continue;
        size_t start = at + strlen(program);
        size_t end = command.size() - strlen("\\uninst.log");
        if (end > start) return command.substr(start, end - start);
    }
    return "";
}

std::string LogLine(const char* caption, const char* text) {
    std::string line = std::string(caption) + ": ";
    for (const char* p = text; *p; ++p) {
        if (*p == '\r' && p[1] == '\n') continue;
        line += *p == '\r' || *p == '\n' ? ' ' : *p;
    }
    return line;
}

}  // namespace installer
