#include "tools/zekmake/win_host.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <cstring>

#include "builder/build_errors.h"
#include "builder/zek2dat_api.h"
#include "win32/library.h"
#include "win32/temp_file.h"
#include "win32/unique_handle.h"

namespace zekmake {

namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

}  // namespace

bool WinHost::IsFile(const std::string& path) const {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinHost::IsFolder(const std::string& path) const {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> WinHost::Subfolders(const std::string& path) const {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    win32::UniqueFindHandle find(FindFirstFileA((path + "\\*.*").c_str(), &found));
    if (!find) return names;
    do {
        bool dots = strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0;
        if (!dots && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.emplace_back(found.cFileName);
    } while (FindNextFileA(find.get(), &found));
    return names;
}

std::vector<std::string> WinHost::Files(const std::string& path) const {
    // Listed through the wide functions: the ANSI ones show a character the
    // code page lacks as "?" (or a look-alike), hiding the very fault.
    std::vector<std::string> names;
    std::string pattern = path + "\\*";
    int wideLen = MultiByteToWideChar(CP_ACP, 0, pattern.c_str(), -1, nullptr, 0);
    if (wideLen <= 0) return names;
    std::wstring widePattern((size_t)wideLen, L'\0');
    MultiByteToWideChar(CP_ACP, 0, pattern.c_str(), -1, widePattern.data(), wideLen);
    WIN32_FIND_DATAW found;
    win32::UniqueFindHandle find(FindFirstFileW(widePattern.c_str(), &found));
    if (!find) return names;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        char utf8[MAX_PATH * 4] = {};
        if (WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, utf8, sizeof utf8, nullptr,
                                nullptr) > 0)
            names.emplace_back(utf8);
    } while (FindNextFileW(find.get(), &found));
    return names;
}

bool WinHost::ReadFile(const std::string& path, std::string* bytes) const {
    // A licence or readme is a page of text; the bound keeps a wrong path
    // from taking all memory.
    constexpr long long kMaxTextFile = 64ll << 20;
    win32::UniqueFile file(fopen(path.c_str(), "rb"));
    if (!file) return false;
    long long size = _filelengthi64(_fileno(file.get()));
    if (size < 0 || size > kMaxTextFile) return false;
    bytes->assign((size_t)size, '\0');
    return fread(bytes->data(), 1, bytes->size(), file.get()) == bytes->size();
}

bool WinHost::ToAnsi(std::string_view utf8, std::string* ansi) const {
    if (utf8.empty()) return ansi->clear(), true;
    int wideLen = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), (int)utf8.size(),
                                      nullptr, 0);
    if (wideLen <= 0) return false;
    std::wstring wide((size_t)wideLen, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), wide.data(), wideLen);
    // Without best-fit mapping a character the code page lacks is reported,
    // not silently replaced by a look-alike.
    BOOL usedDefault = FALSE;
    int len = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLen, nullptr, 0,
                                  nullptr, &usedDefault);
    if (len <= 0 || usedDefault) return false;
    ansi->assign((size_t)len, '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), wideLen, ansi->data(), len,
                        nullptr, nullptr);
    return true;
}

namespace {

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return len > 0 && len < MAX_PATH ? ParentOf(path) : ".";
}

bool WinHost::FolderOf(const char* path, std::string* folder) const {
    char full[MAX_PATH] = {};
    DWORD len = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    if (len == 0 || len >= MAX_PATH) return false;
    *folder = ParentOf(full);
    return true;
}

std::string WinHost::Join(const std::string& folder, const char* name) const {
    return folder + "\\" + name;
}

bool WinHost::MakeWorkFolder(std::string* path) {
    char name[MAX_PATH];
    if (!win32::NewTempFolder("ZKM", name)) return false;
    *path = name;
    return true;
}

void WinHost::RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    win32::UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &found));
    if (find) {
        do {
            if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, "..")) continue;
            std::string path = folder + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find.get(), &found));
    }
    find.reset();
    RemoveDirectoryA(folder.c_str());
}

bool WinHost::MakeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

bool WinHost::MakeFolders(const std::string& path) {
    DWORD attributes = Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string parent = ParentOf(path);
    if (parent != path && parent != "." && !parent.empty() && parent.back() != ':' &&
        !MakeFolders(parent))
        return false;
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool WinHost::CopyBytes(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

bool WinHost::WriteFile(const std::string& path, const void* data, size_t size) {
    win32::UniqueFile file(fopen(path.c_str(), "wb"));
    return file && fwrite(data, 1, size, file.get()) == size && fclose(file.release()) == 0;
}

unsigned long WinHost::LastError() const { return GetLastError(); }

bool WinHost::BuildPackage(const std::string& bin, const std::string& projectPath,
                           const std::string& packagePath, uint32_t* crc, FILE* err) {
    // zek2dat.dll loads zlib.dll by name; it stands beside zekmake.exe.
    SetDllDirectoryA(bin.c_str());
    win32::UniqueModule zek2dat(LoadLibraryA(Join(bin, BuilderFile()).c_str()));
    auto build = zek2dat ? win32::Export<builder::Zek2DatFn>(zek2dat.get(), builder::kZek2DatExport)
                         : nullptr;
    auto doCrc32 = zek2dat ? win32::Export<builder::DoCrc32Fn>(zek2dat.get(), builder::kDoCrc32Export)
                           : nullptr;
    if (!build || !doCrc32) {
        fprintf(err, "zekmake: %s\\%s cannot be loaded; build the suite again\n", bin.c_str(),
                BuilderFile());
        return false;
    }
    SetLastError(0);
    if (build(projectPath.c_str(), packagePath.c_str()) != 1) {
        DWORD code = GetLastError();
        fprintf(err, "zekmake: the package could not be built: %s\n",
                builder::BuildFailureText(code).c_str());
        return false;
    }
    // DoCrc32 gives 0 when it fails; a package whose real CRC-32 is 0 is
    // refused with it, once in four billion builds.
    *crc = doCrc32(packagePath.c_str());
    if (*crc == 0) {
        fprintf(err, "zekmake: the CRC-32 of the package could not be computed\n");
        return false;
    }
    return true;
}

int MakePackage(const char* descriptionPath, const char* outDir, const char* bin, FILE* out,
                FILE* err, PackageExtras* extras) {
    WinHost shell;
    return MakePackage(shell, descriptionPath, outDir, bin ? std::string(bin) : ProgramFolder(),
                       out, err, extras);
}

}  // namespace zekmake
