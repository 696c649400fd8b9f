// Shortcut blocks against the test prefix's real desktop and Start menu:
// folders and .lnk files are checked where they land, targets are read back
// through the shell link object, log entries from uninst.log.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>

#include "installer/shortcuts.h"
#include "tests/support/test_log.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "uninstall_log/wendlo.h"

namespace {

using testpkg::Link;

class ShortcutsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        static int counter = 0;
        unique_ = "suite-links-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        desktop_ = testpkg::SpecialFolder(CSIDL_DESKTOPDIRECTORY);
        programs_ = testpkg::SpecialFolder(CSIDL_PROGRAMS);
        ASSERT_FALSE(desktop_.empty());
        ASSERT_FALSE(programs_.empty());
        for (int g = 0; g < 2; ++g) {
            groupDirStore_[g] = dir_ / ("group" + std::to_string(g)) + "\\";
            CreateDirectoryA(groupDirStore_[g].c_str(), nullptr);
            testpkg::WriteFileBytes(groupDirStore_[g] + "app.exe", testpkg::Bytes(10, 'x'));
            groupDirs_[g] = groupDirStore_[g].c_str();
        }
    }
    void TearDown() override {
        for (const std::string& base : {desktop_, programs_}) {
            testpkg::RemoveTree(base + "\\" + unique_);
            DeleteFileA((base + "\\" + unique_ + ".lnk").c_str());
        }
    }

    // Runs one block through a stream positioned at its first record.
    void RunBlock(const std::vector<package::LinkRecord>& records, uint32_t mask, bool logging) {
        testpkg::Bytes bytes(4, 0xEE);  // the block does not start at 0
        for (const package::LinkRecord& r : records) {
            uint8_t encoded[package::kLinkRecordSize];
            package::EncodeLinkRecord(r, encoded);
            bytes.insert(bytes.end(), encoded, encoded + sizeof encoded);
        }
        std::string blockPath = dir_ / "block.bin";
        ASSERT_TRUE(testpkg::WriteFileBytes(blockPath, bytes));
        FILE* stream = fopen(blockPath.c_str(), "rb");
        fseek(stream, 4, SEEK_SET);
        installer::ShortcutContext context = {logging ? log_.c_str() : nullptr, groupDirs_, 2};
        installer::CreateShortcutBlock(stream, (unsigned)records.size(), mask, context);
        fclose(stream);
    }

    std::vector<std::string> Logged(const char* section, const char* prefix) {
        return testpkg::ReadLogList(log_, section, prefix);
    }

    testpkg::TempDir dir_;
    std::string log_ = dir_ / "uninst.log";
    std::string unique_, desktop_, programs_;
    std::string groupDirStore_[2];
    const char* groupDirs_[2] = {};
};

}  // namespace

TEST_F(ShortcutsTest, FolderThenShortcutOnTheDesktopAreMadeAndLoggedInOrder) {
    RunBlock({Link(1, 0, 0, "", "", unique_), Link(1, 0xFF, 1, "Run App", "app.exe", unique_)},
             0xFFFFFFFF, true);
    std::string folder = desktop_ + "\\" + unique_;
    std::string link = folder + "\\Run App.lnk";
    EXPECT_TRUE(testpkg::FileExists(link));
    EXPECT_EQ(0, _stricmp((groupDirStore_[1] + "app.exe").c_str(), testpkg::ShellLinkTarget(link).c_str()))
        << testpkg::ShellLinkTarget(link);
    EXPECT_EQ((std::vector<std::string>{folder}), Logged("CreatedDirs", "Dir"));
    EXPECT_EQ((std::vector<std::string>{link}), Logged("ShellLinks", "Link"));
    // The folder is recorded before the link.
    std::string text(reinterpret_cast<const char*>(testpkg::ReadFileBytes(log_).data()),
                     testpkg::ReadFileBytes(log_).size());
    EXPECT_LT(text.find("CreatedDirs"), text.find("ShellLinks"));
}

