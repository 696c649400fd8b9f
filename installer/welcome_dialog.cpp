#include <cstring>
#include <string>

#include "installer/dialogs.h"
#include "installer/resource.h"

namespace installer {

namespace {

constexpr char kCredits[] =
    "This installer may be shipped freely with the programs it installs.\n"
    "It comes without any warranty: use it at your own risk.\n\n"
    "Written by the Vornel Setup developers.\n"
    "For questions, see the documentation of the program you are installing.";

// The heading's font lives as long as the dialog.
HFONT CreateHeadingFont() {
    HDC screen = GetDC(nullptr);
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font.lfWeight = 900;
    strcpy(font.lfFaceName, "MS Sans Serif");
    return CreateFontIndirectA(&font);
}

void ShowInfo(HWND dialog) {
    std::string caption = std::string("Info on  ") + kSetupName;
    std::string text = std::string(kSetupName) + " version " + kSetupVersion + "\n\n" + kCredits;
    MessageBoxA(dialog, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

INT_PTR CALLBACK WelcomeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            std::string heading = std::string(kSetupName) + " ver " + kSetupVersion;
            SetDlgItemTextA(dialog, IDC_WELCOME_HEADING, heading.c_str());
            HFONT font = CreateHeadingFont();
            SetWindowLongPtrA(dialog, DWLP_USER, (LONG_PTR)font);
            SendDlgItemMessageA(dialog, IDC_WELCOME_HEADING, WM_SETFONT, (WPARAM)font, FALSE);
            return TRUE;
        }
        case WM_DESTROY:
            DeleteObject((HGDIOBJ)GetWindowLongPtrA(dialog, DWLP_USER));
            return FALSE;
        case WM_COMMAND:
            if (HIWORD(wParam) != 0) return FALSE;
            if (LOWORD(wParam) == IDC_INFO) ShowInfo(dialog);
            if (LOWORD(wParam) == IDC_OK || LOWORD(wParam) == IDC_CANCEL)
                EndDialog(dialog, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

}  // namespace

INT_PTR ShowWelcomeDialog(HINSTANCE instance, HWND owner) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_WELCOME), owner, WelcomeProc, 0);
}

}  // namespace installer
