// The dialogs of setup.exe. Each modal one returns the code it ended with:
// 1008 OK, 1009 Cancel (the sequence's "refused"), 1028 to 1030 for the
// reboot question. Every procedure acts only on commands whose notification
// code is 0: clicks, Enter and Escape (command 2).
#pragma once

#include <windows.h>

#include "installer/setup_run.h"

namespace installer {

// The welcome (120): the heading, Info, OK (1008) and Cancel (1009). Escape
// is ignored.
INT_PTR ShowWelcomeDialog(HINSTANCE instance, HWND owner);

// The licence (118) showing text. Any command ends it with its own id, so
// Escape and Enter accept; only Cancel returns 1009.
INT_PTR ShowLicenceDialog(HINSTANCE instance, HWND owner, const char* text);

// Installation Options (101). Returns 1008 with options->destination an
// existing directory (created on request, one level only), made the current
// directory, and with two or more types options->chosenType set; returns
// 1009 when the user gives up or the directory cannot be created.
INT_PTR ShowOptionsDialog(HINSTANCE instance, HWND owner, InstallOptions* options);

// The modeless status window (104) owned by owner. Its Cancel button does
// nothing: copying cannot be interrupted.
HWND OpenStatusWindow(HINSTANCE instance, HWND owner);

// The readme (125) showing text; only OK (1008) ends it.
INT_PTR ShowReadmeDialog(HINSTANCE instance, HWND owner, const char* text);

// The reboot question (126): 1028 Reboot Now (checked at first), 1029
// Reboot Later or 1030 Restart Windows, whichever is checked on OK.
INT_PTR ShowRebootQuestion(HINSTANCE instance, HWND owner);

}  // namespace installer
