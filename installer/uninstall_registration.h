// The application's entry in Windows' list of installed programs.
#pragma once

#include "package/registry_text.h"

namespace installer {

// The command that entry runs: the uninstaller's path in quotes (a folder
// under "Program Files" has a space in it), one space, and the log's path.
std::string UninstallCommand(const char* destDir);

// Writes DisplayName and UninstallString under the Uninstall key's subkey
// named appName, notes that key and both values in notes (so that they reach
// the uninstall log) and writes [main] AppName into destDir\uninst.log.
// Does nothing when the Uninstall key cannot be opened or appName is empty.
void RegisterUninstall(const char* appName, const char* destDir, package::RegistryLogList* notes);

}  // namespace installer
