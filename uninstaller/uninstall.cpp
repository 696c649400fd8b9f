#include "uninstaller/uninstall.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "uninstaller/file_removal.h"
#include "uninstaller/log_list.h"
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
bool RunPasses(const char* logPath, HWND progress, HINSTANCE instance, bool ask) {
    RemoveLinks(logPath, progress);
    RemoveCopiedFiles(logPath, progress);
    if (RemoveInstalledDlls(logPath, progress, instance, ask) == PassEnd::kCancelled) return false;
    if (RemoveOleFiles(logPath, progress, instance, ask) == PassEnd::kCancelled) return false;
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

// The log's folder and the recorded created folders that hold it (made
// for the destination), innermost first: they empty only once the
// uninstaller's own files are gone.
std::vector<std::string> FoldersAfterExit(const char* logPath) {
    std::vector<std::string> folders = {LogFolder(logPath)};
    if (folders[0].empty()) return folders;
    LogList created(logPath, "CreatedDirs", "Dir");
    for (int i = created.count() - 1; i >= 0; --i) {
        std::string dir = created[i];
        if (dir.size() < folders[0].size() && folders[0][dir.size()] == '\\' &&
            lstrcmpiA(folders[0].substr(0, dir.size()).c_str(), dir.c_str()) == 0)
            folders.push_back(dir);
    }
    return folders;
}

// No window and no question: the passes, the log, the own files.
int RunQuietly(HINSTANCE instance, const char* logPath) {
    if (!RunPasses(logPath, nullptr, instance, false)) return kUninstallFailed;
    std::vector<std::string> folders = FoldersAfterExit(logPath);
    DeleteFileA(logPath);
    RemoveOwnFilesAfterExit(folders);
    return kUninstallDone;
}

}  // namespace

int RunUninstall(HINSTANCE instance, const char* logPath, bool quiet) {
    if (!*logPath || !LogReadable(logPath)) return kUninstallFailed;
    if (quiet) return RunQuietly(instance, logPath);
    std::string name = AppName(logPath);
    std::string question = "Are you sure you want to uninstall " + name + " ?";
    std::string title = "Uninstall of  " + name;

    InitCommonControls();
    win32::UniqueWindow progress(CreateProgressWindow(instance));
    if (!progress) return kUninstallFailed;
    ShowWindow(progress.get(), SW_SHOW);
    SetWindowTextA(progress.get(), title.c_str());
    SetStatusText(progress.get(), "");

    if (MessageBoxA(progress.get(), question.c_str(), "Uninstall question",
                    MB_ICONWARNING | MB_YESNO) != IDYES)
        return kUninstallFailed;
    if (!RunPasses(logPath, progress.get(), instance, true)) return kUninstallFailed;

    std::vector<std::string> folders = FoldersAfterExit(logPath);
    DeleteFileA(logPath);
    RemoveOwnFilesAfterExit(folders);
    std::string goodbye = "Uninstall of " + name + " ended\n Goodbye !";
    MessageBoxA(progress.get(), goodbye.c_str(), "Uninstall Message ", MB_ICONINFORMATION);
    return kUninstallDone;
}

}  // namespace uninstaller
