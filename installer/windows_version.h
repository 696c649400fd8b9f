// Which Windows versions a package may be installed on.
#pragma once

#include <windows.h>

#include <cstdint>

namespace installer {

// The bit of a package's allowed-systems flags that stands for this version:
// 0x01 Windows 95, 0x02 98, 0x04 Me, 0x10 NT 3 and 4, 0x20 NT 5 (2000, XP),
// 0x40 NT 6 and later (Vista to 11); 0 for every other version, which no
// package allows.
uint8_t SystemFlagOf(DWORD platformId, DWORD majorVersion, DWORD minorVersion);

// True when the running Windows has its bit set in allowedSystems.
bool CheckWindowsVersion(uint8_t allowedSystems);

// True on Windows Vista and every later version.
bool IsNt6OrLater();

}  // namespace installer
