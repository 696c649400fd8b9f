#include "builder/win_build_host.h"

#include <commctrl.h>
#include <io.h>

#include <cstring>

#include "builder/resource.h"
#include "win32/last_error.h"
#include "win32/library.h"
#include "win32/temp_file.h"

namespace builder {

namespace {

constexpr char kCaption[] = "Zek2Dat DLL";

}  // namespace

INT_PTR CALLBACK BuildDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            // The host that made the window; none when another caller made it.
            SetWindowLongPtrA(window, DWLP_USER, lParam);
            return 1;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_BUILD_CANCEL && HIWORD(wParam) == BN_CLICKED) {
                if (auto* host = reinterpret_cast<WinBuildHost*>(GetWindowLongPtrA(window, DWLP_USER)))
                    host->Cancel();
            }
            return 0;
        case WM_SETFOCUS:
            SetFocus(GetDlgItem(window, 2));
            return 0;
        default:
            return 0;
    }
}

WinBuildHost::WinBuildHost(HINSTANCE instance) {
    InitCommonControls();
    dialog_ = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_BUILD), nullptr, BuildDialogProc,
                                 reinterpret_cast<LPARAM>(this));
    if (!dialog_) {
        win32::ShowLastError();
        return;
    }
    boldFont_ = CreateFontA(0, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FF_SWISS,
                            "MS Sans Serif");
    SendDlgItemMessageA(dialog_, IDC_BUILD_STATUS, WM_SETFONT, (WPARAM)boldFont_, TRUE);
    progress_.Attach(GetDlgItem(dialog_, IDC_BUILD_PROGRESS), nullptr, 0);
    SetForegroundWindow(dialog_);
}

WinBuildHost::~WinBuildHost() {
    if (dialog_) DestroyWindow(dialog_);
    // The status line used the font until its window went.
    if (boldFont_) DeleteObject(boldFont_);
}

bool WinBuildHost::ListFiles(const std::string& folder, std::vector<FoundFile>* files) {
    WIN32_FIND_DATAA data;
    win32::UniqueFindHandle find(FindFirstFileA((folder + "*.*").c_str(), &data));
    if (!find) return false;
    do {
        // Folders (".", ".." and subfolders alike) are never packed.
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        files->push_back({data.cFileName, (uint64_t)data.nFileSizeHigh << 32 | data.nFileSizeLow});
    } while (FindNextFileA(find.get(), &data));
    return true;
}

FILE* WinBuildHost::OpenFile(const std::string& path, const char* mode) {
    return fopen(path.c_str(), mode);
}

bool WinBuildHost::FileLength(FILE* file, uint64_t* length) {
    long long value = _filelengthi64(_fileno(file));
    if (value < 0) return false;
    *length = (uint64_t)value;
    return true;
}

bool WinBuildHost::SameFile(const std::string& a, const std::string& b) {
    // The same volume and file index, however each path is spelt (short
    // names, case, another route to the folder).
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    for (auto [path, info] : {std::pair{&a, &infoA}, std::pair{&b, &infoB}}) {
        win32::UniqueHandle file(CreateFileA(path->c_str(), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file || !GetFileInformationByHandle(file.get(), info)) return false;
    }
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

bool WinBuildHost::MakeTempFile(std::string* path) {
    char name[MAX_PATH];
    if (!win32::NewTempFileName("Z2D", name)) return false;
    *path = name;
    return true;
}

void WinBuildHost::RemoveFile(const std::string& path) {
    DWORD error = GetLastError();
    DeleteFileA(path.c_str());
    SetLastError(error);
}

void WinBuildHost::SystemReason(unsigned long* code, std::string* text) {
    DWORD reason = GetLastError();
    char words[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, reason,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), words, sizeof words, nullptr);
    words[strcspn(words, "\r\n")] = 0;
    *code = reason;
    *text = words;
}

const package::ZlibApi* WinBuildHost::Zlib() {
    if (!zlibLoaded_) zlibLoaded_ = win32::LoadZlib(&zlibModule_, &zlib_);
    if (!zlibLoaded_ || !zlib_.gzopen || !zlib_.gzwrite || !zlib_.gzclose) return nullptr;
    return &zlib_;
}

void WinBuildHost::SetStatus(const char* text) {
    if (dialog_) SetDlgItemTextA(dialog_, IDC_BUILD_STATUS, text);
}

void WinBuildHost::SetDetail(const char* text) {
    if (dialog_) SetDlgItemTextA(dialog_, IDC_BUILD_DETAIL, text);
}

bool WinBuildHost::SetProgress(int percent) { return progress_.SetPercent(percent); }

void WinBuildHost::Repaint() {
    if (dialog_) UpdateWindow(dialog_);
}

void WinBuildHost::Service() {
    // PeekMessage rather than waiting in GetMessage: input for another window
    // of the caller's thread must not stall the build, and a click posted to
    // the window counts as much as one made with the mouse.
    MSG message;
    if (dialog_ && PeekMessageA(&message, dialog_, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

void WinBuildHost::ShowMessage(MessageKind kind, const char* text) {
    HWND owner = kind == MessageKind::kProjectRead ? dialog_ : nullptr;
    UINT icon = kind == MessageKind::kNoZlib ? MB_ICONERROR : MB_ICONWARNING;
    MessageBoxA(owner, text, kCaption, MB_OK | icon);
}

void WinBuildHost::ReportError(uint32_t code) { SetLastErrorEx(code, SLE_ERROR); }

}  // namespace builder
