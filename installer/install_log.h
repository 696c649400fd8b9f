// What the installer records in the uninstall log, and where.
#pragma once

#include <windows.h>

#include <cstdint>

namespace installer {

// Process-wide for one run of setup, set once the destination is chosen.
struct LogSettings {
    bool enabled = false;           // the package asks for an uninstall log
    char logPath[MAX_PATH] = {};    // destination + "\\uninst.log"
    char installDir[MAX_PATH] = {};  // the destination
};

// The uninstall log's list an item belongs to.
enum class LogKind : uint8_t {
    kCreatedDir = 1,
    kCopiedFile = 2,
    kSharedDll = 3,
    kOleFile = 4,
    kShellLink = 5,
};

// Records item (a full path) under kind when logging is enabled. Callers
// record before they change anything, so an item whose installation then
// fails is still listed for the uninstaller.
void LogItem(const LogSettings& log, const char* item, LogKind kind);

}  // namespace installer
