// The full-screen background behind the installer's dialogs: a solid colour
// or a vertical gradient to black, with the setup title in white italics in
// its top-left corner.
#pragma once

#include <windows.h>

namespace installer {

// Creates the background (dialog 109, no owner), covers the screen with it,
// paints it in color (a gradient when gradient is non-zero) and draws title.
// title must live as long as the window: every repaint draws it again.
HWND CreateBackgroundWindow(HINSTANCE instance, const char* title, COLORREF color, int gradient);

// Paints the window's client area. A non-zero color replaces the remembered
// colour and gradient switch (initially black, solid); color 0 repaints with
// the remembered ones. The gradient runs in 256 bands from the full colour
// at the top to black at the bottom and exists only for pure red, green,
// yellow and blue; any other colour leaves the window unpainted.
void PaintBackground(HWND window, COLORREF color, int gradient);

// Draws title at 7,7 in white, 16-point bold italic "MS Sans Serif".
void DrawBackgroundTitle(HWND window, const char* title);

}  // namespace installer
