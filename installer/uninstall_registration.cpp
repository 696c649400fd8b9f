#include "installer/uninstall_registration.h"

#include <windows.h>

#include <string>

#include "win32/unique_handle.h"

namespace installer {

namespace {


void SetText(HKEY key, const char* name, const std::string& text) {
    // The data size counts the terminating NUL.
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   (DWORD)text.size() + 1);
}

void SetNumber(HKEY key, const char* name, DWORD number) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

bool IsFullPath(const char* path) {
    return (path[0] && path[1] == ':') || (path[0] == '\\' && path[1] == '\\');
}

}  // namespace

std::string UninstallCommand(const char* destDir) {
    return std::string("\"") + destDir + "\\drevok.exe\" " + destDir + "\\uninst.log";
}

std::string QuietUninstallCommand(const char* destDir) {
    return std::string("\"") + destDir + "\\drevok.exe\" /S " + destDir + "\\uninst.log";
}

void RegisterUninstall(const char* appName, const char* destDir, package::RegistryLogList* notes,
                       const UninstallDetails& details) {
    // Without a name the values would land on the Uninstall key itself,
    // which every installed program shares.
    if (!appName[0]) return;
    win32::UniqueHkey uninstall;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, uninstall.put()) !=
        ERROR_SUCCESS)
        return;
    struct Text {
        const char* name;
        std::string text;
    } texts[] = {{"DisplayName", appName},
                 {"UninstallString", UninstallCommand(destDir)},
                 {"QuietUninstallString", QuietUninstallCommand(destDir)},
                 {"InstallLocation", destDir},
                 {"DisplayIcon", std::string(destDir) + "\\drevok.exe"},
                 {"DisplayVersion", details.version}};
    struct Number {
        const char* name;
        DWORD number;
    } numbers[] = {{"EstimatedSize", details.estimatedSizeKb}, {"NoModify", 1}, {"NoRepair", 1}};

    size_t key = package::FindOrAddKey(
        notes, std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey + "\\" + appName);
    win32::UniqueHkey app;
    bool created = RegCreateKeyExA(uninstall.get(), appName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_WRITE, nullptr, app.put(), nullptr) == ERROR_SUCCESS;
    for (const Text& value : texts) {
        if (value.text.empty()) continue;
        if (created) SetText(app.get(), value.name, value.text);
        (*notes)[key].valueNames.push_back(value.name);
    }
    for (const Number& value : numbers) {
        if (created) SetNumber(app.get(), value.name, value.number);
        (*notes)[key].valueNames.push_back(value.name);
    }
    std::string log = std::string(destDir) + "\\uninst.log";
    WritePrivateProfileStringA("main", "AppName", appName, log.c_str());
}

void ResolveDisplayIcon(const char* appName, const char* destDir) {
    if (!appName[0]) return;
    win32::UniqueHkey app;
    std::string subKey = std::string(kUninstallKey) + "\\" + appName;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ | KEY_WRITE, app.put()) !=
        ERROR_SUCCESS)
        return;
    char icon[MAX_PATH] = {};
    DWORD type = 0, size = sizeof icon - 1;
    if (RegQueryValueExA(app.get(), "DisplayIcon", nullptr, &type, (BYTE*)icon, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ || !icon[0] || IsFullPath(icon))
        return;
    SetText(app.get(), "DisplayIcon", std::string(destDir) + "\\" + icon);
}

}  // namespace installer
