// The file groups: where each group goes (ResolveGroupDirectory and the
// GroupPathTable), how a group's files are installed (CopyGroup) and which
// groups the loop installs (InstallGroups).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>

#include "installer/copy_group.h"
#include "installer/group_directory.h"
#include "installer/install_groups.h"
#include "package/bytes.h"
#include "tests/support/private_registry.h"
#include "tests/support/test_log.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "tests/win32/test_windows.h"
#include "tests/support/same_bytes.h"
#include "uninstall_log/wendlo.h"
#include "win32/unique_handle.h"

using testpkg::Bytes;
using testpkg::StoredFile;

namespace {

const char kCopyError[] = "Vornel Setup|Error while copyying file : \n ";

package::GroupHeader Group(uint8_t flags, const char* subfolder = "") {
    package::GroupHeader group = {};
    group.flags = flags;
    package::CopyText(group.subfolder, sizeof group.subfolder, subfolder);
    return group;
}

class GroupTest : public ::testing::Test, protected testpkg::InstallFolders {
  protected:
    void SetUp() override {
        char dir[MAX_PATH] = {};
        GetWindowsDirectoryA(dir, MAX_PATH);
        windowsDir_ = dir;
        GetSystemDirectoryA(dir, MAX_PATH);
        systemDir_ = dir;
        // A subfolder name no other test uses, for the folders made below
        // the Windows and system directories.
        subfolder_ = "suite-group-" + std::to_string(GetCurrentProcessId());
    }
    void TearDown() override {
        testpkg::RemoveTree(windowsDir_ + "\\" + subfolder_);
        testpkg::RemoveTree(systemDir_ + "\\" + subfolder_);
    }

    // A package stream holding bytes and a trailing marker, at offset 0.
    win32::UniqueFile StreamOf(const Bytes& bytes) {
        Bytes package = bytes;
        package.push_back('#');
        std::string path = dir_ / "package.tmp";
        EXPECT_TRUE(testpkg::WriteFileBytes(path, package));
        return win32::UniqueFile(fopen(path.c_str(), "rb"));
    }
    // A stream positioned just after the group block's header, as CopyGroup
    // gets it, and the header read from it.
    win32::UniqueFile GroupStream(const Bytes& block, package::GroupHeader* group) {
        package::DecodeGroupHeader(block.data(), block.size(), group);
        win32::UniqueFile stream = StreamOf(block);
        fseek(stream.get(), (long)package::kGroupHeaderSize, SEEK_SET);
        return stream;
    }

    std::vector<std::string> Logged(const char* section, const char* prefix) {
        return testpkg::ReadLogList(log_, section, prefix);
    }

    std::string windowsDir_, systemDir_, subfolder_;
    std::string log_ = dir_ / "uninst.log";
    installer::GroupPathTable table_;
    wintest::StatusRecorder status_;
};

}  // namespace

// Every kind in table order; subfolders are made (an existing one is fine)
// and recorded each time, the plain bases never.
TEST_F(GroupTest, EveryDestinationKindResolvesAndSubfoldersAreRecorded) {
    ASSERT_TRUE(CreateDirectoryA((appDir_ + "\\bin").c_str(), nullptr));
    const char* sub = subfolder_.c_str();
    for (const auto& group : {Group(0x11), Group(0x12), Group(0x14), Group(0x19, "bin"),
                              Group(0x1A, sub), Group(0x1C, sub), Group(0x89, "bin")})
        installer::ResolveGroupDirectory(group, appDir_.c_str(), log_.c_str(), &table_);

    const std::string expected[] = {appDir_ + "\\", windowsDir_ + "\\", systemDir_ + "\\",
                                    appDir_ + "\\bin\\", windowsDir_ + "\\" + subfolder_ + "\\",
                                    systemDir_ + "\\" + subfolder_ + "\\", appDir_ + "\\bin\\"};
    ASSERT_EQ(7u, table_.count);
    for (size_t i = 0; i < 7; ++i) {
        char path[MAX_PATH];
        ASSERT_TRUE(installer::LookupGroupPath(table_, i, path));
        EXPECT_EQ(expected[i], path) << i;
        EXPECT_TRUE(testpkg::FileExists(path)) << i;
    }
    EXPECT_EQ((std::vector<std::string>{appDir_ + "\\bin", windowsDir_ + "\\" + subfolder_,
                                        systemDir_ + "\\" + subfolder_, appDir_ + "\\bin"}),
              Logged("CreatedDirs", "Dir"));
}

