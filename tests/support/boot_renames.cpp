#include "tests/support/boot_renames.h"

#include <windows.h>

namespace testpkg {

namespace {

constexpr char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPending[] = "PendingFileRenameOperations";

std::vector<std::string> ReadMultiString() {
    std::vector<std::string> items;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return items;
    DWORD size = 0;
    if (RegQueryValueExA(key, kPending, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size + 2, '\0');
        if (RegQueryValueExA(key, kPending, nullptr, nullptr, (BYTE*)data.data(), &size) ==
            ERROR_SUCCESS) {
            // Empty strings stand for "delete": keep them to keep the pairs.
            for (size_t at = 0; at < size;) {
                std::string item = data.c_str() + at;
                at += item.size() + 1;
                if (at <= size) items.push_back(item);
            }
            if (!items.empty() && items.back().empty() && items.size() % 2 == 1) items.pop_back();
        }
    }
    RegCloseKey(key);
    return items;
}

}  // namespace

std::string WininitPath() {
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\wininit.ini";
}

std::vector<std::string> WininitRenames() {
    std::vector<std::string> lines;
    std::string section(32768, '\0');
    DWORD len = GetPrivateProfileSectionA("rename", section.data(), (DWORD)section.size(),
                                          WininitPath().c_str());
    for (size_t at = 0; at < len && section[at];) {
        lines.emplace_back(section.c_str() + at);
        at += lines.back().size() + 1;
    }
    return lines;
}

void RemoveWininitRename(const std::string& key) {
    WritePrivateProfileStringA("rename", key.c_str(), nullptr, WininitPath().c_str());
}

std::vector<std::pair<std::string, std::string>> PendingRenames() {
    std::vector<std::string> items = ReadMultiString();
    std::vector<std::pair<std::string, std::string>> pairs;
    for (size_t i = 0; i + 1 < items.size(); i += 2) pairs.emplace_back(items[i], items[i + 1]);
    return pairs;
}

void RemovePendingRenames(const std::string& text) {
    std::string kept;
    bool removed = false;
    for (const auto& [source, destination] : PendingRenames()) {
        if (source.find(text) != std::string::npos || destination.find(text) != std::string::npos) {
            removed = true;
            continue;
        }
        kept += source + '\0' + destination + '\0';
    }
    if (!removed) return;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (kept.empty())
        RegDeleteValueA(key, kPending);
    else
        RegSetValueExA(key, kPending, 0, REG_MULTI_SZ, (const BYTE*)kept.c_str(),
                       (DWORD)kept.size() + 1);
    RegCloseKey(key);
}

}  // namespace testpkg
