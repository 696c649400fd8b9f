// Removal of recorded registry values and keys against the real registry:
// machine keys in a private HKLM per test, user keys under a unique key.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include "tests/support/private_registry.h"
#include "tests/support/test_log.h"
#include "tests/support/test_registry.h"
#include "tests/support/win_test_dir.h"
#include "uninstaller/progress_window.h"
#include "uninstaller/registry_pass.h"
#include "uninstaller/resource.h"

using namespace uninstaller;
using testpkg::KeyExists;
using testpkg::SetStringValue;
using testpkg::ValueNames;

namespace {

using Names = std::vector<std::string>;

class RegistryPassTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        user_ = "Software\\SuiteTests\\registry-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++counter);
        InitCommonControls();
        progress_ = CreateProgressWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(nullptr, progress_);
        SetStatusText(progress_, "before");
    }
    void TearDown() override {
        DestroyWindow(progress_);
        SHDeleteKeyA(HKEY_CURRENT_USER, user_.c_str());
    }

    void Run() { RemoveRegistryEntries(log_.path().c_str(), progress_); }
    std::string Status() {
        char text[256] = {};
        GetDlgItemTextA(progress_, IDC_STATUS, text, sizeof text);
        return text;
    }

    testpkg::PrivateMachineKey machine_;
    testpkg::TempDir dir_;
    testpkg::TestLog log_{dir_ / "uninst.log"};
    std::string user_;
    HWND progress_ = nullptr;
};

}  // namespace

TEST_F(RegistryPassTest, ValuesGoThenEmptyKeysDeepestFirstInEitherLogOrder) {
    for (bool parentFirst : {true, false}) {
        SCOPED_TRACE(parentFirst);
        DeleteFileA(log_.path().c_str());
        testpkg::TestLog log(log_.path());
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, "Software\\A", "X", "x"));
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, "Software\\A\\B", nullptr, "default"));
        ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, "Software\\A\\B", "Y", "y"));
        if (parentFirst) log.AddKey("HKEY_LOCAL_MACHINE\\Software\\A", {"X"});
        log.AddKey("HKEY_LOCAL_MACHINE\\Software\\A\\B", {"@", "Y"});
        if (!parentFirst) log.AddKey("HKEY_LOCAL_MACHINE\\Software\\A", {"X"});
        Run();
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\A"));
        EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software"));  // never recorded
        EXPECT_EQ("Now removing registry keys...", Status());
    }
}

TEST_F(RegistryPassTest, KeyHoldingAnythingUnrecordedStaysWithItsAncestors) {
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, user_ + "\\A", "X", "x"));
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, user_ + "\\A\\B", "Y", "y"));
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, user_ + "\\A\\B", "Z", "not recorded"));
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, user_ + "\\C\\Unrecorded sub-key", "V", "v"));
    log_.AddKey("HKEY_CURRENT_USER\\" + user_ + "\\A", {"X"});
    log_.AddKey("HKEY_CURRENT_USER\\" + user_ + "\\A\\B", {"Y", "Missing value"});
    log_.AddKey("HKEY_CURRENT_USER\\" + user_ + "\\C", {});
    log_.AddKey("HKEY_CURRENT_USER\\" + user_ + "\\Never made", {"W"});
    Run();
    EXPECT_EQ(Names{}, ValueNames(HKEY_CURRENT_USER, user_ + "\\A"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, user_ + "\\A"));
    EXPECT_EQ(Names{"Z"}, ValueNames(HKEY_CURRENT_USER, user_ + "\\A\\B"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, user_ + "\\C\\Unrecorded sub-key"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, user_ + "\\Never made"));
}

// Value lists follow the recorded keys by number, skipped texts included.
TEST_F(RegistryPassTest, TextsWithoutAKnownRootAreSkippedAndTouchNothing) {
    ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, "Software\\Lower", "X", "x"));
    ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, "Software\\Empty\\Kept", nullptr, "d"));
    ASSERT_TRUE(SetStringValue(HKEY_LOCAL_MACHINE, "Software\\Good", "G", "g"));
    log_.AddKey("hkey_local_machine\\Software\\Lower", {"X"});
    log_.AddKey("HKEY_LOCAL_MACHINE", {"X"});
    log_.AddKey("HKEY_USERS\\Software\\Empty\\Kept", {"@"});
    log_.AddKey("HKEY_LOCAL_MACHINE\\", {});
    log_.AddKey("HKEY_LOCAL_MACHINE\\Software\\Good", {"G"});
    Run();
    EXPECT_EQ(Names{"X"}, ValueNames(HKEY_LOCAL_MACHINE, "Software\\Lower"));
    EXPECT_EQ(Names{""}, ValueNames(HKEY_LOCAL_MACHINE, "Software\\Empty\\Kept"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Good"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software"));
}

TEST_F(RegistryPassTest, NoRecordedKeysLeavesTheWindowAsItWas) {
    log_.Add(2, "C:\\not a key");
    Run();
    EXPECT_EQ("before", Status());
}

TEST_F(RegistryPassTest, KeyIsEmptyOnlyWithNeitherSubKeysNorValues) {
    std::string key = user_ + "\\Probe";
    EXPECT_FALSE(IsKeyEmpty(HKEY_CURRENT_USER, key.c_str()));  // missing
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, key, nullptr, ""));
    EXPECT_FALSE(IsKeyEmpty(HKEY_CURRENT_USER, key.c_str()));  // an empty default value
    ASSERT_TRUE(SHDeleteValueA(HKEY_CURRENT_USER, key.c_str(), nullptr) == ERROR_SUCCESS);
    EXPECT_TRUE(IsKeyEmpty(HKEY_CURRENT_USER, key.c_str()));
    // A name longer than the 128-character buffer still counts as a value.
    std::string longName(200, 'n');
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, key, longName.c_str(), "v"));
    EXPECT_FALSE(IsKeyEmpty(HKEY_CURRENT_USER, key.c_str()));
    ASSERT_TRUE(SHDeleteValueA(HKEY_CURRENT_USER, key.c_str(), longName.c_str()) == ERROR_SUCCESS);
    ASSERT_TRUE(SetStringValue(HKEY_CURRENT_USER, key + "\\Sub", "v", "v"));
    EXPECT_FALSE(IsKeyEmpty(HKEY_CURRENT_USER, key.c_str()));
}
