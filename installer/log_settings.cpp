#include "installer/log_settings.h"

#include "package/bytes.h"

namespace installer {

namespace {
LogSettings settings;
}  // namespace

void SetLogSettings(bool enabled, const char* installDir) {
    settings.enabled = enabled;
    package::CopyText(settings.installDir, sizeof settings.installDir, installDir);
    package::JoinPath(settings.logPath, sizeof settings.logPath, settings.installDir, "uninst.log");
}

const LogSettings& GetLogSettings() {
    return settings;
}

}  // namespace installer
