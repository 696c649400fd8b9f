#include "installer/shared_file_actions.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "installer/copy_plain_file.h"
#include "package/bytes.h"
#include "shared_counts/shared_counts.h"
#include "win32/unique_handle.h"

namespace installer {

namespace {

constexpr char kRunOnce[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Counts one more use of destination before anything decides whether the
// new copy goes in: an installation that keeps a newer installed copy
// still uses it. True when the file is installed.
bool CountUse(const char* destination) {
    bool installed = shared_counts::FileExists(destination);
    shared_counts::WriteSharedCount(destination,
                                    installed ? shared_counts::ReadSharedCount(destination) + 1 : 1);
    return installed;
}

// The installed copy stays when the version test refuses the new one,
// which then goes.
bool KeepsInstalledCopy(bool installed, const char* tempPath, const char* destination) {
    if (!installed || shared_counts::IsReplaceable(tempPath, destination)) return false;
    DeleteFileA(tempPath);
    return true;
}

// Has Windows register destination at its next start, after the pending
// replacement has put the new copy there. Both paths are quoted: the
// destination and the temporary folder commonly hold spaces.
bool DeferRegistration(const char* destination) {
    char tempDir[MAX_PATH] = {};
    char batch[MAX_PATH];
    DWORD len = GetTempPathA(MAX_PATH, tempDir);
    if (len == 0 || len >= MAX_PATH || !package::JoinPath(batch, sizeof batch, tempDir, "reg_oles.bat"))
        return false;
    {
        // Text mode: each line ends in CR LF, as a batch file's should.
        win32::UniqueFile file(fopen(batch, "a"));
        if (!file || fprintf(file.get(), "regsvr32 /s /c \"%s\"\n", destination) < 0) return false;
    }
    // Created if missing: without the key the batch file would never run.
    win32::UniqueHkey key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunOnce, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS)
        return false;
    std::string command = std::string("\"") + batch + "\"";
    return RegSetValueA(key.get(), nullptr, REG_SZ, command.c_str(), (DWORD)command.size()) ==
           ERROR_SUCCESS;
}

}  // namespace

bool CopySharedDll(const char* tempPath, const char* destination) {
    if (KeepsInstalledCopy(CountUse(destination), tempPath, destination)) return true;
    return CopyPlainFile(tempPath, destination);
}

bool CopyOleServer(const char* tempPath, const char* destination) {
    bool installed = CountUse(destination);
    if (KeepsInstalledCopy(installed, tempPath, destination)) return true;
    if (installed) shared_counts::CallRegistrationEntry(destination, 0);
    Placement placement = PlaceFile(tempPath, destination);
    if (placement == Placement::kScheduled) return DeferRegistration(destination);
    // Whatever stands at the destination now is registered: the new copy,
    // or the installed one that could be neither replaced nor scheduled
    // and was unregistered above.
    shared_counts::CallRegistrationEntry(destination, 1);
    return placement == Placement::kCopied;
}

}  // namespace installer
