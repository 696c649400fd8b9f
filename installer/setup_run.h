// What one run of setup.exe holds from the start-up checks to its end. The
// installation sequence owns it and fills it step by step; the dialogs and
// the install actions read what they need from it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "installer/group_directory.h"
#include "installer/log_settings.h"
#include "installer/startup.h"
#include "package/limits.h"
#include "package/registry_text.h"
#include "package/records.h"
#include "win32/unique_handle.h"

namespace installer {

// The installer's own name and version, in its welcome heading, its Info box
// and the caption of its questions and notices.
constexpr char kSetupName[] = "Vornel Setup";
constexpr char kSetupVersion[] = "0.5.01 beta";

using package::kMaxSetupTypes;

// What the Installation Options dialog edits.
struct InstallOptions {
    char typeNames[kMaxSetupTypes][64];  // package order; only typeCount are used
    // In: the application name. Out (after OK): the chosen directory as a
    // full path; it exists and is the process's current directory.
    char destination[MAX_PATH];
    // The folder of an installation of the same application registered
    // before, offered first; "" when there is none.
    char registeredFolder[MAX_PATH];
    uint16_t chosenType;  // after OK with typeCount > 1: always < typeCount
    uint16_t typeCount;   // 1 when the package offers no choice
};

// The run's state. Members are released in reverse order on every exit: the
// windows go, the package stream is closed, then the temporary file deleted.
struct SetupRun {
    HINSTANCE instance = nullptr;
    // Started with /S: no window at all, every message in the unattended
    // log, and the switches below in place of the dialogs' answers.
    bool unattended = false;
    std::string typeSwitch;         // /TYPE=, "" for the first type
    std::string destinationSwitch;  // /D= as a full path, "" for the default
    package::PackageHeader header = {};
    // "Setup of <name> version <version>", or the header's own title.
    char title[64] = {};
    win32::TempFile tempFile;  // the unpacked package
    // The package stream: the unpacked package open for binary reading. Each
    // step seeks to the block it reads; the group loop reads sequentially.
    win32::UniqueFile stream;
    win32::UniqueWindow background;  // owner of every dialog
    // The status window (dialog 104) while the groups, shortcuts and
    // registry entries are installed; null before and after.
    win32::UniqueWindow status;
    InstallOptions options = {};
    uint32_t typeMasks[kMaxSetupTypes] = {};  // group mask of each offered type
    // Bit i set: group i is installed. All ones without a choice of types.
    uint32_t groupMask = 0xFFFFFFFFu;
    GroupPathTable groupPaths;  // every group's directory, for the shortcuts
    // Registry keys and values for the uninstall log: the uninstall
    // registration's first, then the package's own.
    package::RegistryLogList registryNotes;
    LogSettings log;  // set once the destination is known
    // The folders an unattended run made for the destination, outermost
    // first, recorded once the log is known.
    std::vector<std::string> createdDirs;
};

}  // namespace installer
