#include "installer/registry_import.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "installer/windows_version.h"
#include "package/bytes.h"
#include "uninstall_log/wendlo.h"
#include "win32/last_error.h"
#include "win32/registry_root.h"
#include "win32/unique_handle.h"

namespace installer {

namespace {

using win32::RootHandle;

bool ReadBlock(FILE* stream, uint32_t offset, uint32_t size, std::string* text) {
    if (size > package::kMaxRegistryTextSize || fseek(stream, (long)offset, SEEK_SET) != 0)
        return false;
    text->resize(size);
    return fread(text->data(), 1, size, stream) == size;
}

bool KeyExists(const std::string& keyText) {
    uint32_t root;
    std::string subKey;
    if (!package::SplitRegistryKey(keyText, &root, &subKey)) return true;  // never created
    win32::UniqueHkey key;
    return RegOpenKeyExA(RootHandle(root), subKey.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool WriteWholeFile(const char* path, const std::string& text) {
    win32::UniqueFile file(fopen(path, "wb"));
    return file && fwrite(text.data(), 1, text.size(), file.get()) == text.size() &&
           fclose(file.release()) == 0;
}

// The import of the systems before Vista: the text as installDir\<appName>.reg,
// opened with the program associated with .reg files. False when that cannot
// be done (a path too long, a file that cannot be written, no program, one
// that does not start); the file is then gone too.
bool ImportWithAssociatedProgram(const char* appName, const char* installDir,
                                 const std::string& text) {
    std::string fileName = std::string(appName) + ".reg";
    char path[MAX_PATH];
    if (!package::JoinPath(path, sizeof path, installDir, fileName.c_str())) return false;
    if (WriteWholeFile(path, text) && RunAssociated(fileName.c_str(), installDir, path)) return true;
    DeleteFileA(path);
    return false;
}

LONG WriteSection(const package::RegistrySection& section) {
    uint32_t root;
    std::string subKey;
    if (!package::SplitRegistryKey(section.key, &root, &subKey)) return ERROR_SUCCESS;
    if (section.remove) {
        LONG status = SHDeleteKeyA(RootHandle(root), subKey.c_str());
        return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
    }
    // A 32-bit program's own view is the 32-bit one on 64-bit Windows; no
    // view flag is passed, as Windows 2000 refuses them.
    win32::UniqueHkey key;
    LONG status = RegCreateKeyExA(RootHandle(root), subKey.c_str(), 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    LONG first = ERROR_SUCCESS;
    for (const package::RegistryValue& value : section.values) {
        const char* name = value.isDefault ? nullptr : value.name.c_str();
        if (value.kind == package::RegistryValue::Kind::kSet)
            status = RegSetValueExA(key.get(), name, 0, value.type, value.data.data(),
                                    (DWORD)value.data.size());
        else if (value.kind == package::RegistryValue::Kind::kDelete)
            status = RegDeleteValueA(key.get(), name);
        else
            continue;
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;  // nothing to delete
        if (first == ERROR_SUCCESS) first = status;
    }
    return first;
}

}  // namespace

void ImportRegistryBlock(FILE* stream, const char* appName, uint32_t offset, uint32_t size,
                         const char* installDir, const char* logPath,
                         package::RegistryLogList* notes, bool associatedProgram) {
    std::string text;
    if (!ReadBlock(stream, offset, size, &text)) {
        // The uninstall registration made before still reaches the log, so
        // that the uninstaller removes it.
        SetLastError(ERROR_INVALID_DATA);
        win32::ShowLastError();
        if (logPath) LogRegistryNotes(logPath, *notes);
        return;
    }
    std::vector<package::RegistrySection> sections = package::ParseRegistryText(text);
    NoteRegistryImport(sections, notes);
    if (logPath) LogRegistryNotes(logPath, *notes);
    // Today's registry editor asks its own question, and on 64-bit Windows
    // writes where a 32-bit uninstaller never looks: from Vista on, and
    // wherever no program takes .reg files, the entries are written here.
    if (IsNt6OrLater() || !associatedProgram ||
        !ImportWithAssociatedProgram(appName, installDir, text))
        WriteRegistrySections(sections);
}

void NoteRegistryImport(const std::vector<package::RegistrySection>& sections,
                        package::RegistryLogList* notes) {
    for (const package::RegistrySection& section : sections) {
        if (!section.remove) {
            for (const std::string& parent : package::ParentKeys(section.key))
                if (!KeyExists(parent)) package::FindOrAddKey(notes, parent);
        }
        package::NoteRegistrySection(section, notes);
    }
}

bool WriteRegistrySections(const std::vector<package::RegistrySection>& sections) {
    LONG first = ERROR_SUCCESS;
    for (const package::RegistrySection& section : sections) {
        LONG status = WriteSection(section);
        if (first == ERROR_SUCCESS) first = status;
    }
    if (first == ERROR_SUCCESS) return true;
    SetLastError((DWORD)first);
    win32::ShowLastError();
    return false;
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

bool RunAssociated(const char* fileName, const char* dir, const char* docPath) {
    char shortPath[MAX_PATH] = {};
    if (!GetShortPathNameA(docPath, shortPath, MAX_PATH)) package::CopyText(shortPath, MAX_PATH, docPath);
    char program[MAX_PATH] = {};
    if ((INT_PTR)FindExecutableA(fileName, dir, program) <= 32 || !program[0]) return false;
    // Both paths are quoted: either may hold a space (a volume without
    // short names gives the long path back).
    std::string commandLine = std::string("\"") + program + "\" \"" + shortPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS,
                        nullptr, dir, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    if (!DeleteFileA(docPath)) win32::ShowLastError();
    return true;
}

}  // namespace installer