// Unknown kinds, and subfolder names that would leave the base, give the
// group no directory and create nothing; the table ends at 32 entries.
TEST_F(GroupTest, GroupsWithoutADirectoryGetAnEmptyEntry) {
    for (const auto& group : {Group(0x10), Group(0x13), Group(0x18, "x"), Group(0x1F, "x"),
                              Group(0x19, ""), Group(0x19, ".."), Group(0x19, "a\\b"),
                              Group(0x19, "..\\up"), Group(0x19, "C:\\x"), Group(0x19, "nul")})
        installer::ResolveGroupDirectory(group, appDir_.c_str(), nullptr, &table_);
    installer::ResolveGroupDirectory(Group(0x11), "", nullptr, &table_);
    ASSERT_EQ(11u, table_.count);
    for (size_t i = 0; i < table_.count; ++i) EXPECT_STREQ("", table_.paths[i]) << i;
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(appDir_));
    EXPECT_FALSE(testpkg::FileExists(dir_ / "up"));

    for (int i = 0; i < 22; ++i) installer::ResolveGroupDirectory(Group(0x11), appDir_.c_str(), nullptr, &table_);
    EXPECT_EQ(32u, table_.count);
    char path[MAX_PATH] = "untouched";
    EXPECT_FALSE(installer::LookupGroupPath(table_, 32, path));
    EXPECT_STREQ("untouched", path);
}

TEST_F(GroupTest, CopyGroupInstallsEachFileWithItsProgress) {
    wintest::ProgressClock clock(wintest::ProgressClock::kStepping);
    std::vector<StoredFile> files = {{"empty.txt", {}},
                                     {"b.bin", testpkg::Pattern(4097, 2)},
                                     {"c.bin", testpkg::Pattern(10000, 3)}};
    package::GroupHeader group;
    win32::UniqueFile stream = GroupStream(testpkg::GroupBlock(0x11, "", files), &group);
    std::string dir = appDir_ + "\\";
    ASSERT_EQ(1, installer::CopyGroup(group, status_.window(), stream.get(), dir.c_str(), nullptr));

    for (const StoredFile& file : files) EXPECT_TRUE(testpkg::SameBytes(file.data, testpkg::ReadFileBytes(dir + file.name))) << file.name;
    EXPECT_EQ('#', fgetc(stream.get()));
    EXPECT_EQ((std::vector<std::string>{"file " + dir + "empty.txt", "pos 100",
                                        "file " + dir + "b.bin", "pos 0", "pos 100",
                                        "file " + dir + "c.bin", "pos 0", "pos 40", "pos 100"}),
              status_.events);
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tempDir_));
}

// Files that follow each other sooner than the pacing interval share the
// bar's moves across the group; a bar that reached 100 stays there, and the
// group's last file is left named on the line.
TEST_F(GroupTest, CopyGroupPacesTheLineAndTheBarAcrossItsFiles) {
    wintest::ProgressClock clock(wintest::ProgressClock::kFrozen);
    std::vector<StoredFile> files = {{"b.bin", testpkg::Pattern(4097, 2)},
                                     {"c.bin", testpkg::Pattern(10000, 3)},
                                     {"d.txt", testpkg::Pattern(3, 4)}};
    package::GroupHeader group;
    win32::UniqueFile stream = GroupStream(testpkg::GroupBlock(0x11, "", files), &group);
    std::string dir = appDir_ + "\\";
    ASSERT_EQ(1, installer::CopyGroup(group, status_.window(), stream.get(), dir.c_str(), nullptr));

    for (const StoredFile& file : files) EXPECT_TRUE(testpkg::SameBytes(file.data, testpkg::ReadFileBytes(dir + file.name))) << file.name;
    EXPECT_EQ((std::vector<std::string>{"file " + dir + "b.bin", "pos 0", "pos 100", "file " + dir + "d.txt"}),
              status_.events);
}

