#include "uninstaller/plain_passes.h"

#include "uninstaller/file_removal.h"
#include "uninstaller/log_list.h"
#include "uninstaller/progress_window.h"

namespace uninstaller {

namespace {

void RemoveEach(const LogList& list, HWND progress, const char* statusText,
                void (*remove)(const char* path)) {
    if (list.count() == 0) return;
    SetStatusText(progress, statusText);
    SetBarPosition(progress, 0);
    unsigned count = (unsigned)list.count();
    for (unsigned i = 0; i < count; ++i) {
        remove(list[(int)i]);
        SetBarPosition(progress, i * 100 / count);
        PumpMessage(progress);
    }
    ShowLastPosition(progress);
}

void RemoveFolder(const char* path) { RemoveDirectoryA(path); }

}  // namespace

void RemoveLinks(const char* log, HWND progress) {
    RemoveEach(LogList(log, "ShellLinks", "Link"), progress, "Now removing links...", RemoveFile);
}

void RemoveCopiedFiles(const char* log, HWND progress) {
    RemoveEach(LogList(log, "CopiedFiles", "File"), progress, "Now removing copied files...",
               RemoveFile);
}

void RemoveCreatedDirs(const char* log, HWND progress) {
    LogList dirs(log, "CreatedDirs", "Dir");
    RemoveEach(dirs, progress, "Now removing created directories...", RemoveFolder);
    for (int i = dirs.count() - 1; i >= 0; --i) RemoveDirectoryA(dirs[i]);
}

}  // namespace uninstaller
