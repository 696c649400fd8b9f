#include "uninstaller/command_tail.h"

namespace uninstaller {

namespace {

bool IsBlankOrControl(char c) { return c != '\0' && (unsigned char)c <= ' '; }

}  // namespace

const char* CommandTail(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlankOrControl(*p)) ++p;
    }
    while (IsBlankOrControl(*p)) ++p;
    return p;
}

const char* TakeQuietSwitch(const char* tail, bool* quiet) {
    *quiet = tail[0] == '/' && (tail[1] == 's' || tail[1] == 'S') &&
             (tail[2] == '\0' || IsBlankOrControl(tail[2]));
    if (!*quiet) return tail;
    const char* p = tail + 2;
    while (IsBlankOrControl(*p)) ++p;
    return p;
}

}  // namespace uninstaller
