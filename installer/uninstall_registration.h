// The application's entry in Windows' list of installed programs.
#pragma once

#include <cstdint>

#include "package/registry_text.h"

namespace installer {

// Below HKEY_LOCAL_MACHINE: each installed application's entry of the list
// of installed programs, a subkey named after it.
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The command that entry runs: the uninstaller's path in quotes (a folder
// under "Program Files" has a space in it), one space, and the log's path.
std::string UninstallCommand(const char* destDir);
// The same command with /S before the log's path: no question, no window.
std::string QuietUninstallCommand(const char* destDir);

// What the entry shows beside the name.
struct UninstallDetails {
    const char* version = "";      // DisplayVersion; left out when empty
    uint32_t estimatedSizeKb = 0;  // EstimatedSize: the files installed, in KB
};

// Writes the entry under the Uninstall key's subkey named appName:
// DisplayName, UninstallString, QuietUninstallString, InstallLocation,
// DisplayIcon (the uninstaller), DisplayVersion, EstimatedSize, NoModify and
// NoRepair; notes that key and every value in notes (so that they reach the
// uninstall log) and writes [main] AppName into destDir\uninst.log. Does
// nothing when the Uninstall key cannot be opened or appName is empty.
void RegisterUninstall(const char* appName, const char* destDir, package::RegistryLogList* notes,
                       const UninstallDetails& details = {});

// A DisplayIcon that the package's own registry entries gave as a path in
// the installation folder ("app.exe", "bin\app.exe") is made the full path
// under destDir; a full path is left as it is.
void ResolveDisplayIcon(const char* appName, const char* destDir);

}  // namespace installer
