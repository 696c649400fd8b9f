// The installation run of setup.exe, from the start-up checks to the end.
#pragma once

#include <windows.h>

namespace installer {

// Runs the whole installation; returns the process's exit code (1 after the
// final message, 0 after any abort).
int RunSetup(HINSTANCE instance);

}  // namespace installer
