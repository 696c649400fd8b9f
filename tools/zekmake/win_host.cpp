#include "tools/zekmake/win_host.h"

#include <windows.h>

#include <io.h>

#include <cstdio>
#include <cstring>

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

}  // namespace zekmake
