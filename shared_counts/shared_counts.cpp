#include "shared_counts/shared_counts.h"

#include <ole2.h>

#include <memory>

#include "win32/unique_handle.h"

namespace shared_counts {

namespace {

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

}  // namespace

uint32_t ReadSharedCount(const char* path) {
    win32::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    DWORD size = sizeof count;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), path, nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) !=
            ERROR_SUCCESS ||
        size != sizeof count)
        return 0;
    return count;
}

bool WriteSharedCount(const char* path, uint32_t count) {
    win32::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_WRITE, key.put()) != ERROR_SUCCESS)
        return false;
    DWORD data = count;
    return RegSetValueExA(key.get(), path, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool DeleteSharedCount(const char* path) {
    win32::UniqueHkey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_WRITE, key.put()) != ERROR_SUCCESS)
        return false;
    return RegDeleteValueA(key.get(), path) == ERROR_SUCCESS;
}

bool FileExists(const char* path) {
    // Not an open for reading: a program may hold the file without sharing,
    // and an installed file in use must still count as installed.
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileVersion(const char* path, Version* version) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return false;
    auto data = std::make_unique<char[]>(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (!GetFileVersionInfoA(path, 0, size, data.get()) ||
        !VerQueryValueA(data.get(), "\\", reinterpret_cast<void**>(&info), &infoSize) || !info ||
        infoSize < sizeof *info)
        return false;
    version->ms = info->dwFileVersionMS;
    version->ls = info->dwFileVersionLS;
    return true;
}

bool IsReplaceable(const char* newFile, const char* installedFile) {
    Version fresh, installed;
    bool freshHasVersion = FileVersion(newFile, &fresh);
    bool installedHasVersion = FileVersion(installedFile, &installed);
    if (!installedHasVersion) return true;
    // An unversioned copy cannot show that it is not older.
    if (!freshHasVersion) return false;
    if (installed.ms != fresh.ms) return installed.ms < fresh.ms;
    return installed.ls <= fresh.ls;
}

bool CallRegistrationEntry(const char* path, int mode) {
    OleInitialize(nullptr);
    bool called = false;
    {
        win32::UniqueModule server(LoadLibraryA(path));
        if (server) {
            using Entry = HRESULT(STDAPICALLTYPE*)();
            auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(
                server.get(), mode == 1 ? "DllRegisterServer" : "DllUnregisterServer")));
            if (entry) {
                entry();
                called = true;
            }
        }
    }
    OleUninitialize();
    return called;
}

}  // namespace shared_counts
