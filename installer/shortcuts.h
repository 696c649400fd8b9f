// Desktop and Start-menu shortcuts of an installation.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>

namespace installer {

// What the shortcut blocks need from the rest of the installation.
struct ShortcutContext {
    // The uninstall log, or null when the package keeps none.
    const char* logPath;
    // Installation folder of each group index, ending in a backslash; null
    // or empty where the group has none.
    const char* const* groupDirs;
    unsigned groupDirCount;
};

// Reads count link records from stream's position and creates, under the
// desktop or the Start menu's Programs folder (as the first record says),
// each folder and shortcut whose group is in groupMask, logging each before
// it is made. Records whose folder path or link name would lead outside the
// special folder are skipped. Nothing is reported: what cannot be made is
// missing.
void CreateShortcutBlock(FILE* stream, unsigned count, uint32_t groupMask,
                         const ShortcutContext& context);

// Writes a shell link at linkPath pointing at target, with description.
// Returns the COM result of the last step.
HRESULT CreateShellLink(const char* target, const char* linkPath, const char* description);

}  // namespace installer
