#include "installer/registry_import.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "installer/extract.h"
#include "package/bytes.h"
#include "uninstall_log/wendlo.h"
#include "win32/unique_handle.h"
#include "win32/last_error.h"

namespace installer {

namespace {

std::string ReadTextFile(const char* path) {
    std::string text;
    win32::UniqueFile file(fopen(path, "rb"));
    if (!file) return text;
    char block[4096];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file.get())) > 0) text.append(block, got);
    return text;
}

}  // namespace

void ImportRegistryBlock(FILE* stream, const char* appName, HWND statusWindow, uint32_t offset,
                         uint32_t size, const char* installDir, const char* logPath,
                         package::RegistryLogList* notes) {
    std::string fileName = std::string(appName) + ".reg";
    char path[MAX_PATH];
    if (!package::JoinPath(path, sizeof path, installDir, fileName.c_str())) return;
    if (fseek(stream, (long)offset, SEEK_SET) != 0 ||
        !ExtractToFile(stream, size, statusWindow, path)) {
        // The entries cannot be applied: say why. The uninstall
        // registration made before still reaches the log, so that the
        // uninstaller removes it.
        win32::ShowLastError();
        if (logPath) LogRegistryNotes(logPath, *notes);
        return;
    }
    if (logPath) {
        package::NoteRegistryText(ReadTextFile(path), notes);
        LogRegistryNotes(logPath, *notes);
    }
    RunAssociated(fileName.c_str(), installDir, path);
}

void LogRegistryNotes(const char* logPath, const package::RegistryLogList& notes) {
    // A log that holds keys already (an earlier installation into the same
    // folder) numbers these after them, so that each value names its key.
    char** recorded = nullptr;
    int number = 0;
    LogReadList(logPath, "Registry Keys", "RegKey", &recorded, &number);
    LogFreeList(recorded, number);
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
