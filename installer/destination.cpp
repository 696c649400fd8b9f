#include "installer/destination.h"

#include <windows.h>

#include "installer/command_line.h"
#include "installer/uninstall_registration.h"
#include "package/bytes.h"
#include "win32/unique_handle.h"

namespace installer {

namespace {

// A text value of key, "" when it is missing or not a text.
std::string ReadText(HKEY key, const char* name) {
    char data[MAX_PATH * 2] = {};
    DWORD type = 0, size = sizeof data - 1;
    if (RegQueryValueExA(key, name, nullptr, &type, (BYTE*)data, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return "";
    return data;
}

// "ProgramFilesDir" of the machine, "" when it cannot be read.
std::string ProgramFilesDir() {
    win32::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ, key.put()) != ERROR_SUCCESS)
        return "";
    return ReadText(key.get(), "ProgramFilesDir");
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 3 && path.back() == '\\') path.pop_back();
    return path;
}

}  // namespace

std::string RegisteredFolder(const char* appName) {
    if (!appName[0]) return "";
    win32::UniqueHkey key;
    std::string subKey = std::string(kUninstallKey) + "\\" + appName;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return "";
    // Entries made before InstallLocation was written name the folder only
    // in their command.
    std::string folder = ReadText(key.get(), "InstallLocation");
    if (folder.empty()) folder = FolderOfUninstallCommand(ReadText(key.get(), "UninstallString"));
    if (folder.empty()) return "";
    DWORD attributes = GetFileAttributesA((folder + "\\uninst.log").c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
    return folder;
}

std::string DefaultDestination(const char* appName, const std::string& registered) {
    if (!registered.empty()) return registered;
    std::string base = ProgramFilesDir();
    if (base.empty()) base = "c:\\";
    char destination[2 * MAX_PATH];
    package::JoinPath(destination, sizeof destination, base.c_str(), appName);
    return destination;
}

bool SameFolder(const std::string& a, const std::string& b) {
    return lstrcmpiA(WithoutTrailingSlash(a).c_str(), WithoutTrailingSlash(b).c_str()) == 0;
}

std::string OtherFolderQuestion(const std::string& registered) {
    return "An installation of this application is registered in " + registered +
           ". Installed into another folder, that one can no longer be removed from the list of "
           "installed programs.\n Do you want to go on ?";
}

bool MakeFolderPath(const std::string& path, std::vector<std::string>* created) {
    std::vector<std::string> missing;
    for (std::string level = WithoutTrailingSlash(path);
         GetFileAttributesA(level.c_str()) == INVALID_FILE_ATTRIBUTES;) {
        missing.push_back(level);
        size_t slash = level.find_last_of('\\');
        if (slash == std::string::npos || slash == 0) break;
        level = WithoutTrailingSlash(level.substr(0, slash + 1));
    }
    for (size_t i = missing.size(); i-- > 0;) {
        if (!CreateDirectoryA(missing[i].c_str(), nullptr)) return false;
        created->push_back(missing[i]);
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace installer
