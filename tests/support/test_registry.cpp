#include "tests/support/test_registry.h"

namespace testpkg {

const char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

namespace {

bool SetValue(HKEY root, const std::string& subKey, const char* name, DWORD type, const void* data,
              DWORD size) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

}  // namespace

bool SetStringValue(HKEY root, const std::string& subKey, const char* name, const std::string& data) {
    return SetValue(root, subKey, name, REG_SZ, data.c_str(), (DWORD)data.size() + 1);
}

bool SetDwordValue(HKEY root, const std::string& subKey, const char* name, DWORD data) {
    return SetValue(root, subKey, name, REG_DWORD, &data, sizeof data);
}

bool KeyExists(HKEY root, const std::string& subKey) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& subKey) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        char name[1024];
        DWORD size = sizeof name;
        if (RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, size);
    }
    RegCloseKey(key);
    return names;
}

long long DwordValue(HKEY root, const std::string& subKey, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    DWORD data = 0, size = sizeof data;
    LONG status = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && size == sizeof data ? (long long)data : -1;
}

const std::vector<std::string>& RegistrationValueNames() {
    static const std::vector<std::string> names = {
        "DisplayName", "UninstallString", "QuietUninstallString", "InstallLocation", "DisplayIcon",
        "DisplayVersion", "EstimatedSize", "NoModify", "NoRepair"};
    return names;
}

}  // namespace testpkg
