#include <windows.h>

#include <commctrl.h>

#include "installer/dialogs.h"
#include "installer/resource.h"

namespace installer {

namespace {

// The window only shows what the sequence and the copy engine write into it.
INT_PTR CALLBACK StatusProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

}  // namespace

HWND OpenStatusWindow(HINSTANCE instance, HWND owner) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_STATUS), owner, StatusProc, 0);
    SendDlgItemMessageA(window, IDC_STATUS_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    return window;
}

}  // namespace installer
