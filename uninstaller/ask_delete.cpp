#include "uninstaller/ask_delete.h"

#include "uninstaller/resource.h"

namespace uninstaller {

namespace {

INT_PTR CALLBACK QuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SendMessageA(GetDlgItem(dialog, IDC_QUESTION), WM_SETTEXT, 0, lParam);
        return TRUE;
    }
    if (message != WM_COMMAND || HIWORD(wParam) != 0) return FALSE;
    UINT id = LOWORD(wParam);
    if (id != IDYES && id != IDNO && id != IDCANCEL) return FALSE;
    uint32_t result = id;
    if (IsDlgButtonChecked(dialog, IDC_ALWAYS) == BST_CHECKED) result |= kAlwaysTicked;
    EndDialog(dialog, (INT_PTR)result);
    return TRUE;
}

}  // namespace

uint32_t AskDelete(HINSTANCE instance, HWND owner, const char* text) {
    return (uint32_t)DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_QUESTION), owner, QuestionProc,
                                     (LPARAM)text);
}

}  // namespace uninstaller