// Each destination is recorded in its copy mode's list before anything is
// written, so a file that then cannot be placed (no folder) is listed all
// the same. Neither copy is versioned, so each replaces the installed one.
TEST_F(GroupTest, EachCopyModeInstallsAndRecordsInItsList) {
    testpkg::PrivateMachineKey machine;  // the shared files' counts
    struct Case {
        uint8_t flags;
        const char* section;
        const char* prefix;
    };
    const Case cases[] = {{0x11, "CopiedFiles", "File"}, {0x21, "OLEFiles", "OLE"},
                          {0x41, "OLEFiles", "OLE"}, {0x81, "InstalledDLLs", "DLL"}};
    std::string dir = appDir_ + "\\", missing = dir_ / "missing\\";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        log_ = dir_ / ("uninst-" + std::to_string(c.flags) + ".log");
        ASSERT_TRUE(testpkg::WriteFileBytes(dir + "a.dll", {'o', 'l', 'd'}));
        Bytes data = testpkg::Pattern(5000, c.flags);
        for (const std::string& groupDir : {dir, missing}) {
            package::GroupHeader group;
            win32::UniqueFile stream = GroupStream(testpkg::GroupBlock(c.flags, "", {{"a.dll", data}}), &group);
            ASSERT_EQ(1, installer::CopyGroup(group, nullptr, stream.get(), groupDir.c_str(), log_.c_str()));
        }
        EXPECT_TRUE(testpkg::SameBytes(data, testpkg::ReadFileBytes(dir + "a.dll")));
        EXPECT_EQ((std::vector<std::string>{dir + "a.dll", missing + "a.dll"}), Logged(c.section, c.prefix));
        if (c.flags != 0x11) {
            EXPECT_EQ(std::vector<std::string>(), Logged("CopiedFiles", "File"));
        }
    }
    EXPECT_FALSE(testpkg::FileExists(dir_ / "missing"));
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tempDir_));
}

// A damaged group is refused with the copy error before anything is
// written, and no allocation is sized from a count the package cannot hold.
TEST_F(GroupTest, DamagedGroupsAreRefusedBeforeAnythingIsWritten) {
    std::string dir = appDir_ + "\\";
    std::vector<StoredFile> good = {{"one.txt", {'1'}}, {"two.txt", {'2', '2'}}};
    struct Case {
        const char* what;
        Bytes block;
        std::string shown;  // the path the error names
        std::string groupDir;
    };
    std::vector<Case> cases;
    for (const char* name : {"..\\escape.txt", "C:\\evil.txt", "con.txt"}) {
        std::vector<StoredFile> files = good;
        files.push_back({name, {'x'}});
        cases.push_back({name, testpkg::GroupBlock(0x11, "", files), dir + name, dir});
    }
    Bytes tooMany = testpkg::GroupBlock(0x11, "", good);
    package::PutU32LE(tooMany.data() + 256, 0x10000000);  // file count
    cases.push_back({"count beyond the package", tooMany, dir, dir});
    Bytes wrongTotal = testpkg::GroupBlock(0x11, "", good);
    package::PutU32LE(wrongTotal.data() + 260, 2);  // total data bytes, really 3
    cases.push_back({"sizes not adding up to the total", wrongTotal, dir, dir});
    Bytes cut = testpkg::GroupBlock(0x11, "", good);
    cut.resize(cut.size() - 2);  // one byte short once the stream's marker follows
    cases.push_back({"data beyond the package", cut, dir, dir});
    std::string longName(MAX_PATH - dir.size(), 'n');
    cases.push_back({"path too long", testpkg::GroupBlock(0x11, "", {{longName, {'x'}}}), dir + longName, dir});
    cases.push_back({"no group directory", testpkg::GroupBlock(0x11, "", good), "one.txt", ""});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        package::GroupHeader group;
        win32::UniqueFile stream = GroupStream(c.block, &group);
        wintest::BoxWatcher boxes({"Vornel Setup"});
        EXPECT_EQ(0, installer::CopyGroup(group, status_.window(), stream.get(), c.groupDir.c_str(), nullptr));
        EXPECT_EQ(std::vector<std::string>{kCopyError + c.shown}, boxes.Stop());
        EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(appDir_));
        EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tempDir_));
    }
    EXPECT_FALSE(testpkg::FileExists(dir_ / "escape.txt"));
}

