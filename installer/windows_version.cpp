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
    }
    return 0;
}

bool CheckWindowsVersion(uint8_t allowedSystems) {
    OSVERSIONINFOA info = {sizeof info};
    if (!GetVersionExA(&info)) return false;
    uint8_t flag = SystemFlagOf(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion);
    return (allowedSystems & flag) != 0;
}

}  // namespace installer
