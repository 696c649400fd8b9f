#include "builder/crc_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "builder/resource.h"
#include "package/zlib_api.h"
#include "win32/library.h"
#include "win32/progress_display.h"
#include "win32/unique_handle.h"

namespace builder {

namespace {

HINSTANCE g_instance = nullptr;

struct FreeDeleter {
    void operator()(void* p) const { free(p); }
};

INT_PTR CALLBACK CrcDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

}  // namespace

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE ModuleInstance() { return g_instance; }

uint32_t DoCrc32(const char* path) {
    std::unique_ptr<unsigned char, FreeDeleter> block(
        static_cast<unsigned char*>(malloc(package::kBlockSize)));
    win32::UniqueModule zlib;
    package::ZlibApi api;
    if (!block || !win32::LoadZlib(&zlib, &api) || !api.crc32) return 0;
    win32::UniqueFile file(fopen(path, "rb"));
    if (!file) return 0;

    InitCommonControls();
    char title[MAX_PATH] = {};
    GetFileTitleA(path, title, sizeof title);
    std::string text = std::string("Please wait while computing CRC32 of ") + title;
    win32::UniqueWindow dialog(CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_CRC), nullptr,
                                                  CrcDialogProc, 0));
    SetDlgItemTextA(dialog.get(), IDC_CRC_TEXT, text.c_str());
    win32::ProgressDisplay bar;
    bar.Attach(GetDlgItem(dialog.get(), IDC_CRC_PROGRESS), nullptr, 0);

    uint64_t length = (uint64_t)_filelengthi64(_fileno(file.get()));
    uint32_t crc = 0;
    bool read = package::StreamCrc32(api, file.get(), block.get(), &crc,
                                     [&](uint64_t done, size_t got) {
                                         bar.SetPercent(got == package::kBlockSize
                                                            ? package::ProgressPercent(done, length)
                                                            : 100);
                                     });
    return read ? crc : 0;
}

}  // namespace builder
