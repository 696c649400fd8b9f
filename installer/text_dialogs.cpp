// The two dialogs that show a text of the package: the licence and the readme.
#include "installer/dialogs.h"
#include "installer/resource.h"

namespace installer {

namespace {

INT_PTR CALLBACK LicenceProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextA(dialog, IDC_TEXT, (const char*)lParam);
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) != 0) return FALSE;
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK ReadmeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            SetDlgItemTextA(dialog, IDC_TEXT, (const char*)lParam);
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) != 0) return FALSE;
            if (LOWORD(wParam) == IDC_OK) EndDialog(dialog, IDC_OK);
            return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR ShowLicenceDialog(HINSTANCE instance, HWND owner, const char* text) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_LICENCE), owner, LicenceProc,
                           (LPARAM)text);
}

INT_PTR ShowReadmeDialog(HINSTANCE instance, HWND owner, const char* text) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_README), owner, ReadmeProc, (LPARAM)text);
}

}  // namespace installer
