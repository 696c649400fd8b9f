#include "tools/zekmake/win_host.h"

#include <windows.h>

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
