#include "installer/registry_import.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "uninstall_log/wendlo.h"
#include "win32/last_error.h"

namespace installer {

void LogRegistryNotes(const char* logPath, const package::RegistryLogList& notes) {
    int number = 0;
    for (const package::RegistryKeyNotes& key : notes) {
        LogAddRegKey(logPath, key.key.c_str());
        ++number;
        for (const std::string& name : key.valueNames) LogAddRegValue(logPath, number, name.c_str());
    }
}

void RunAssociated(const char* fileName, const char* dir, const char* docPath) {
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(docPath, shortPath, MAX_PATH);
    char program[MAX_PATH] = {};
    FindExecutableA(fileName, dir, program);
    // The program path is quoted: it may lie under a folder with a space.
    std::string commandLine = std::string("\"") + program + "\" " + shortPath;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!program[0] || !CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                       NORMAL_PRIORITY_CLASS, nullptr, dir, &startup, &info)) {
        if (!program[0]) SetLastError(ERROR_NO_ASSOCIATION);
        win32::ShowLastError();
        return;
    }
    CloseHandle(info.hThread);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    if (!DeleteFileA(docPath)) win32::ShowLastError();
}

}  // namespace installer
