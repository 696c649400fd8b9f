#include "installer/install_actions.h"

#include "installer/install_groups.h"
#include "installer/log_settings.h"
#include "installer/registry_import.h"
#include "installer/run_pack.h"
#include "installer/shortcuts.h"
#include "installer/uninstall_registration.h"
#include "uninstall_log/wendlo.h"

namespace installer {

namespace {

// The log path for the actions, or null when the package keeps no log.
const char* LogPathOrNull() {
    const LogSettings& log = GetLogSettings();
    return log.enabled ? log.logPath : nullptr;
}

}  // namespace

bool RunPacksStep(const SetupRun& run, uint8_t count, uint32_t offset) {
    return RunPackList(run.stream.get(), count, offset, nullptr);
}

void InstallGroupsStep(SetupRun& run) {
    InstallGroups(run.stream.get(), run.header, run.groupMask, run.status.get(),
                  GetLogSettings().installDir, LogPathOrNull(), &run.groupPaths);
}

void CreateShortcutsStep(const SetupRun& run, uint8_t count, uint32_t offset) {
    if (count == 0 || fseek(run.stream.get(), (long)offset, SEEK_SET) != 0) return;
    const char* groupDirs[kMaxGroups];
    for (size_t i = 0; i < kMaxGroups; ++i) groupDirs[i] = run.groupPaths.paths[i];
    ShortcutContext context = {LogPathOrNull(), groupDirs, (unsigned)run.groupPaths.count};
    CreateShortcutBlock(run.stream.get(), count, run.groupMask, context);
}

void RegisterUninstallStep(SetupRun& run) {
    RegisterUninstall(run.header.appName, GetLogSettings().installDir, &run.registryNotes);
}

void ImportRegistryStep(SetupRun& run) {
    const LogSettings& log = GetLogSettings();
    if (run.header.registryOffset == 0 || run.header.registrySize == 0) {
        // The uninstall registration still reaches the log, so that the
        // uninstaller removes it.
        if (log.enabled) LogRegistryNotes(log.logPath, run.registryNotes);
        return;
    }
    ImportRegistryBlock(run.stream.get(), run.header.appName, run.header.registryOffset,
                        run.header.registrySize, log.installDir, LogPathOrNull(),
                        &run.registryNotes);
}

void AddLogEntryStep(const char* item, uint8_t kind) {
    if (const char* logPath = LogPathOrNull()) LogAddEntry(logPath, item, kind);
}

}  // namespace installer
