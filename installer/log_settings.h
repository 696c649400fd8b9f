// Settings of the uninstall log for one run of setup.exe. The sequence sets
// them once, when the destination is known and before the groups are
// installed; the copy engine, the shortcuts, the registry import and the
// uninstall registration read them.
#pragma once

#include <windows.h>

namespace installer {

struct LogSettings {
    bool enabled = false;               // the package asks for an uninstall log
    char installDir[MAX_PATH] = {};     // the destination directory
    char logPath[MAX_PATH + 16] = {};   // installDir + "\uninst.log"

    void Set(bool logEnabled, const char* destination);
    // The log path for the actions, or null when the package keeps no log.
    const char* PathOrNull() const { return enabled ? logPath : nullptr; }
};

}  // namespace installer