TEST_F(ShortcutsTest, FirstRecordChoosesTheFolderOfTheWholeBlock) {
    // A Start-menu block whose first record says desktop: all of it goes there.
    RunBlock({Link(1, 0, 0, "", "", unique_), Link(0, 0xFF, 0, "App", "app.exe", unique_)},
             0xFFFFFFFF, false);
    EXPECT_TRUE(testpkg::FileExists(desktop_ + "\\" + unique_ + "\\App.lnk"));
    EXPECT_FALSE(testpkg::FileExists(programs_ + "\\" + unique_));
    // And a block that starts with a Start-menu record lands in Programs.
    RunBlock({Link(0, 0, 0, "", "", unique_), Link(1, 0xFF, 0, "App", "app.exe", unique_)},
             0xFFFFFFFF, false);
    EXPECT_TRUE(testpkg::FileExists(programs_ + "\\" + unique_ + "\\App.lnk"));
}

TEST_F(ShortcutsTest, RecordsOfGroupsOutsideTheMaskLeaveNothing) {
    RunBlock({Link(1, 0, 1, "", "", unique_), Link(1, 0xFF, 1, "App", "app.exe", unique_)},
             0x1, true);
    EXPECT_FALSE(testpkg::FileExists(desktop_ + "\\" + unique_));
    EXPECT_FALSE(testpkg::FileExists(log_));
}

TEST_F(ShortcutsTest, WithLoggingOffLinksAreStillMade) {
    RunBlock({Link(0, 0, 0, "", "", unique_), Link(0, 0xFF, 0, "App", "app.exe", unique_)},
             0xFFFFFFFF, false);
    EXPECT_TRUE(testpkg::FileExists(programs_ + "\\" + unique_ + "\\App.lnk"));
    EXPECT_FALSE(testpkg::FileExists(log_));
}

TEST_F(ShortcutsTest, EmptyFolderPathPutsTheLinkDirectlyInTheSpecialFolder) {
    RunBlock({Link(1, 0, 0, "", "", ""), Link(1, 0xFF, 0, unique_.c_str(), "app.exe", "")},
             0xFFFFFFFF, true);
    std::string link = desktop_ + "\\" + unique_ + ".lnk";
    EXPECT_TRUE(testpkg::FileExists(link));
    // The empty folder record creates and records nothing; the link path has
    // no doubled backslash.
    EXPECT_TRUE(Logged("CreatedDirs", "Dir").empty());
    EXPECT_EQ((std::vector<std::string>{link}), Logged("ShellLinks", "Link"));
}

TEST_F(ShortcutsTest, ShortcutWithoutAGroupFolderIsSkipped) {
    RunBlock({Link(1, 0, 0, "", "", unique_), Link(1, 0xFF, 5, "Five", "app.exe", unique_),
              Link(1, 0xFF, 40, "Forty", "app.exe", unique_)},
             0xFFFFFFFF, true);
    EXPECT_EQ((std::vector<std::string>{}), testpkg::ListDir(desktop_ + "\\" + unique_));
    EXPECT_TRUE(Logged("ShellLinks", "Link").empty());
}

// A crafted package cannot place folders or links outside the special folder.
TEST_F(ShortcutsTest, RecordsLeadingOutsideTheSpecialFolderAreSkipped) {
    std::string inside = unique_ + "\\Inside";
    RunBlock({Link(1, 0, 0, "", "", unique_), Link(1, 0, 0, "", "", inside + "\\..\\..\\" + unique_ + "-out"),
              Link(1, 0xFF, 0, ("..\\" + unique_ + "-up").c_str(), "app.exe", unique_),
              Link(1, 0xFF, 0, "App", "app.exe", "..\\" + unique_ + "-up")},
             0xFFFFFFFF, true);
    EXPECT_EQ((std::vector<std::string>{}), testpkg::ListDir(desktop_ + "\\" + unique_));
    EXPECT_FALSE(testpkg::FileExists(desktop_ + "\\" + unique_ + "-up.lnk"));
    EXPECT_FALSE(testpkg::FileExists(desktop_ + "\\" + unique_ + "-out"));
    EXPECT_EQ((std::vector<std::string>{desktop_ + "\\" + unique_}), Logged("CreatedDirs", "Dir"));
    EXPECT_TRUE(Logged("ShellLinks", "Link").empty());
}

TEST_F(ShortcutsTest, NestedFolderWithoutItsParentIsNotCreated) {
    std::string nested = unique_ + "\\Inner";
    RunBlock({Link(1, 0, 0, "", "", nested), Link(1, 0xFF, 0, "App", "app.exe", nested)},
             0xFFFFFFFF, true);
    EXPECT_FALSE(testpkg::FileExists(desktop_ + "\\" + nested));
    // Logged all the same, as the records were acted on.
    EXPECT_EQ(1u, Logged("ShellLinks", "Link").size());
}
