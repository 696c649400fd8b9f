#include "installer/reboot.h"

#include <windows.h>

#include <cstdio>

#include "win32/unique_handle.h"

namespace installer {

namespace {

// Without SE_SHUTDOWN_NAME enabled in the process's token, ExitWindowsEx fails
// on Windows NT; Windows 95 has no tokens and needs nothing.
void EnableShutdownPrivilege() {
    win32::UniqueKernelObject token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.put()))
        return;
    TOKEN_PRIVILEGES privileges = {1};
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

void RequestReboot() {
    char recordPath[MAX_PATH] = {};
    DWORD len = GetEnvironmentVariableA(kRebootRecordVariable, recordPath, sizeof recordPath);
    if (len > 0 && len < sizeof recordPath) {
        win32::UniqueFile record(fopen(recordPath, "wb"));
        if (record) fprintf(record.get(), "ExitWindowsEx %u %u\n", (unsigned)EWX_REBOOT, 0u);
        return;
    }
    EnableShutdownPrivilege();
    ExitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace installer
