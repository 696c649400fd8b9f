// Settings of the uninstall log, process-wide for the whole run of setup.exe.
// The sequence sets them once, when the destination is known and before the
// groups are installed; the copy engine, the shortcuts, the registry import
// and the uninstall registration read them.
#pragma once

#include <windows.h>

namespace installer {

struct LogSettings {
    bool enabled;                 // the package asks for an uninstall log
    char installDir[MAX_PATH];    // the destination directory
    char logPath[MAX_PATH + 16];  // installDir + "\uninst.log"
};

void SetLogSettings(bool enabled, const char* installDir);
// Before SetLogSettings: disabled, with empty paths.
const LogSettings& GetLogSettings();

}  // namespace installer
