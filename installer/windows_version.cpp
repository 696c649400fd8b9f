#include "installer/windows_version.h"

namespace installer {

uint8_t SystemFlagOf(DWORD platformId, DWORD majorVersion, DWORD minorVersion) {
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) {
        switch (minorVersion) {
            case 0:
                return 0x01;
            case 10:
                return 0x02;
            case 90:
                return 0x04;
            default:
                return 0;
        }
    }
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (majorVersion == 3 || majorVersion == 4) return 0x10;
        if (majorVersion == 5) return 0x20;
        // Vista and every later version, whatever GetVersionExA reports:
        // without a manifest naming them, 8.1, 10 and 11 say 6.2.
        if (majorVersion >= 6) return 0x40;
    }
    return 0;
}

namespace {

uint8_t RunningSystemFlag() {
    OSVERSIONINFOA info = {sizeof info};
    if (!GetVersionExA(&info)) return 0;
    return SystemFlagOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
}

}  // namespace

bool CheckWindowsVersion(uint8_t allowedSystems) { return (allowedSystems & RunningSystemFlag()) != 0; }

bool IsNt6OrLater() { return RunningSystemFlag() == 0x40; }

}  // namespace installer
