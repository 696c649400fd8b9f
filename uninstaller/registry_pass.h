// The removal of the registry keys and values that the installation
// recorded: its imported entries and its entry in the list of installed
// programs.
#pragma once

#include <windows.h>

namespace uninstaller {

// Deletes every recorded value, key by key in log order, then every
// recorded key that is left with neither sub-keys nor values, deepest
// first. A key that still holds anything unrecorded stays, and so do its
// ancestors; a recorded text whose root is not HKEY_CLASSES_ROOT,
// HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE, exactly so written, is skipped.
// With no recorded key the window stays as it was.
void RemoveRegistryEntries(const char* log, HWND progress);

// True when the key exists, can be opened for reading, and has neither
// sub-keys nor values (a default value counts as a value).
bool IsKeyEmpty(HKEY root, const char* subKey);

}  // namespace uninstaller
