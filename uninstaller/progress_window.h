// The uninstaller's progress window: a modeless dialog without buttons that
// shows the running pass's text and a bar from 0 to 100.
#pragma once

#include <windows.h>

namespace uninstaller {

// Creates the window from dialog 101 of instance, without owner and not yet
// shown; null when it cannot be created.
HWND CreateProgressWindow(HINSTANCE instance);

// A new text starts a pass: the next bar position goes out at once.
void SetStatusText(HWND progress, const char* text);
// Positions are paced (see win32::ProgressDisplay): one removal takes far
// less time than the bar's repaint under Wine.
void SetBarPosition(HWND progress, unsigned position);
// Shows the last position asked for, should pacing have held it back.
void ShowLastPosition(HWND progress);

// Dispatches one message already queued for the window or its controls, so
// they repaint while a pass runs. Never waits: with nothing queued it
// returns at once.
void PumpMessage(HWND progress);

}  // namespace uninstaller
