#include "installer/log_settings.h"

#include "package/bytes.h"

namespace installer {

void LogSettings::Set(bool logEnabled, const char* destination) {
    enabled = logEnabled;
    package::CopyText(installDir, sizeof installDir, destination);
    package::JoinPath(logPath, sizeof logPath, installDir, "uninst.log");
}

}  // namespace installer
