#include "tests/support/boot_renames.h"

#include <windows.h>
#include <winternl.h>

extern "C" NTSTATUS NTAPI NtOpenKey(PHANDLE key, ACCESS_MASK access, POBJECT_ATTRIBUTES attributes);

namespace testpkg {

namespace {

constexpr char kPending[] = "PendingFileRenameOperations";

// The Session Manager key of the real machine key. MoveFileExA writes there
// even while a test has given its process a private HKEY_LOCAL_MACHINE
// (private_registry.h), which RegOpenKeyExA would open instead.
HKEY OpenSessionManager(ACCESS_MASK access) {
    UNICODE_STRING name;
    RtlInitUnicodeString(&name, L"\\Registry\\Machine\\System\\CurrentControlSet\\Control\\Session Manager");
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &name, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    HANDLE key = nullptr;
    return NtOpenKey(&key, access, &attributes) == 0 ? (HKEY)key : nullptr;
}

std::vector<std::string> ReadMultiString() {
    std::vector<std::string> items;
    HKEY key = OpenSessionManager(KEY_READ);
    if (!key) return items;
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
    HKEY key = OpenSessionManager(KEY_SET_VALUE);
    if (!key) return;
    if (kept.empty())
        RegDeleteValueA(key, kPending);
    else
        RegSetValueExA(key, kPending, 0, REG_MULTI_SZ, (const BYTE*)kept.c_str(),
                       (DWORD)kept.size() + 1);
    RegCloseKey(key);
}

void CarryOutPendingRenames(const std::string& text) {
    for (const auto& [source, destination] : PendingRenames()) {
        if (source.find(text) == std::string::npos) continue;
        std::string from = source.substr(source.rfind("\\??\\", 0) == 0 ? 4 : 0);
        if (destination.empty()) {
            if (!DeleteFileA(from.c_str())) RemoveDirectoryA(from.c_str());
            continue;
        }
        std::string to = destination.substr(destination[0] == '!' ? 1 : 0);
        to = to.substr(to.rfind("\\??\\", 0) == 0 ? 4 : 0);
        MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    RemovePendingRenames(text);
}

}  // namespace testpkg
