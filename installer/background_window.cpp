#include "installer/background_window.h"

#include <cstring>

#include "installer/resource.h"
#include "win32/unique_handle.h"

namespace installer {

namespace {

constexpr int kBands = 256;

// Set once by the first paint, used by every repaint.
COLORREF rememberedColor = 0;
bool rememberedGradient = false;

// The colour of gradient band i (0 at the top) for base, or false when base
// has no gradient.
bool BandColor(COLORREF base, int i, COLORREF* color) {
    BYTE level = (BYTE)(255 - i);
    switch (base) {
        case RGB(255, 0, 0):
            *color = RGB(level, 0, 0);
            return true;
        case RGB(0, 255, 0):
            *color = RGB(0, level, 0);
            return true;
        case RGB(255, 255, 0):
            *color = RGB(level, level, 0);
            return true;
        case RGB(0, 0, 255):
            *color = RGB(0, 0, level);
            return true;
        default:
            return false;
    }
}

void Fill(HDC dc, const RECT& rect, COLORREF color) {
    win32::UniqueGdiObject brush(CreateSolidBrush(color));
    FillRect(dc, &rect, (HBRUSH)brush.get());
}

INT_PTR CALLBACK BackgroundProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(window, DWLP_USER, lParam);
            return TRUE;
        case WM_PAINT: {
            // Painted inside BeginPaint and EndPaint: the erase to the dialog's
            // face colour that an invalidation asks for happens in BeginPaint,
            // before the background, and cannot wipe it afterwards.
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            PaintBackground(window, 0, 0);
            DrawBackgroundTitle(window, (const char*)GetWindowLongPtrA(window, DWLP_USER));
            EndPaint(window, &paint);
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

HWND CreateBackgroundWindow(HINSTANCE instance, const char* title, COLORREF color, int gradient) {
    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_BACKGROUND), nullptr,
                                     BackgroundProc, (LPARAM)title);
    if (!window) return nullptr;
    MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE);
    PaintBackground(window, color, gradient);
    DrawBackgroundTitle(window, title);
    return window;
}

void PaintBackground(HWND window, COLORREF color, int gradient) {
    if (color != 0) {
        rememberedColor = color;
        rememberedGradient = gradient != 0;
    }
    HDC dc = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    if (!rememberedGradient) {
        Fill(dc, client, rememberedColor);
    } else {
        // Band edges are truncated products of a single-precision band height,
        // so a client under 256 pixels high gets some empty bands.
        float bandHeight = (float)client.bottom / kBands;
        COLORREF bandColor;
        for (int i = 0; i < kBands && BandColor(rememberedColor, i, &bandColor); ++i) {
            RECT band = {0, (int)(i * bandHeight), client.right + 1, (int)((i + 1) * bandHeight)};
            Fill(dc, band, bandColor);
        }
    }
    ReleaseDC(window, dc);
}

void DrawBackgroundTitle(HWND window, const char* title) {
    if (!title) return;
    HDC dc = GetDC(window);
    SetTextColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, TRANSPARENT);
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(16, GetDeviceCaps(dc, LOGPIXELSY), 72);
    font.lfWeight = 900;
    font.lfItalic = TRUE;
    font.lfCharSet = ANSI_CHARSET;
    font.lfOutPrecision = OUT_RASTER_PRECIS;
    font.lfPitchAndFamily = FF_ROMAN;
    strcpy(font.lfFaceName, "MS Sans Serif");
    win32::UniqueGdiObject titleFont(CreateFontIndirectA(&font));
    HGDIOBJ previous = SelectObject(dc, titleFont.get());
    SIZE extent = {};
    int titleLen = (int)strlen(title);
    GetTextExtentPoint32A(dc, title, titleLen, &extent);
    RECT rect = {7, 7, 7 + extent.cx, 7 + extent.cy};
    DrawTextA(dc, title, titleLen, &rect, DT_SINGLELINE | DT_VCENTER);
    SelectObject(dc, previous);
    ReleaseDC(window, dc);
}

}  // namespace installer
