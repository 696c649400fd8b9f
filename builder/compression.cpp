#include "builder/compression.h"

#include <commctrl.h>
#include <commdlg.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "builder/build_dialog.h"
#include "builder/build_state.h"
#include "builder/resource.h"
#include "win32/progress_display.h"
#include "win32/unique_handle.h"
#include "win32/zlib_api.h"

namespace builder {

namespace {

constexpr size_t kBlockSize = 4096;

struct FreeDeleter {
    void operator()(void* p) const { free(p); }
};
using Block = std::unique_ptr<uint8_t, FreeDeleter>;

INT_PTR CALLBACK CrcDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// An open gzip stream and its close; closes a stream left open by a failure.
class GzStream {
  public:
    GzStream(win32::GzFile file, win32::GzCloseFn close) : file_(file), close_(close) {}
    ~GzStream() {
        if (file_) close_(file_);
    }
    GzStream(const GzStream&) = delete;
    GzStream& operator=(const GzStream&) = delete;
    win32::GzFile get() const { return file_; }
    // Finishes the stream; true when zlib wrote all of it.
    bool Close() { return close_(std::exchange(file_, nullptr)) == win32::kZOk; }

  private:
    win32::GzFile file_;
    win32::GzCloseFn close_;
};

bool CopyToGzip(FILE* body, const GzStream& gz, win32::GzWriteFn gzwrite) {
    Block block(static_cast<uint8_t*>(malloc(kBlockSize)));
    if (!block) return false;
    uint64_t length = (uint64_t)_filelengthi64(_fileno(body));
    uint64_t done = 0;
    for (;;) {
        size_t got = fread(block.get(), 1, kBlockSize, body);
        if (BuildCancelled() || ferror(body)) return false;
        done += got;
        if (got == kBlockSize) {
            if (SetBuildProgress(ProgressPercent(done, length))) RepaintBuildDialog();
            if (gzwrite(gz.get(), block.get(), (unsigned)got) != (int)got) return false;
            continue;
        }
        if (got > 0) {
            ServiceBuildDialog();
            if (gzwrite(gz.get(), block.get(), (unsigned)got) != (int)got) return false;
            SetBuildProgress(100);
        }
        return true;
    }
}

bool WriteGzip(HMODULE zlib, const char* bodyPath, const char* outputPath) {
    auto gzopen = win32::ZlibFunction<win32::GzOpenFn>(zlib, "gzopen");
    auto gzwrite = win32::ZlibFunction<win32::GzWriteFn>(zlib, "gzwrite");
    auto gzclose = win32::ZlibFunction<win32::GzCloseFn>(zlib, "gzclose");
    if (!gzopen || !gzwrite || !gzclose) return false;
    win32::UniqueFile body(fopen(bodyPath, "rb"));
    if (!body) return false;
    GzStream gz(gzopen(outputPath, "wb"), gzclose);
    if (!gz.get()) return false;
    return CopyToGzip(body.get(), gz, gzwrite) && gz.Close();
}

}  // namespace

bool CompressPackage(const char* bodyPath, const char* outputPath) {
    SetBuildStatus("Compressing temp file to DAT file");
    SetBuildDetail("");
    RepaintBuildDialog();
    win32::UniqueModule zlib(LoadLibraryA(win32::kZlibName));
    if (!zlib) {
        ShowBuilderMessage(BoxOwner::kNone, MB_ICONERROR, "Error !\nzlib.dll not found in path!");
        return false;
    }
    if (WriteGzip(zlib.get(), bodyPath, outputPath)) return true;
    // An unfinished gzip stream must not pass for a package.
    win32::UniqueFile empty(fopen(outputPath, "wb"));
    return false;
}

uint32_t DoCrc32(const char* path) {
    Block block(static_cast<uint8_t*>(malloc(kBlockSize)));
    win32::UniqueModule zlib(LoadLibraryA(win32::kZlibName));
    if (!block || !zlib) return 0;
    auto crc32 = win32::ZlibFunction<win32::Crc32Fn>(zlib.get(), "crc32");
    if (!crc32) return 0;
    win32::UniqueFile file(fopen(path, "rb"));
    if (!file) return 0;

    InitCommonControls();
    char title[MAX_PATH] = {};
    GetFileTitleA(path, title, sizeof title);
    std::string text = std::string("Please wait while computing CRC32 of ") + title;
    win32::UniqueWindow dialog(CreateDialogParamA(ModuleInstance(), MAKEINTRESOURCEA(IDD_CRC),
                                                  nullptr, CrcDialogProc, 0));
    SetDlgItemTextA(dialog.get(), IDC_CRC_TEXT, text.c_str());
    win32::ProgressDisplay bar;
    bar.Attach(GetDlgItem(dialog.get(), IDC_CRC_PROGRESS), nullptr, 0);

    unsigned long crc = crc32(0, nullptr, 0);
    uint64_t length = (uint64_t)_filelengthi64(_fileno(file.get()));
    uint64_t done = 0;
    for (;;) {
        size_t got = fread(block.get(), 1, kBlockSize, file.get());
        done += got;
        if (got == kBlockSize)
            bar.SetPercent(ProgressPercent(done, length));
        else if (got > 0)
            bar.SetPercent(100);
        if (got > 0) crc = crc32(crc, block.get(), (unsigned)got);
        if (got < kBlockSize) break;
    }
    return ferror(file.get()) ? 0 : (uint32_t)crc;
}

}  // namespace builder
