// SharedDLLs counts, the version test and the registration call, against
// the real registry (a private HKLM per test) and real versioned DLLs.
#include <gtest/gtest.h>

#include <windows.h>

#include "shared_counts/shared_counts.h"
#include "tests/support/private_registry.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "win32/unique_handle.h"

using namespace shared_counts;

namespace {

std::string Fixture(const char* name) { return std::string(SUITE_FIXTURE_DIR) + "\\" + name + ".dll"; }

class SharedCountsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        calls_ = dir_ / "calls.txt";
        SetEnvironmentVariableA("SUITE_REGISTRATION_LOG", calls_.c_str());
    }
    void TearDown() override { SetEnvironmentVariableA("SUITE_REGISTRATION_LOG", nullptr); }

    std::string Calls() {
        testpkg::Bytes bytes = testpkg::ReadFileBytes(calls_);
        return std::string(bytes.begin(), bytes.end());
    }

    testpkg::TempDir dir_;
    testpkg::PrivateMachineKey machine_;
    std::string calls_;
};

}  // namespace

TEST_F(SharedCountsTest, CountsAreDwordsNamedByTheExactPath) {
    const char* path = "C:\\Program Files\\Common Files\\Shared Thing.dll";
    EXPECT_EQ(0u, ReadSharedCount(path));
    EXPECT_TRUE(WriteSharedCount(path, 2));
    EXPECT_EQ(2u, ReadSharedCount(path));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0,
                                           KEY_ALL_ACCESS, &key));
    DWORD type = 0, data = 0, size = sizeof data;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, path, nullptr, &type, (BYTE*)&data, &size));
    EXPECT_EQ((DWORD)REG_DWORD, type);
    EXPECT_EQ(2u, data);
    // A value that is not 4 bytes reads as no count.
    RegSetValueExA(key, "C:\\odd.dll", 0, REG_SZ, (const BYTE*)"12", 3);
    EXPECT_EQ(0u, ReadSharedCount("C:\\odd.dll"));
    RegCloseKey(key);
    EXPECT_TRUE(DeleteSharedCount(path));
    EXPECT_EQ(0u, ReadSharedCount(path));
    EXPECT_FALSE(DeleteSharedCount(path));
}

TEST(SharedCountsWithoutKey, WriteNeverCreatesTheKey) {
    testpkg::PrivateMachineKey machine(false);
    EXPECT_FALSE(WriteSharedCount("C:\\a.dll", 1));
    EXPECT_EQ(0u, ReadSharedCount("C:\\a.dll"));
    HKEY key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                            0, KEY_READ, &key));
}

TEST_F(SharedCountsTest, FileVersionReadsTheFixedVersion) {
    Version v;
    ASSERT_TRUE(FileVersion(Fixture("version_1_0_0_4").c_str(), &v));
    EXPECT_EQ(0x00010000u, v.ms);
    EXPECT_EQ(0x00000004u, v.ls);
    ASSERT_TRUE(FileVersion(Fixture("version_2_0").c_str(), &v));
    EXPECT_EQ(0x00020000u, v.ms);
    EXPECT_EQ(0u, v.ls);
    EXPECT_FALSE(FileVersion(Fixture("version_none").c_str(), &v));
    EXPECT_FALSE(FileVersion((dir_ / "missing.dll").c_str(), &v));
    EXPECT_TRUE(FileExists(Fixture("version_none").c_str()));
    EXPECT_FALSE(FileExists((dir_ / "missing.dll").c_str()));
}

// A program may hold an installed file without sharing; it is still there.
TEST_F(SharedCountsTest, AFileHeldWithoutSharingExistsAndAFolderIsNoFile) {
    std::string held = dir_ / "held.dll";
    ASSERT_TRUE(CopyFileA(Fixture("version_2_0").c_str(), held.c_str(), FALSE));
    win32::UniqueHandle file(CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(file);
    EXPECT_TRUE(FileExists(held.c_str()));
    EXPECT_FALSE(FileExists(dir_.path().c_str()));
}

TEST_F(SharedCountsTest, VersionTestDecidesEachPair) {
    struct Case {
        const char* fresh;
        const char* installed;
        bool replace;
    } cases[] = {
        {"version_1_0_0_5", "version_1_0_0_4", true},   // newer low half
        {"version_1_0_0_4", "version_1_0_0_5", false},  // older low half
        {"version_1_0_0_4", "version_1_0_0_4", true},   // same version
        {"version_2_0", "version_1_0_0_5", true},       // newer high half
        {"version_1_0_0_5", "version_2_0", false},      // older high half
        {"version_1_0_0_4", "version_none", true},      // unversioned installed file
        {"version_none", "version_2_0", false},         // never replace a versioned file
        {"version_none", "version_none", true},         // neither versioned
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fresh) + " over " + c.installed);
        EXPECT_EQ(c.replace, IsReplaceable(Fixture(c.fresh).c_str(), Fixture(c.installed).c_str()));
    }
}

TEST_F(SharedCountsTest, RegistrationCallsTheEntryPointAndReleasesTheLibrary) {
    std::string server = dir_ / "control.dll";
    ASSERT_TRUE(CopyFileA(Fixture("selfreg_2_0").c_str(), server.c_str(), FALSE));
    EXPECT_TRUE(CallRegistrationEntry(server.c_str(), 1));
    EXPECT_TRUE(CallRegistrationEntry(server.c_str(), 0));
    EXPECT_TRUE(CallRegistrationEntry(server.c_str(), 7));  // any other mode unregisters
    EXPECT_EQ("register 2.0.0.0 " + server + "\nunregister 2.0.0.0 " + server + "\nunregister 2.0.0.0 " +
                  server + "\n",
              Calls());
    EXPECT_EQ(nullptr, GetModuleHandleA(server.c_str()));
    EXPECT_TRUE(DeleteFileA(server.c_str()));  // not held by anyone
}

TEST_F(SharedCountsTest, RegistrationWithoutEntryPointOrFileIsFalse) {
    std::string plain = dir_ / "plain.dll";
    ASSERT_TRUE(CopyFileA(Fixture("version_2_0").c_str(), plain.c_str(), FALSE));
    EXPECT_FALSE(CallRegistrationEntry(plain.c_str(), 1));
    EXPECT_EQ(nullptr, GetModuleHandleA(plain.c_str()));
    EXPECT_TRUE(DeleteFileA(plain.c_str()));
    EXPECT_FALSE(CallRegistrationEntry((dir_ / "missing.dll").c_str(), 1));
    EXPECT_EQ("", Calls());
}
