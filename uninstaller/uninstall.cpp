#include "uninstaller/uninstall.h"

#include <commctrl.h>

#include <string>

#include "uninstaller/file_removal.h"
#include "uninstaller/plain_passes.h"
#include "uninstaller/progress_window.h"
#include "uninstaller/registry_pass.h"
#include "uninstaller/shared_passes.h"
#include "win32/unique_handle.h"

namespace uninstaller {

namespace {

bool LogReadable(const char* logPath) {
    win32::UniqueFile file(fopen(logPath, "rb"));
    return bool(file);
}

// At most 63 characters, as the name has always been shown.
std::string AppName(const char* logPath) {
    char name[64] = {};
    GetPrivateProfileStringA("main", "AppName", "an unknown application", name, sizeof name,
                             logPath);
    return name;
}

// The six passes in their order; false when a delete question was cancelled.
bool RunPasses(const char* logPath, HWND progress, HINSTANCE instance) {
    RemoveLinks(logPath, progress);
    RemoveCopiedFiles(logPath, progress);
    if (RemoveInstalledDlls(logPath, progress, instance) == PassEnd::kCancelled) return false;
    if (RemoveOleFiles(logPath, progress, instance) == PassEnd::kCancelled) return false;
    RemoveRegistryEntries(logPath, progress);
    RemoveCreatedDirs(logPath, progress);
    return true;
}

// The log's folder, which holds the uninstaller too; "" when the path names
// none ("C:" would be the drive's current folder).
std::string LogFolder(const char* logPath) {
    std::string folder = logPath;
    size_t slash = folder.find_last_of('\\');
    folder.resize(slash == std::string::npos ? 0 : slash);
    if (!folder.empty() && folder.back() == ':') folder.clear();
    return folder;
}

}  // namespace

int RunUninstall(HINSTANCE instance, const char* logPath) {
    if (!*logPath || !LogReadable(logPath)) return 0;
    std::string name = AppName(logPath);
    std::string question = "Are you sure you want to uninstall " + name + " ?";
    std::string title = "Uninstall of  " + name;

    InitCommonControls();
    win32::UniqueWindow progress(CreateProgressWindow(instance));
    if (!progress) return 0;
    ShowWindow(progress.get(), SW_SHOW);
    SetWindowTextA(progress.get(), title.c_str());
    SetStatusText(progress.get(), "");

    if (MessageBoxA(progress.get(), question.c_str(), "Uninstall question",
                    MB_ICONWARNING | MB_YESNO) != IDYES)
        return 0;
    if (!RunPasses(logPath, progress.get(), instance)) return 0;

    DeleteFileA(logPath);
    RemoveOwnFilesAfterExit(LogFolder(logPath).c_str());
    std::string goodbye = "Uninstall of " + name + " ended\n Goodbye !";
    MessageBoxA(progress.get(), goodbye.c_str(), "Uninstall Message ", MB_ICONINFORMATION);
    return 1;
}

}  // namespace uninstaller
