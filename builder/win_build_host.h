// The builder on Windows: files through the C runtime and Win32, temporary
// files "Z2D*.tmp" in the temporary-files folder, zlib from zlib.dll, and
// the build window ("Building Dat File...", resource 102: a bold status
// line, a detail line, a progress bar and Cancel), modeless and without
// owner, serviced one message at a time. Messages are boxes captioned
// "Zek2Dat DLL"; error codes become the thread's last error.
#pragma once

#include <windows.h>

#include "builder/build_host.h"
#include "win32/progress_display.h"
#include "win32/unique_handle.h"

namespace builder {

// The build window's procedure, also exported as DialogUpdateProc: a click
// on Cancel cancels the build whose window it is; focus goes to item 2.
INT_PTR CALLBACK BuildDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Lives exactly as long as one build: the window is made with the host
// (when it cannot be, the system's text for the error is shown and the
// build goes on without it) and destroyed with it, zlib.dll is loaded when
// first asked for and freed with it.
class WinBuildHost : public BuildHost {
  public:
    explicit WinBuildHost(HINSTANCE instance);
    ~WinBuildHost() override;
    WinBuildHost(const WinBuildHost&) = delete;
    WinBuildHost& operator=(const WinBuildHost&) = delete;

    void Cancel() { cancelled_ = true; }

    bool ListFiles(const std::string& folder, std::vector<FoundFile>* files) override;
    FILE* OpenFile(const std::string& path, const char* mode) override;
    bool FileLength(FILE* file, uint64_t* length) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    bool MakeTempFile(std::string* path) override;
    void RemoveFile(const std::string& path) override;
    void SystemReason(unsigned long* code, std::string* text) override;
    const package::ZlibApi* Zlib() override;
    void SetStatus(const char* text) override;
    void SetDetail(const char* text) override;
    bool SetProgress(int percent) override;
    void Repaint() override;
    void Service() override;
    bool Cancelled() override { return cancelled_; }
    void ShowMessage(MessageKind kind, const char* text) override;
    void ReportError(uint32_t code) override;

  private:
    HWND dialog_ = nullptr;
    HFONT boldFont_ = nullptr;
    win32::ProgressDisplay progress_;
    bool cancelled_ = false;
    win32::UniqueModule zlibModule_;
    package::ZlibApi zlib_ = {};
    bool zlibLoaded_ = false;
};

}  // namespace builder
