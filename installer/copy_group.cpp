#include "installer/copy_group.h"

#include <memory>
#include <new>
#include <string>

#include "installer/copy_plain_file.h"
#include "installer/extract.h"
#include "installer/resource.h"
#include "installer/shared_file_actions.h"
#include "package/bytes.h"
#include "package/file_name.h"
#include "uninstall_log/wendlo.h"
#include "win32/message_box.h"
#include "win32/temp_file.h"

namespace installer {

namespace {

struct InstallAction {
    bool (*install)(const char* tempPath, const char* destination);
    BYTE logKind;
};

InstallAction ActionFor(package::CopyMode copyMode) {
    switch (copyMode) {
        case package::CopyMode::kSelfRegistering:
        case package::CopyMode::kSelfRegisteringToo: return {CopyOleServer, kLogOleFile};
        case package::CopyMode::kSharedDll: return {CopySharedDll, kLogSharedDll};
        default: return {CopyPlainFile, kLogCopiedFile};
    }
}

int ReportCopyError(HWND statusWindow, const std::string& destination) {
    std::string text = "Error while copyying file : \n " + destination;
    win32::ShowMessage(statusWindow, text.c_str(), "Vornel Setup", MB_OK | MB_ICONERROR);
    return 0;
}

package::FileEntry EntryAt(const uint8_t* entries, uint32_t index) {
    package::FileEntry entry;
    package::DecodeFileEntry(entries + (size_t)index * package::kFileEntrySize,
                             package::kFileEntrySize, &entry);
    return entry;
}

// Reads the group's entries in one block after checking that the count fits
// the package, so a damaged count never sizes an allocation, then checks
// every entry. Null when the group is damaged; *refused is then the path to
// name in the copy error.
std::unique_ptr<uint8_t[]> ReadEntries(FILE* stream, const package::GroupHeader& group,
                                       const char* groupDir, std::string* refused) {
    *refused = groupDir;
    uint64_t blockSize = (uint64_t)group.fileCount * package::kFileEntrySize;
    uint64_t left = StreamBytesLeft(stream);
    if (blockSize > left || left - blockSize < group.totalBytes) return nullptr;
    std::unique_ptr<uint8_t[]> entries(new (std::nothrow) uint8_t[blockSize ? blockSize : 1]);
    if (!entries || fread(entries.get(), 1, blockSize, stream) != blockSize) return nullptr;

    uint64_t total = 0;
    for (uint32_t i = 0; i < group.fileCount; ++i) {
        package::FileEntry entry = EntryAt(entries.get(), i);
        char destination[MAX_PATH];
        if (!groupDir[0] || !package::IsPlainName(entry.name) ||
            !package::JoinPath(destination, sizeof destination, groupDir, entry.name)) {
            *refused = std::string(groupDir) + entry.name;
            return nullptr;
        }
        total += entry.size;
    }
    // The sequence skips a group by its total; the entries must agree with it.
    if (total != group.totalBytes) return nullptr;
    return entries;
}

}  // namespace

int CopyGroup(const package::GroupHeader& group, HWND statusWindow, FILE* stream,
              const char* groupDir, const char* logPath) {
    std::string refused;
    std::unique_ptr<uint8_t[]> entries = ReadEntries(stream, group, groupDir, &refused);
    if (!entries) return ReportCopyError(statusWindow, refused);
    InstallAction action = ActionFor(package::CopyModeOf(group.flags));

    // The file line changes with the bar, at its pace: one text per file
    // would cost as much as the moves it saves.
    win32::ProgressDisplay display;
    display.Attach(GetDlgItem(statusWindow, IDC_STATUS_PROGRESS),
                   GetDlgItem(statusWindow, IDC_STATUS_FILE));
    char tempPath[MAX_PATH] = {};
    for (uint32_t i = 0; i < group.fileCount; ++i) {
        package::FileEntry entry = EntryAt(entries.get(), i);
        char destination[MAX_PATH];
        package::JoinPath(destination, sizeof destination, groupDir, entry.name);
        if (logPath) LogAddEntry(logPath, destination, action.logKind);
        display.SetText(destination);

        // A plain file that is not there yet is written in its place at once:
        // it replaces nothing, so a failure loses nothing (the part written
        // is removed), and the way through a temporary file would write each
        // byte twice more. When it cannot be created, nothing has been read
        // and the temporary file's way below tells the outcome.
        if (action.install == CopyPlainFile && !win32::PathExists(destination)) {
            long before = ftell(stream);
            if (ExtractToFileShowing(stream, entry.size, &display, destination)) continue;
            if (ftell(stream) != before) {
                display.Flush();
                return ReportCopyError(statusWindow, destination);
            }
        }
        // A temporary file that outlived its action waits for a replacement
        // at the next start and must stay as it is: take a fresh one.
        if (!tempPath[0] || win32::PathExists(tempPath)) win32::NewTempFileName("ZKS", tempPath);
        if (!ExtractToFileShowing(stream, entry.size, &display, tempPath)) {
            if (tempPath[0]) DeleteFileA(tempPath);
            // The error names the file the line shows.
            display.Flush();
            return ReportCopyError(statusWindow, destination);
        }
        action.install(tempPath, destination);
    }
    // The last file stays named on the line after its group.
    display.Flush();
    return 1;
}

}  // namespace installer
