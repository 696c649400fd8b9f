#include "installer/uninstall_registration.h"

#include <windows.h>

#include <string>

#include "win32/unique_handle.h"

namespace installer {

namespace {

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

void SetText(HKEY key, const char* name, const std::string& text) {
    // The data size counts the terminating NUL.
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   (DWORD)text.size() + 1);
}

}  // namespace

std::string UninstallCommand(const char* destDir) {
    return std::string("\"") + destDir + "\\drevok.exe\" " + destDir + "\\uninst.log";
}

void RegisterUninstall(const char* appName, const char* destDir, package::RegistryLogList* notes) {
    // Without a name the values would land on the Uninstall key itself,
    // which every installed program shares.
    if (!appName[0]) return;
    win32::UniqueHkey uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, uninstall.put()) !=
        ERROR_SUCCESS)
        return;
    std::string command = UninstallCommand(destDir);
    win32::UniqueHkey app;
    if (RegCreateKeyExA(uninstall.get(), appName, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, app.put(), nullptr) == ERROR_SUCCESS) {
        SetText(app.get(), "DisplayName", appName);
        SetText(app.get(), "UninstallString", command);
    }
    size_t key = package::FindOrAddKey(notes, std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey + "\\" + appName);
    (*notes)[key].valueNames.push_back("DisplayName");
    (*notes)[key].valueNames.push_back("UninstallString");
    std::string log = std::string(destDir) + "\\uninst.log";
    WritePrivateProfileStringA("main", "AppName", appName, log.c_str());
}

}  // namespace installer
