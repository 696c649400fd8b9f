#include "uninstaller/progress_window.h"

#include <commctrl.h>

#include "uninstaller/resource.h"
#include "win32/progress_display.h"

namespace uninstaller {

namespace {

// The program has one progress window; its bar keeps its pace between the
// calls below.
win32::ProgressDisplay g_bar;

win32::ProgressDisplay& BarOf(HWND progress) {
    HWND bar = GetDlgItem(progress, IDC_PROGRESS);
    if (bar != g_bar.bar()) g_bar.Attach(bar);
    return g_bar;
}

// The window has no buttons and no system menu: it handles no command.
INT_PTR CALLBACK ProgressProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

}  // namespace

HWND CreateProgressWindow(HINSTANCE instance) {
    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                                     ProgressProc, 0);
    g_bar.Attach(GetDlgItem(window, IDC_PROGRESS), nullptr, 0);
    return window;
}

void SetStatusText(HWND progress, const char* text) {
    SendMessageA(GetDlgItem(progress, IDC_STATUS), WM_SETTEXT, 0, (LPARAM)text);
    BarOf(progress).Restart();
}

void SetBarPosition(HWND progress, unsigned position) { BarOf(progress).SetPercent((int)position); }

void ShowLastPosition(HWND progress) { BarOf(progress).Flush(); }

void PumpMessage(HWND progress) {
    // PeekMessage rather than GetMessage: between two items of a pass there
    // may be nothing to paint, and waiting would stall the pass for good.
    MSG msg;
    if (PeekMessageA(&msg, progress, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace uninstaller
