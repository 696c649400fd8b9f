// Replacements of files in use at the next Windows start: the wininit.ini
// [rename] lines of the Windows 95 family, MoveFileExA's pending renames on
// the NT family, and the ordinary-file action and group copy that rely on
// them. Wine processes both at the next cold start of the prefix's server,
// so they are checked while it runs and taken out again in TearDown.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "installer/copy_group.h"
#include "installer/copy_plain_file.h"
#include "installer/schedule_replace.h"
#include "tests/support/boot_renames.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "tests/support/same_bytes.h"
#include "win32/unique_handle.h"

using testpkg::Bytes;

namespace {

constexpr DWORD k95 = VER_PLATFORM_WIN32_WINDOWS;
constexpr DWORD kNt = VER_PLATFORM_WIN32_NT;

using testpkg::TextBytes;

std::string ShortPath(const std::string& path) {
    char out[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), out, MAX_PATH);
    return out;
}

// How MoveFileExA records a file: its NT path.
std::string NtPath(const std::string& path) { return "\\??\\" + path; }
// The target of a rename that may replace an existing file.
std::string NtTarget(const std::string& path) { return "!\\??\\" + path; }

class ReplaceTest : public ::testing::Test, protected testpkg::InstallFolders {
  protected:
    void SetUp() override {
        hadWininit_ = testpkg::FileExists(testpkg::WininitPath());
    }
    void TearDown() override {
        for (const std::string& line : OurWininitLines())
            testpkg::RemoveWininitRename(line.substr(0, line.find('=')));
        if (!hadWininit_ && testpkg::WininitRenames().empty())
            DeleteFileA(testpkg::WininitPath().c_str());
        testpkg::RemovePendingRenames(dir_.path());
    }

    std::string File(const std::string& name, const std::string& text) {
        std::string path = dir_ / name;
        EXPECT_TRUE(testpkg::WriteFileBytes(path, TextBytes(text)));
        return path;
    }
    // Opens path as a program in use would: no sharing at all.
    win32::UniqueHandle Hold(const std::string& path) {
        win32::UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        EXPECT_TRUE(file) << GetLastError();
        return file;
    }
    // The [rename] lines that name a file of this test.
    std::vector<std::string> OurWininitLines() const {
        std::vector<std::string> ours;
        std::string shortDir = ShortPath(dir_.path());
        for (const std::string& line : testpkg::WininitRenames())
            if (line.find(shortDir) != std::string::npos) ours.push_back(line);
        return ours;
    }
    std::vector<std::pair<std::string, std::string>> OurPendingRenames() const {
        std::vector<std::pair<std::string, std::string>> ours;
        for (const auto& pair : testpkg::PendingRenames())
            if (pair.first.find(dir_.path()) != std::string::npos) ours.push_back(pair);
        return ours;
    }

    bool hadWininit_ = false;
};

}  // namespace

// Two files in use get a line each, and no "NUL" line, which would delete
// the second new copy before its rename; a destination scheduled again
// keeps one line, naming the later copy.
TEST_F(ReplaceTest, Windows95FamilyGetsOneRenameLinePerFileInWininit) {
    std::string dest1 = File("one.dll", "old 1"), src1 = File("new1.tmp", "new 1");
    std::string dest2 = File("two.dll", "old 2"), src2 = File("new2.tmp", "new 2");
    std::string later = File("later.tmp", "new 3");
    win32::UniqueHandle held1 = Hold(dest1), held2 = Hold(dest2);
    EXPECT_TRUE(installer::ScheduleReplaceOn(k95, dest1.c_str(), src1.c_str()));
    EXPECT_TRUE(installer::ScheduleReplaceOn(k95, dest2.c_str(), src2.c_str()));
    EXPECT_EQ((std::vector<std::string>{ShortPath(dest1) + "=" + ShortPath(src1),
                                        ShortPath(dest2) + "=" + ShortPath(src2)}),
              OurWininitLines());
    for (const std::string& line : testpkg::WininitRenames())
        EXPECT_NE(0, _strnicmp(line.c_str(), "NUL=", 4)) << line;

    EXPECT_TRUE(installer::ScheduleReplaceOn(k95, dest1.c_str(), later.c_str()));
    EXPECT_EQ((std::vector<std::string>{ShortPath(dest1) + "=" + ShortPath(later),
                                        ShortPath(dest2) + "=" + ShortPath(src2)}),
              OurWininitLines());
    EXPECT_TRUE(OurPendingRenames().empty());
}

// The NT family ignores wininit.ini: the renames go through MoveFileExA,
// each replacing an existing file ("!" before the destination).
TEST_F(ReplaceTest, NtFamilyGetsPendingRenamesInOrder) {
    std::string dest1 = File("one.dll", "old 1"), src1 = File("new1.tmp", "new 1");
    std::string dest2 = File("two.dll", "old 2"), src2 = File("new2.tmp", "new 2");
    win32::UniqueHandle held1 = Hold(dest1);
    EXPECT_TRUE(installer::ScheduleReplaceOn(kNt, dest1.c_str(), src1.c_str()));
    EXPECT_TRUE(installer::ScheduleReplaceOn(kNt, dest2.c_str(), src2.c_str()));
    EXPECT_TRUE(installer::ScheduleReplaceOn(kNt, dest2.c_str(), src1.c_str()));
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ((std::vector<Pair>{{NtPath(src1), NtTarget(dest1)},
                                 {NtPath(src2), NtTarget(dest2)},
                                 {NtPath(src1), NtTarget(dest2)}}),
              OurPendingRenames());
    EXPECT_TRUE(OurWininitLines().empty());
}

