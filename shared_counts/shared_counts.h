// Use counts of shared files in the registry's SharedDLLs key, the version
// test that decides whether a new copy may replace an installed one, and the
// call of a server's own registration entry point. setup.exe and drevok.exe
// both build these, so they count and register alike.
#pragma once

#include <windows.h>

#include <cstdint>

namespace shared_counts {

// The file's count, named by its full path exactly as given; 0 when the key
// cannot be read or the value is missing or not 4 bytes.
uint32_t ReadSharedCount(const char* path);
// Sets the file's count as a REG_DWORD. Never creates the SharedDLLs key:
// without it nothing is written and the result is false.
bool WriteSharedCount(const char* path, uint32_t count);
// Removes the file's value; false when there was none to remove.
bool DeleteSharedCount(const char* path);

// True when a file (not a folder) is at path, even one that another program
// holds open without sharing.
bool FileExists(const char* path);

struct Version {
    uint32_t ms = 0;  // dwFileVersionMS
    uint32_t ls = 0;  // dwFileVersionLS
};
// The file's fixed version; false when it has no version information.
bool FileVersion(const char* path, Version* version);

// The version test: true when newFile may overwrite installedFile. A newer or
// equal version replaces; an older one does not. A versioned installed file
// is never replaced by an unversioned one; with neither versioned, the new
// copy replaces.
bool IsReplaceable(const char* newFile, const char* installedFile);

// Loads the DLL and calls DllRegisterServer (mode 1) or DllUnregisterServer
// (any other mode) inside an OLE initialisation. True when the entry point
// was found and called; the library is released again on every return.
bool CallRegistrationEntry(const char* path, int mode);

}  // namespace shared_counts
