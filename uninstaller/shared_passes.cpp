#include "uninstaller/shared_passes.h"

#include <string>

#include "shared_counts/shared_counts.h"
#include "uninstaller/ask_delete.h"
#include "uninstaller/file_removal.h"
#include "uninstaller/log_list.h"
#include "uninstaller/progress_window.h"

namespace uninstaller {

namespace {

using shared_counts::DeleteSharedCount;
using shared_counts::ReadSharedCount;
using shared_counts::WriteSharedCount;

// The state of one pass: the Always flag starts clear in each, unless
// nobody is there to ask.
struct SharedPass {
    HWND progress;
    HINSTANCE instance;
    void (*remove)(const char* path);
    bool always = false;
};

// The shared-file rule for one file; false when the user cancelled.
bool Handle(SharedPass* pass, const char* path) {
    uint32_t count = ReadSharedCount(path);
    PumpMessage(pass->progress);
    // 0 is what a missing or unreadable entry reads as: the file is not known
    // to be unused, so it stays and no entry is written for it.
    if (count == 0) return true;
    if (count > 1) {
        WriteSharedCount(path, count - 1);
        return true;
    }
    if (!pass->always) {
        std::string question = std::string("The file ") + path +
                               " seems not to be  needed anymore as its reference count is zero. "
                               "Do you want to delete it ? ";
        uint32_t answer = AskDelete(pass->instance, pass->progress, question.c_str());
        // A question that could not be shown keeps the file; the high half
        // of that answer is no tick of the Always box.
        if (answer == kQuestionFailed) return true;
        if (answer & kAlwaysTicked) pass->always = true;
        switch (answer & 0xFFFF) {
            case IDCANCEL: return false;
            case IDYES: break;
            default: return true;
        }
    }
    pass->remove(path);
    DeleteSharedCount(path);
    return true;
}

// statusText null keeps the window as the earlier passes left it.
PassEnd RunSharedPass(SharedPass pass, const char* log, const char* section, const char* prefix,
                      const char* statusText) {
    LogList files(log, section, prefix);
    if (files.count() > 0 && statusText) {
        SetStatusText(pass.progress, statusText);
        SetBarPosition(pass.progress, 0);
    }
    for (int i = 0; i < files.count(); ++i)
        if (!Handle(&pass, files[i])) return PassEnd::kCancelled;
    return PassEnd::kCompleted;
}

// Unregistered while the file is still there; deleted even when that failed.
void DeleteServer(const char* path) {
    shared_counts::CallRegistrationEntry(path, 0);
    RemoveFile(path);
}

}  // namespace

PassEnd RemoveInstalledDlls(const char* log, HWND progress, HINSTANCE instance, bool ask) {
    return RunSharedPass({progress, instance, RemoveFile, !ask}, log, "InstalledDLLs", "DLL",
                         "Now removing installed DLLs");
}

PassEnd RemoveOleFiles(const char* log, HWND progress, HINSTANCE instance, bool ask) {
    return RunSharedPass({progress, instance, DeleteServer, !ask}, log, "OLEFiles", "OLE",
                         nullptr);
}

}  // namespace uninstaller
