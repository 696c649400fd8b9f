// Where the installation sequence hands over to the system actions: run
// packs, the copy engine, shortcuts, uninstall registration, registry import
// and the uninstall log. Each function is the one place the sequence calls
// its action from, with everything the action needs within reach of run
// (package stream, status window, header, options, group mask) and of
// GetLogSettings(). An action not built yet is passed over as its comment
// says; the sequence around it already behaves as it will.
#pragma once

#include <cstdint>
#include <cstdio>

#include "installer/setup_run.h"
#include "package/records.h"

namespace installer {

// Runs count run packs from offset in the package stream, with no owner
// window. True when every pack ran; false after the action's own message.
// Passed over: true.
bool RunPacksStep(const SetupRun& run, uint8_t count, uint32_t offset);

// Works out the directory of group index, creates it when its kind asks for
// one and enters it in the group path table; called for every group,
// installed or not. Passed over.
void ResolveGroupStep(const SetupRun& run, int index, const package::GroupHeader& group);

// Installs group index of the chosen setup type. The stream stands at the
// group's first FileEntry and is left at the next GroupHeader. False after a
// reported failure, which ends the group loop. Passed over: the group's
// entries and data are skipped.
bool CopyGroupStep(const SetupRun& run, int index, const package::GroupHeader& group);

// Creates the count links of the block the stream stands at, for the groups
// of run.groupMask. Passed over.
void CreateShortcutsStep(const SetupRun& run, uint8_t count);

// Lists the application in Windows' installed programs. Passed over.
void RegisterUninstallStep(const SetupRun& run);

// Imports the package's registry text and logs its keys and values.
// Passed over.
void ImportRegistryStep(const SetupRun& run);

// Records item with its log kind (2: copied file) in the uninstall log; only
// called with logging enabled. Passed over.
void AddLogEntryStep(const char* item, uint8_t kind);

// Moves stream past the group whose header was just read: its entries and
// data. False when the stream cannot move.
bool SkipGroupContent(std::FILE* stream, const package::GroupHeader& group);

}  // namespace installer
