#include "installer/dialogs.h"
#include "installer/resource.h"

namespace installer {

namespace {

INT_PTR CALLBACK RebootProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            CheckDlgButton(dialog, IDC_REBOOT_NOW, BST_CHECKED);
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) != 0) return FALSE;
            if (LOWORD(wParam) == IDOK) {
                int choice = IsDlgButtonChecked(dialog, IDC_REBOOT_NOW)     ? IDC_REBOOT_NOW
                             : IsDlgButtonChecked(dialog, IDC_REBOOT_LATER) ? IDC_REBOOT_LATER
                                                                            : IDC_RESTART_WINDOWS;
                EndDialog(dialog, choice);
            }
            return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR ShowRebootQuestion(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_REBOOT), owner, RebootProc, 0);
}

}  // namespace installer
