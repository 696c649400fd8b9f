// Installation Options: the destination directory and the setup type.
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "installer/destination.h"
#include "installer/dialogs.h"
#include "installer/resource.h"
#include "package/bytes.h"
#include "win32/com.h"
#include "win32/message_box.h"

namespace installer {

namespace {

void FillDefaults(HWND dialog, const InstallOptions& options) {
    std::string destination = DefaultDestination(options.destination, options.registeredFolder);
    SetDlgItemTextA(dialog, IDC_DESTINATION, destination.c_str());

    if (options.typeCount <= 1) {
        ShowWindow(GetDlgItem(dialog, IDC_TYPE_LABEL), SW_HIDE);
        ShowWindow(GetDlgItem(dialog, IDC_TYPE_LIST), SW_HIDE);
        return;
    }
    for (int i = 0; i < options.typeCount; ++i)
        SendDlgItemMessageA(dialog, IDC_TYPE_LIST, CB_ADDSTRING, 0, (LPARAM)options.typeNames[i]);
    SendDlgItemMessageA(dialog, IDC_TYPE_LIST, CB_SETEXTENDEDUI, TRUE, 0);
}

void Browse(HWND dialog) {
    // The shell's browser expects COM on the calling thread.
    win32::ComScope com;
    char displayName[MAX_PATH] = {};
    BROWSEINFOA info = {};
    info.hwndOwner = dialog;
    info.pszDisplayName = displayName;
    info.lpszTitle = "Select Destination Directory";
    LPITEMIDLIST item = SHBrowseForFolderA(&info);
    char path[MAX_PATH] = {};
    // A pick without a file-system path (a virtual folder) changes nothing.
    if (item && SHGetPathFromIDListA(item, path)) SetDlgItemTextA(dialog, IDC_DESTINATION, path);
    CoTaskMemFree(item);
}

bool Ask(HWND dialog, const std::string& text, UINT icon) {
    return win32::ShowMessage(dialog, text.c_str(), kSetupName, MB_OKCANCEL | icon) == IDOK;
}

// Ends the dialog as OK once the destination exists and is current; asks
// to create a missing one. Returns the end code, or 0 to keep the dialog.
INT_PTR AcceptDestination(HWND dialog, InstallOptions* options) {
    if (options->typeCount > 1) {
        LRESULT selected = SendDlgItemMessageA(dialog, IDC_TYPE_LIST, CB_GETCURSEL, 0, 0);
        // Nothing selected takes the first type: the sequence needs a valid one.
        options->chosenType =
            selected >= 0 && selected < options->typeCount ? (uint16_t)selected : 0;
    }
    char typed[MAX_PATH] = {};
    GetDlgItemTextA(dialog, IDC_DESTINATION, typed, MAX_PATH);
    if (typed[0] == 0) {
        bool again =
            Ask(dialog, "You cannot leave blank the destination directory field !\n Try again ? ",
                MB_ICONWARNING);
        return again ? 0 : IDC_CANCEL;
    }
    // Everything later joins names to the destination; a relative one would
    // change its meaning once it is the current directory.
    DWORD fullLen = GetFullPathNameA(typed, MAX_PATH, options->destination, nullptr);
    if (fullLen == 0 || fullLen >= MAX_PATH)
        package::CopyText(options->destination, MAX_PATH, typed);
    const char* destination = options->destination;
    // Elsewhere, the registered installation would lose its entry: asked
    // first, and a No leaves the dialog open.
    if (options->registeredFolder[0] && !SameFolder(destination, options->registeredFolder) &&
        !Ask(dialog, OtherFolderQuestion(options->registeredFolder), MB_ICONQUESTION))
        return 0;

    // Only an existing directory can become the current one.
    if (SetCurrentDirectoryA(destination)) return IDC_OK;
    if (!Ask(dialog,
             std::string("The directory: ") + destination +
                 " does not exist ! \n Do you want to create it ?",
             MB_ICONWARNING))
        return IDC_CANCEL;
    if (CreateDirectoryA(destination, nullptr) && SetCurrentDirectoryA(destination)) return IDC_OK;
    std::string error =
        std::string("Cannot create directory ") + destination + "\n Installation must end now !";
    win32::ShowMessage(dialog, error.c_str(), kSetupName, MB_OK | MB_ICONERROR);
    return IDC_CANCEL;
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* options = (InstallOptions*)GetWindowLongPtrA(dialog, DWLP_USER);
    switch (message) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dialog, DWLP_USER, lParam);
            FillDefaults(dialog, *(InstallOptions*)lParam);
            return TRUE;
        case WM_COMMAND: {
            if (HIWORD(wParam) != 0) return FALSE;
            INT_PTR end = 0;
            if (LOWORD(wParam) == IDC_BROWSE) Browse(dialog);
            if (LOWORD(wParam) == IDC_OK) end = AcceptDestination(dialog, options);
            if (LOWORD(wParam) == IDC_CANCEL) end = IDC_CANCEL;
            if (end) EndDialog(dialog, end);
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace

INT_PTR ShowOptionsDialog(HINSTANCE instance, HWND owner, InstallOptions* options) {
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_OPTIONS), owner, OptionsProc,
                           (LPARAM)options);
}

}  // namespace installer
