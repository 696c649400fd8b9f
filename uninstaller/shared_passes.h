// The removal passes over shared files: shared DLLs and self-registering
// servers. Each lowers the file's SharedDLLs count; a file whose last counted
// use goes is deleted after the user agrees, or at once once the Always box
// was ticked earlier in the same pass.
#pragma once

#include <windows.h>

namespace uninstaller {

// What ended a pass over shared files.
enum class PassEnd { kCompleted, kCancelled };

// Shared DLLs: the status line says so, the bar stays at 0. A deleted DLL
// loses its count entry, even when the file itself could not be deleted.
// Without ask, a file whose last counted use goes is deleted unasked, as a
// Yes would.
PassEnd RemoveInstalledDlls(const char* log, HWND progress, HINSTANCE instance, bool ask = true);
// Self-registering servers: the window keeps what the earlier passes left.
// A server is unregistered, then deleted, then loses its count entry.
PassEnd RemoveOleFiles(const char* log, HWND progress, HINSTANCE instance, bool ask = true);

}  // namespace uninstaller
