#include "builder/build_dialog.h"

#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "builder/build_state.h"
#include "builder/zek2dat_api.h"
#include "builder/resource.h"
#include "win32/last_error.h"
#include "win32/progress_display.h"

namespace builder {

namespace {

HWND g_dialog = nullptr;
HFONT g_boldFont = nullptr;
MSG g_message;
win32::ProgressDisplay g_progress;

constexpr char kCaption[] = "Zek2Dat DLL";

}  // namespace

INT_PTR CALLBACK BuildDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return 1;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BUILD_CANCEL && HIWORD(wParam) == BN_CLICKED) CancelBuild();
            return 0;
        case WM_SETFOCUS:
            SetFocus(GetDlgItem(window, 2));
            return 0;
        default:
            return 0;
    }
}

void OpenBuildDialog() {
    InitCommonControls();
    g_dialog = CreateDialogParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_BUILD), nullptr,
                                  BuildDialogProc, 0);
    if (!g_dialog) {
        win32::ShowLastError();
        return;
    }
    g_boldFont = CreateFontA(0, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FF_SWISS,
                             "MS Sans Serif");
    SendDlgItemMessageA(g_dialog, IDC_BUILD_STATUS, WM_SETFONT, (WPARAM)g_boldFont, TRUE);
    g_progress.Attach(GetDlgItem(g_dialog, IDC_BUILD_PROGRESS), nullptr, 0);
    SetForegroundWindow(g_dialog);
}

void CloseBuildDialog() {
    if (g_dialog) DestroyWindow(g_dialog);
    g_dialog = nullptr;
    g_progress.Attach(nullptr);
    // The status line used the font until its window went.
    if (g_boldFont) DeleteObject(g_boldFont);
    g_boldFont = nullptr;
}

void SetBuildStatus(const char* text) {
    if (g_dialog) SetDlgItemTextA(g_dialog, IDC_BUILD_STATUS, text);
}

void SetBuildDetail(const char* text) {
    if (g_dialog) SetDlgItemTextA(g_dialog, IDC_BUILD_DETAIL, text);
}

bool SetBuildProgress(int percent) { return g_progress.SetPercent(percent); }

void RepaintBuildDialog() {
    if (g_dialog) UpdateWindow(g_dialog);
}

void ServiceBuildDialog() {
    // PeekMessage rather than waiting in GetMessage: input for another window
    // of the caller's thread must not stall the build, and a click posted to
    // the window counts as much as one made with the mouse.
    if (g_dialog && PeekMessageA(&g_message, g_dialog, 0, 0, PM_REMOVE))
        DispatchMessageA(&g_message);
}

void ShowBuilderMessage(BoxOwner owner, UINT icon, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    MessageBoxA(owner == BoxOwner::kBuildDialog ? g_dialog : nullptr, text, kCaption, MB_OK | icon);
}

void ShowProjectReadError() {
    ShowBuilderMessage(BoxOwner::kBuildDialog, MB_ICONWARNING, "Error reading from zekfile !");
}

void ShowTempFileError() {
    DWORD reason = GetLastError();
    char text[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, reason,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, sizeof text, nullptr);
    text[strcspn(text, "\r\n")] = 0;
    ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                       "Error writing the temporary files of the build (error %lu) : %s",
                       (unsigned long)reason, text);
    ReportBuildError(kErrorTempFile);
}

}  // namespace builder
