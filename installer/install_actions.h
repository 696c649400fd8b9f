// Where the installation sequence hands over to the system actions: run
// packs, the group loop, shortcuts, uninstall registration, registry import
// and the uninstall log. Each function is the one place the sequence calls
// its action from, with everything the action needs within reach of run
// (package stream, status window, header, options, group mask, group paths,
// registry notes, log settings).
#pragma once

#include <cstdint>

#include "installer/install_groups.h"
#include "installer/setup_run.h"

namespace installer {

// Runs count run packs from offset in the package stream, with no owner
// window. True when every pack ran; false after the action's own message.
bool RunPacksStep(const SetupRun& run, uint8_t count, uint32_t offset);

// Resolves every group's directory into run.groupPaths and installs the
// groups of run.groupMask; the others are skipped exactly.
GroupsInstalled InstallGroupsStep(SetupRun& run);

// Creates the count links of the block at offset, for the groups of
// run.groupMask.
void CreateShortcutsStep(const SetupRun& run, uint8_t count, uint32_t offset);

// Lists the application in Windows' installed programs, with installedBytes
// as its size, and notes that entry for the uninstall log.
void RegisterUninstallStep(SetupRun& run, uint64_t installedBytes);

// Imports the package's registry text and logs its keys and values together
// with the notes of the uninstall registration. Without a registry block
// only the notes are logged. An unattended run writes the entries itself.
void ImportRegistryStep(SetupRun& run);

// Records item with its log kind (2: copied file) in the uninstall log when
// logging is on.
void AddLogEntryStep(const SetupRun& run, const char* item, uint8_t kind);

}  // namespace installer
