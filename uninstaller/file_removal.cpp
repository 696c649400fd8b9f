#include "uninstaller/file_removal.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "package/bytes.h"
#include "win32/temp_file.h"
#include "win32/unique_handle.h"

namespace uninstaller {

namespace {

constexpr char kLogLibrary[] = "wendlo.dll";
constexpr char kCopyMarker = '|';
// Between the folders of the copy's tail: no path holds it either.
constexpr char kFolderSeparator = '*';

std::vector<std::string> ownInUse;

bool ModulePath(HMODULE module, char* out) {
    DWORD len = GetModuleFileNameA(module, out, MAX_PATH);
    return len > 0 && len < MAX_PATH;
}

// The file's identity: compared this way, a short name, another case or
// another spelling of the same path still names the same file.
bool FileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION* info) {
    win32::UniqueHandle file(CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr));
    return file && GetFileInformationByHandle(file.get(), info);
}

bool SameFile(const char* a, const char* b) {
    BY_HANDLE_FILE_INFORMATION x, y;
    return FileIdentity(a, &x) && FileIdentity(b, &y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

bool IsOwnFile(const char* path) {
    char own[MAX_PATH];
    HMODULE library = GetModuleHandleA(kLogLibrary);
    return (ModulePath(nullptr, own) && SameFile(path, own)) ||
           (library && ModulePath(library, own) && SameFile(path, own));
}

// A NULL target deletes at the next start; Windows 95/98 fail with
// ERROR_CALL_NOT_IMPLEMENTED.
void DeleteAtRestart(const char* path) { MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

// A folder of its own under the temporary folder: the name of a fresh
// temporary file, which is made into a folder.
bool MakeCopyFolder(char* out) { return win32::NewTempFolder("DRV", out); }

// Copies the module's file into folder under its own name; the copy's path
// in out.
bool CopyModule(HMODULE module, const char* folder, char* out) {
    char from[MAX_PATH];
    if (!ModulePath(module, from)) return false;
    const char* name = strrchr(from, '\\');
    name = name ? name + 1 : from;
    return package::JoinPath(out, MAX_PATH, folder, name) && CopyFileA(from, out, TRUE) != FALSE;
}

// Starts program with tail, passing it a handle on this process it can wait
// on; the handle is inherited, so it stays valid whatever becomes of the id.
bool StartCopy(const char* program, const char* folder, const std::string& paths) {
    HANDLE self = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                         SYNCHRONIZE, TRUE, 0))
        return false;
    win32::UniqueKernelObject selfHandle(self);
    std::string command = std::string("\"") + program + "\" " + kCopyMarker +
                          std::to_string((uintptr_t)self) + paths;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    // The copy's current folder is its own: a current folder cannot be
    // removed on Windows.
    if (!CreateProcessA(program, &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder, &startup,
                        &info))
        return false;
    win32::UniqueKernelObject thread(info.hThread), process(info.hProcess);
    return true;
}

// A program's image stays locked for a moment after its process has ended
// on some systems: in-use failures are tried again for a few seconds.
void DeleteOnceFree(const char* path) {
    for (int attempt = 0; attempt < 50 && !DeleteFileA(path); ++attempt) {
        DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return;
        Sleep(100);
    }
}

std::vector<std::string> SplitTail(const char* tail) {
    std::vector<std::string> fields;
    for (const char* at = tail;;) {
        const char* end = strchr(at, kCopyMarker);
        fields.emplace_back(at, end ? (size_t)(end - at) : strlen(at));
        if (!end) return fields;
        at = end + 1;
    }
}

}  // namespace

void RemoveFile(const char* path) {
    if (DeleteFileA(path)) return;
    // A file held open fails with ERROR_SHARING_VIOLATION; a running program
    // or a loaded library with ERROR_ACCESS_DENIED. Another program's file
    // is still needed by it, and deleting it at the next restart would take
    // it from that program too: it stays.
    DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) return;
    if (IsOwnFile(path)) ownInUse.push_back(path);
}

void RemoveOwnFilesAfterExit(const std::vector<std::string>& folders) {
    if (ownInUse.empty()) return;
    char copyFolder[MAX_PATH], program[MAX_PATH] = {}, library[MAX_PATH] = {};
    if (!MakeCopyFolder(copyFolder)) return;
    HMODULE logLibrary = GetModuleHandleA(kLogLibrary);
    // Tail: marker, handle, the folders, then the files.
    std::string paths(1, kCopyMarker);
    for (size_t i = 0; i < folders.size(); ++i)
        paths += (i ? std::string(1, kFolderSeparator) : "") + folders[i];
    for (const std::string& path : ownInUse) paths += kCopyMarker + path;
    if (CopyModule(nullptr, copyFolder, program) &&
        (!logLibrary || CopyModule(logLibrary, copyFolder, library)) &&
        StartCopy(program, copyFolder, paths))
        return;
    if (program[0]) DeleteFileA(program);
    if (library[0]) DeleteFileA(library);
    RemoveDirectoryA(copyFolder);
}

bool IsRemovalCopyTail(const char* tail) { return tail[0] == kCopyMarker; }

int RunRemovalCopy(const char* tail) {
    std::vector<std::string> fields = SplitTail(tail + 1);
    if (fields.size() >= 2) {
        HANDLE original = (HANDLE)(uintptr_t)strtoul(fields[0].c_str(), nullptr, 10);
        if (WaitForSingleObject(original, INFINITE) == WAIT_OBJECT_0) {
            for (size_t i = 2; i < fields.size(); ++i) DeleteOnceFree(fields[i].c_str());
            for (size_t start = 0; start < fields[1].size();) {
                size_t end = fields[1].find(kFolderSeparator, start);
                if (end == std::string::npos) end = fields[1].size();
                RemoveDirectoryA(fields[1].substr(start, end - start).c_str());
                start = end + 1;
            }
        }
        CloseHandle(original);
    }
    char path[MAX_PATH];
    HMODULE library = GetModuleHandleA(kLogLibrary);
    if (library && ModulePath(library, path)) DeleteAtRestart(path);
    if (ModulePath(nullptr, path)) {
        DeleteAtRestart(path);
        char* slash = strrchr(path, '\\');
        if (slash) {
            *slash = 0;
            DeleteAtRestart(path);  // only an empty folder goes
        }
    }
    return 0;
}

}  // namespace uninstaller
