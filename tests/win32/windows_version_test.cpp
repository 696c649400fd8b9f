// The Windows versions a package's allowed-systems flags stand for.
#include <gtest/gtest.h>

#include <windows.h>

#include "installer/windows_version.h"

TEST(WindowsVersion, EachVersionMapsToItsFlagAndOthersToNone) {
    struct Case {
        DWORD platform, major, minor;
        uint8_t flag;
    } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 0, 0x01},   // 95
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x02},  // 98
        {VER_PLATFORM_WIN32_WINDOWS, 4, 90, 0x04},  // Me
        {VER_PLATFORM_WIN32_WINDOWS, 4, 3, 0},
        {VER_PLATFORM_WIN32_WINDOWS, 4, 91, 0},
        {VER_PLATFORM_WIN32_NT, 3, 51, 0x10},
        {VER_PLATFORM_WIN32_NT, 4, 0, 0x10},
        {VER_PLATFORM_WIN32_NT, 5, 0, 0x20},  // 2000
        {VER_PLATFORM_WIN32_NT, 5, 2, 0x20},
        {VER_PLATFORM_WIN32_NT, 6, 0, 0x40},  // Vista
        {VER_PLATFORM_WIN32_NT, 6, 2, 0x40},  // 8, and 10 or 11 without a manifest
        {VER_PLATFORM_WIN32_NT, 6, 3, 0x40},
        {VER_PLATFORM_WIN32_NT, 10, 0, 0x40},
        {VER_PLATFORM_WIN32_NT, 11, 0, 0x40},
        {VER_PLATFORM_WIN32s, 3, 10, 0},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].flag,
                  installer::SystemFlagOf(cases[i].platform, cases[i].major, cases[i].minor));
    }
}

// The test prefix reports Windows XP, NT 5.1.
TEST(WindowsVersion, RunningVersionNeedsItsOwnFlag) {
    EXPECT_TRUE(installer::CheckWindowsVersion(0x20));
    EXPECT_TRUE(installer::CheckWindowsVersion(0xFF));
    EXPECT_FALSE(installer::CheckWindowsVersion(0xFF & ~0x20));
    EXPECT_FALSE(installer::CheckWindowsVersion(0x40));
    EXPECT_FALSE(installer::CheckWindowsVersion(0));
}
