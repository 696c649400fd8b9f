#include "installer/install_actions.h"

#include "installer/install_groups.h"
#include "installer/registry_import.h"
#include "installer/run_pack.h"
#include "installer/shortcuts.h"
#include "installer/uninstall_registration.h"
#include "uninstall_log/wendlo.h"

namespace installer {

bool RunPacksStep(const SetupRun& run, uint8_t count, uint32_t offset) {
    return RunPackList(run.stream.get(), count, offset, nullptr);
}

GroupsInstalled InstallGroupsStep(SetupRun& run) {
    return InstallGroups(run.stream.get(), run.header, run.groupMask, run.status.get(),
                         run.log.installDir, run.log.PathOrNull(), &run.groupPaths);
}

void CreateShortcutsStep(const SetupRun& run, uint8_t count, uint32_t offset) {
    if (count == 0 || fseek(run.stream.get(), (long)offset, SEEK_SET) != 0) return;
    const char* groupDirs[kMaxGroups];
    for (size_t i = 0; i < kMaxGroups; ++i) groupDirs[i] = run.groupPaths.paths[i];
    ShortcutContext context = {run.log.PathOrNull(), groupDirs, (unsigned)run.groupPaths.count};
    CreateShortcutBlock(run.stream.get(), count, run.groupMask, context);
}

void RegisterUninstallStep(SetupRun& run, uint64_t installedBytes) {
    UninstallDetails details;
    details.version = run.header.version;
    uint64_t kb = (installedBytes + 1023) / 1024;
    details.estimatedSizeKb = kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)kb;
    RegisterUninstall(run.header.appName, run.log.installDir, &run.registryNotes, details);
}

void ImportRegistryStep(SetupRun& run) {
    const LogSettings& log = run.log;
    if (run.header.registryOffset == 0 || run.header.registrySize == 0) {
        // The uninstall registration still reaches the log, so that the
        // uninstaller removes it.
        if (log.enabled) LogRegistryNotes(log.logPath, run.registryNotes);
        return;
    }
    ImportRegistryBlock(run.stream.get(), run.header.appName, run.header.registryOffset,
                        run.header.registrySize, log.installDir, log.PathOrNull(),
                        &run.registryNotes, !run.unattended);
    // A display icon the package names is a file of the installation.
    if (log.enabled) ResolveDisplayIcon(run.header.appName, log.installDir);
}

void AddLogEntryStep(const SetupRun& run, const char* item, uint8_t kind) {
    if (const char* logPath = run.log.PathOrNull()) LogAddEntry(logPath, item, kind);
}

}  // namespace installer
