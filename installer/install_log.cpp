#include "installer/install_log.h"

namespace installer {

void LogItem(const LogSettings& log, const char* item, LogKind kind) {
    if (!log.enabled) return;
    // The uninstall log library's LogAddEntry(log.logPath, item, kind) is
    // bound here; until it ships, nothing is recorded.
    (void)item;
    (void)kind;
}

}  // namespace installer