// Without both files there is nothing to rename: no line with an empty key
// or value, no pending rename.
TEST_F(ReplaceTest, NothingIsScheduledWithoutBothFiles) {
    std::string dest = File("one.dll", "old"), src = File("new.tmp", "new");
    std::string missing = dir_ / "missing.dll";
    std::string missingDir = dir_ / "no-folder\\one.dll";
    for (DWORD platform : {k95, kNt}) {
        SCOPED_TRACE(platform);
        EXPECT_FALSE(installer::ScheduleReplaceOn(platform, missing.c_str(), src.c_str()));
        EXPECT_FALSE(installer::ScheduleReplaceOn(platform, missingDir.c_str(), src.c_str()));
        EXPECT_FALSE(installer::ScheduleReplaceOn(platform, dest.c_str(), missing.c_str()));
    }
    EXPECT_TRUE(OurWininitLines().empty());
    EXPECT_TRUE(OurPendingRenames().empty());
    for (const std::string& line : testpkg::WininitRenames()) {
        EXPECT_NE('=', line[0]) << line;
        EXPECT_NE('=', line.back()) << line;
    }
}

// A free destination is overwritten and the temporary copy goes; one in
// use keeps its contents while the new copy waits for the next start (Wine
// reports the NT family); without a folder nothing is left behind.
TEST_F(ReplaceTest, APlainFileIsCopiedOrWaitsForTheNextStart) {
    std::string free = File("free.exe", "old"), freeTemp = File("free.tmp", "new");
    EXPECT_TRUE(installer::CopyPlainFile(freeTemp.c_str(), free.c_str()));
    EXPECT_TRUE(testpkg::SameBytes(TextBytes("new"), testpkg::ReadFileBytes(free)));
    EXPECT_FALSE(testpkg::FileExists(freeTemp));

    std::string busy = File("busy.exe", "old contents"), busyTemp = File("busy.tmp", "new");
    {
        win32::UniqueHandle held = Hold(busy);
        EXPECT_TRUE(installer::CopyPlainFile(busyTemp.c_str(), busy.c_str()));
    }
    EXPECT_TRUE(testpkg::SameBytes(TextBytes("old contents"), testpkg::ReadFileBytes(busy)));
    EXPECT_TRUE(testpkg::SameBytes(TextBytes("new"), testpkg::ReadFileBytes(busyTemp)));

    std::string lostTemp = File("lost.tmp", "new");
    EXPECT_FALSE(installer::CopyPlainFile(lostTemp.c_str(), (dir_ / "no-folder\\app.exe").c_str()));
    EXPECT_FALSE(testpkg::FileExists(lostTemp));
    using Pair = std::pair<std::string, std::string>;
    EXPECT_EQ((std::vector<Pair>{{NtPath(busyTemp), NtTarget(busy)}}), OurPendingRenames());
}

// Each deferred file keeps its own temporary copy until the restart; the
// group's next file is extracted into a fresh one.
TEST_F(ReplaceTest, CopyGroupGivesEachDeferredFileItsOwnTemporaryCopy) {
    std::vector<testpkg::StoredFile> files = {{"first.dll", testpkg::Pattern(5000, 1)},
                                              {"free.txt", testpkg::Pattern(10, 2)},
                                              {"third.dll", testpkg::Pattern(7000, 3)}};
    for (const auto& file : files) ASSERT_TRUE(testpkg::WriteFileBytes(appDir_ + "\\" + file.name, {'o'}));
    win32::UniqueHandle held1 = Hold(appDir_ + "\\first.dll");
    win32::UniqueHandle held3 = Hold(appDir_ + "\\third.dll");

    Bytes block = testpkg::GroupBlock(0x11, "", files);
    package::GroupHeader group;
    package::DecodeGroupHeader(block.data(), block.size(), &group);
    std::string packagePath = dir_ / "package.tmp";
    ASSERT_TRUE(testpkg::WriteFileBytes(packagePath, block));
    win32::UniqueFile stream(fopen(packagePath.c_str(), "rb"));
    fseek(stream.get(), (long)package::kGroupHeaderSize, SEEK_SET);
    ASSERT_EQ(1, installer::CopyGroup(group, nullptr, stream.get(), (appDir_ + "\\").c_str(), nullptr));
    held1.reset();
    held3.reset();

    EXPECT_TRUE(testpkg::SameBytes(files[1].data, testpkg::ReadFileBytes(appDir_ + "\\free.txt")));
    EXPECT_TRUE(testpkg::SameBytes(Bytes{'o'}, testpkg::ReadFileBytes(appDir_ + "\\first.dll")));
    EXPECT_TRUE(testpkg::SameBytes(Bytes{'o'}, testpkg::ReadFileBytes(appDir_ + "\\third.dll")));
    auto pending = OurPendingRenames();
    ASSERT_EQ(2u, pending.size());
    EXPECT_EQ(NtTarget(appDir_ + "\\first.dll"), pending[0].second);
    EXPECT_EQ(NtTarget(appDir_ + "\\third.dll"), pending[1].second);
    EXPECT_NE(pending[0].first, pending[1].first);
    EXPECT_TRUE(testpkg::SameBytes(files[0].data, testpkg::ReadFileBytes(pending[0].first.substr(4))));
    EXPECT_TRUE(testpkg::SameBytes(files[2].data, testpkg::ReadFileBytes(pending[1].first.substr(4))));
    EXPECT_EQ(2u, testpkg::ListDir(tempDir_).size());
}
