#include "tests/support/win_test_dir.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace testpkg {

TempDir::TempDir() {
    static LONG counter = 0;
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    for (;;) {
        path_ = std::string(base) + "suite-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(InterlockedIncrement(&counter));
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
    }
}

TempDir::~TempDir() { RemoveTree(path_); }

std::string TempDir::MakeFolder(const std::string& relativePath) const {
    std::string path = path_;
    size_t start = 0;
    for (;;) {
        size_t end = relativePath.find('\\', start);
        path += '\\';
        path.append(relativePath, start, end - start);
        CreateDirectoryA(path.c_str(), nullptr);
        if (end == std::string::npos) return path;
        start = end + 1;
    }
}

std::string TempDir::MakeFile(const std::string& relativePath, const std::vector<uint8_t>& data) const {
    size_t slash = relativePath.rfind('\\');
    if (slash != std::string::npos) MakeFolder(relativePath.substr(0, slash));
    std::string path = *this / relativePath;
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return "";
    bool ok = fwrite(data.data(), 1, data.size(), file) == data.size();
    return fclose(file) == 0 && ok ? path : "";
}

TmpOverride::TmpOverride() {
    char old[MAX_PATH] = {};
    GetEnvironmentVariableA("TMP", old, MAX_PATH);
    old_ = old;
}

TmpOverride::~TmpOverride() { SetEnvironmentVariableA("TMP", old_.c_str()); }

void TmpOverride::Set(const std::string& path) { SetEnvironmentVariableA("TMP", path.c_str()); }

InstallFolders::InstallFolders() {
    CreateDirectoryA(tempDir_.c_str(), nullptr);
    CreateDirectoryA(appDir_.c_str(), nullptr);
    tmp_.Set(tempDir_);
}

namespace {

struct WindowSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchOwnWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    if (owner == GetCurrentProcessId() && strcmp(text, search->caption) == 0) search->found = window;
    return search->found == nullptr;
}

}  // namespace

HWND FindOwnWindow(const char* caption) {
    WindowSearch search = {caption, nullptr};
    EnumWindows(MatchOwnWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    return path;
}

std::string ShellLinkTarget(const std::string& linkPath) {
    CoInitialize(nullptr);
    std::string target;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        WCHAR wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            char path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(wide, STGM_READ)) &&
                SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
                target = path;
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}

bool RemoveTree(const std::string& path) {
    for (const std::string& name : ListDir(path)) {
        std::string child = path + "\\" + name;
        DWORD attributes = GetFileAttributesA(child.c_str());
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            RemoveTree(child);
        else
            DeleteFileA(child.c_str());
    }
    return RemoveDirectoryA(path.c_str()) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WaitUntilGone(const std::string& path, DWORD timeoutMs) {
    std::string parent = path.substr(0, path.find_last_of('\\'));
    HANDLE change = FindFirstChangeNotificationA(
        parent.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
    if (change == INVALID_HANDLE_VALUE) return !FileExists(path);
    DWORD start = GetTickCount();
    bool gone;
    // The short wait only guards against a change that came before the
    // watch was in place.
    while (!(gone = !FileExists(path)) && GetTickCount() - start < timeoutMs) {
        if (WaitForSingleObject(change, 100) == WAIT_OBJECT_0) FindNextChangeNotification(change);
    }
    FindCloseChangeNotification(change);
    return gone;
}

}  // namespace testpkg
