// The Windows versions a package's allowed-systems flags stand for.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

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

// What today's Windows reads from the shipped files themselves: both
// programs ask for an administrator and name the systems they were tested
// on; every program and DLL tells its version.
TEST(ShippedFiles, CarryTheirManifestAndVersion) {
    const std::string bin = SUITE_BIN_DIR;
    for (const char* name : {"setup.exe", "drevok.exe"}) {
        SCOPED_TRACE(name);
        HMODULE module = LoadLibraryExA((bin + "\\" + name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
        ASSERT_TRUE(found);
        std::string manifest((const char*)LockResource(LoadResource(module, found)),
                             SizeofResource(module, found));
        FreeLibrary(module);
        EXPECT_NE(std::string::npos, manifest.find("level=\"requireAdministrator\""));
        for (const char* os : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                               "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                               "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
            EXPECT_NE(std::string::npos, manifest.find(std::string("{") + os + "}")) << os;
        EXPECT_EQ(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
    }
    for (const char* name : {"setup.exe", "drevok.exe", "wendlo.dll", "zek2dat.dll", "zekmake.exe"}) {
        SCOPED_TRACE(name);
        std::string path = bin + "\\" + name;
        DWORD handle = 0, size = GetFileVersionInfoSizeA(path.c_str(), &handle);
        ASSERT_NE(0u, size);
        std::vector<char> info(size);
        ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT fixedLen = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void**)&fixed, &fixedLen));
        EXPECT_EQ(MAKELONG(1, 1), fixed->dwFileVersionMS);  // 1.1
        char* original = nullptr;
        UINT originalLen = 0;
        ASSERT_TRUE(VerQueryValueA(info.data(), "\\StringFileInfo\\040904E4\\OriginalFilename",
                                   (void**)&original, &originalLen));
        EXPECT_STREQ(name, original);
    }
}
