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

}  // namespace uninstaller
