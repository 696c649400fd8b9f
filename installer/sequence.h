// The installation run of setup.exe, from the start-up checks to the end.
#pragma once

#include <windows.h>

namespace installer {

// Runs the whole installation as commandTail (the command line after the
// program's name) asks; returns the process's exit code (SetupExitCode).
int RunSetup(HINSTANCE instance, const char* commandTail);

}  // namespace installer