// A file that replaces another goes through a temporary file; without one
// it cannot be extracted, and the file in place stays as it was. A new plain
// file is written in its place and needs none.
TEST_F(GroupTest, ATemporaryFileThatCannotBeMadeIsACopyError) {
    SetEnvironmentVariableA("TMP", (dir_ / "missing").c_str());
    std::string dir = appDir_ + "\\";
    ASSERT_TRUE(testpkg::WriteFileBytes(dir + "a.txt", testpkg::TextBytes("old")));
    package::GroupHeader group;
    win32::UniqueFile stream =
        GroupStream(testpkg::GroupBlock(0x11, "", {{"new.txt", {'n'}}, {"a.txt", {'a'}}}), &group);
    wintest::BoxWatcher boxes({"Vornel Setup"});
    EXPECT_EQ(0, installer::CopyGroup(group, status_.window(), stream.get(), dir.c_str(), nullptr));
    EXPECT_EQ(std::vector<std::string>{kCopyError + dir + "a.txt"}, boxes.Stop());
    EXPECT_TRUE(testpkg::SameBytes(testpkg::TextBytes("old"), testpkg::ReadFileBytes(dir + "a.txt")));
    EXPECT_TRUE(testpkg::SameBytes(Bytes{'n'}, testpkg::ReadFileBytes(dir + "new.txt")));
}

TEST_F(GroupTest, InstallGroupsInstallsOnlyTheMaskedGroupsAndSkipsTheRestExactly) {
    testpkg::PackageBody body = testpkg::EmptyPackage("Groups");
    body.header.groupCount = 4;
    body.header.groupsOffset = body.Append(testpkg::GroupBlock(0x11, "", {{"zero.txt", testpkg::Pattern(6000, 0)}}));
    body.Append(testpkg::GroupBlock(0x19, "one", {{"one.txt", testpkg::Pattern(9000, 1)}}));
    body.Append(testpkg::GroupBlock(0x19, "two", {{"two.txt", testpkg::Pattern(100, 2)}, {"2b.txt", {}}}));
    body.Append(testpkg::GroupBlock(0x11, "", {{"three.txt", testpkg::Pattern(4096, 3)}}));
    win32::UniqueFile stream = StreamOf(body.Finish());

    installer::InstallGroups(stream.get(), body.header, 0b0101, status_.window(), appDir_.c_str(),
                             log_.c_str(), &table_);

    EXPECT_TRUE(testpkg::SameBytes(testpkg::Pattern(6000, 0), testpkg::ReadFileBytes(appDir_ + "\\zero.txt")));
    EXPECT_TRUE(testpkg::SameBytes(testpkg::Pattern(100, 2), testpkg::ReadFileBytes(appDir_ + "\\two\\two.txt")));
    EXPECT_TRUE(testpkg::FileExists(appDir_ + "\\two\\2b.txt"));
    // A skipped group's folder is still made; its files are not installed.
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(appDir_ + "\\one"));
    EXPECT_EQ((std::vector<std::string>{"one", "two", "zero.txt"}), testpkg::ListDir(appDir_));
    ASSERT_EQ(4u, table_.count);
    EXPECT_EQ(appDir_ + "\\one\\", table_.paths[1]);
    EXPECT_EQ((std::vector<std::string>{appDir_ + "\\one", appDir_ + "\\two"}), Logged("CreatedDirs", "Dir"));
    EXPECT_EQ((std::vector<std::string>{appDir_ + "\\zero.txt", appDir_ + "\\two\\two.txt",
                                        appDir_ + "\\two\\2b.txt"}),
              Logged("CopiedFiles", "File"));
}

// After a refused group no further group is read; all ones installs every
// group up to the refusal.
TEST_F(GroupTest, InstallGroupsStopsAfterARefusedGroup) {
    testpkg::PackageBody body = testpkg::EmptyPackage("Groups");
    body.header.groupCount = 3;
    body.header.groupsOffset = body.Append(testpkg::GroupBlock(0x11, "", {{"first.txt", {'1'}}}));
    body.Append(testpkg::GroupBlock(0x11, "", {{"..\\bad.txt", {'2'}}}));
    body.Append(testpkg::GroupBlock(0x19, "third", {{"third.txt", {'3'}}}));
    win32::UniqueFile stream = StreamOf(body.Finish());

    wintest::BoxWatcher boxes({"Vornel Setup"});
    installer::InstallGroups(stream.get(), body.header, 0xFFFFFFFF, status_.window(), appDir_.c_str(), nullptr, &table_);
    EXPECT_EQ(1u, boxes.Stop().size());
    EXPECT_EQ((std::vector<std::string>{"first.txt"}), testpkg::ListDir(appDir_));
    EXPECT_EQ(2u, table_.count);
}
