#include "uninstaller/progress_window.h"

#include <commctrl.h>

#include "uninstaller/resource.h"

namespace uninstaller {

namespace {

// The window has no buttons and no system menu: it handles no command.
INT_PTR CALLBACK ProgressProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

}  // namespace

HWND CreateProgressWindow(HINSTANCE instance) {
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr, ProgressProc, 0);
}

void SetStatusText(HWND progress, const char* text) {
    SendMessageA(GetDlgItem(progress, IDC_STATUS), WM_SETTEXT, 0, (LPARAM)text);
}

void SetBarPosition(HWND progress, unsigned position) {
    SendMessageA(GetDlgItem(progress, IDC_PROGRESS), PBM_SETPOS, position, 0);
}

void PumpMessage(HWND progress) {
    // PeekMessage rather than GetMessage: between two items of a pass there
    // may be nothing to paint, and waiting would stall the pass for good.
    MSG msg;
    if (PeekMessageA(&msg, progress, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace uninstaller
