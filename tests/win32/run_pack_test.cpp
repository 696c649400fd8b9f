// RunPackList with real programs: each pack runs from a folder of its own
// with its files beside it, waited for or left to a thread of its own, and
// leaves nothing behind; damaged lists are reported; the stream position is
// restored.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "installer/run_pack.h"
#include "tests/support/probe_pack.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "tests/win32/test_windows.h"
#include "win32/unique_handle.h"

using testpkg::Bytes;
using testpkg::StoredFile;

namespace {

using testpkg::TextBytes;

class RunPackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tempDir_ = dir_ / "temp";
        CreateDirectoryA(tempDir_.c_str(), nullptr);
        tmp_.Set(tempDir_);
        ASSERT_TRUE(probes_.HasProgram());
    }
    void TearDown() override {
        for (HANDLE event : events_) {
            SetEvent(event);
            CloseHandle(event);
        }
        // Background programs clear their folders once released.
        for (const std::string& name : testpkg::ListDir(tempDir_))
            testpkg::WaitUntilGone(tempDir_ + "\\" + name, 5000);
    }

    HANDLE NewEvent(const std::string& name) {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, name.c_str());
        events_.push_back(event);
        return event;
    }
    std::string EventName(const std::string& label) const {
        return "suite-runpack-" + std::to_string(GetCurrentProcessId()) + "-" + label;
    }

    // Writes a package of 100 bytes of padding followed by list, opens it
    // and leaves it positioned at 50.
    win32::UniqueFile Package(const Bytes& list, uint32_t* listOffset) {
        Bytes package(100 + list.size(), 'p');
        std::copy(list.begin(), list.end(), package.begin() + 100);
        *listOffset = 100;
        std::string path = dir_ / "package.tmp";
        EXPECT_TRUE(testpkg::WriteFileBytes(path, package));
        win32::UniqueFile stream(fopen(path.c_str(), "rb"));
        fseek(stream.get(), 50, SEEK_SET);
        return stream;
    }

    testpkg::TempDir dir_;
    std::string tempDir_;
    testpkg::TmpOverride tmp_;
    testpkg::ProbePacks probes_{std::string(SUITE_FIXTURE_DIR) + "\\runpack_probe.exe", dir_.path()};
    std::vector<HANDLE> events_;
};

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

}  // namespace

TEST_F(RunPackTest, WaitedPackRunsBesideItsFilesAndIsGoneOnReturn) {
    uint32_t offset;
    win32::UniqueFile stream = Package(
        probes_.Pack("first", true, "", {{"data.txt", TextBytes("payload")}, {"empty.dat", {}}}), &offset);
    ASSERT_TRUE(installer::RunPackList(stream.get(), 1, offset, nullptr));

    EXPECT_EQ(50, ftell(stream.get()));
    EXPECT_EQ((std::vector<std::string>{"data.txt", "empty.dat", "probe.exe", "probe.ini"}),
              probes_.FilesSeen("first"));
    EXPECT_EQ("first end", probes_.LastLine("first"));
    std::string folder = probes_.FolderSeen("first");
    EXPECT_EQ(0, _strnicmp(folder.c_str(), (tempDir_ + "\\zkd").c_str(), tempDir_.size() + 4)) << folder;
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tempDir_));
}

// The second pack is read only after the first program ended; the second
// runs on in the background after the list returns, and each background
// program clears only its own folder, even when the packs share file names.
TEST_F(RunPackTest, BackgroundPacksRunOnAndClearOnlyTheirOwnFolders) {
    HANDLE releaseSecond = NewEvent(EventName("second"));
    HANDLE releaseThird = NewEvent(EventName("third"));
    uint32_t offset;
    win32::UniqueFile stream = Package(Join({probes_.Pack("first", true),
                                             probes_.Pack("second", false, EventName("second")),
                                             probes_.Pack("third", false, EventName("third"))}),
                                       &offset);
    std::string packagePath = dir_ / "package.tmp";
    ASSERT_TRUE(installer::RunPackList(stream.get(), 3, offset, nullptr));
    EXPECT_EQ(50, ftell(stream.get()));
    EXPECT_EQ("first end", probes_.LastLine("first"));

    // Both background programs run from folders of their own, known by the
    // probe.ini extracted into each.
    std::vector<std::string> folders = testpkg::ListDir(tempDir_);
    ASSERT_EQ(2u, folders.size());
    std::string second = tempDir_ + "\\" + folders[0];
    std::string third = tempDir_ + "\\" + folders[1];
    if (testpkg::ReadFileBytes(second + "\\probe.ini") != TextBytes(probes_.Ini("second", EventName("second"))))
        std::swap(second, third);
    // The programs hold no handle on the package: it can go while they run.
    stream.reset();
    EXPECT_TRUE(DeleteFileA(packagePath.c_str())) << GetLastError();

    SetEvent(releaseSecond);
    ASSERT_TRUE(testpkg::WaitUntilGone(second));
    EXPECT_EQ((std::vector<std::string>{"probe.exe", "probe.ini"}), testpkg::ListDir(third));
    SetEvent(releaseThird);
    ASSERT_TRUE(testpkg::WaitUntilGone(third));

    EXPECT_EQ(0, _stricmp(second.c_str(), probes_.FolderSeen("second").c_str()));
    EXPECT_EQ(0, _stricmp(third.c_str(), probes_.FolderSeen("third").c_str()));
    EXPECT_EQ((std::vector<std::string>{"probe.exe", "probe.ini"}), probes_.FilesSeen("second"));
    EXPECT_EQ((std::vector<std::string>{"probe.exe", "probe.ini"}), probes_.FilesSeen("third"));
    EXPECT_EQ("third end", probes_.LastLine("third"));
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tempDir_));
}

// A missing or failing program is not reported and its files go. A file that
// cannot be made, or whose name would leave the folder, is skipped over
// exactly: the files and packs after it are still read from their place.
TEST_F(RunPackTest, BadProgramsAndFilesAreSurvivedSilently) {
    wintest::BoxWatcher boxes({"Setup Error", "RunPack Extraction Error"});
    Bytes missing = testpkg::RunPackBlock("absent.exe", true, {{"data.txt", TextBytes("x")}});
    std::vector<StoredFile> extra = {{"bad<name>.txt", TextBytes("not a name")},
                                     {"..\\escaped.txt", TextBytes("outside")},
                                     {"after.txt", TextBytes("after")}};
    uint32_t offset;
    win32::UniqueFile stream = Package(
        Join({missing, probes_.Pack("failing", true, "", extra, 3), probes_.Pack("last", true)}), &offset);
    EXPECT_TRUE(installer::RunPackList(stream.get(), 3, offset, nullptr));
    EXPECT_EQ((std::vector<std::string>{"after.txt", "probe.exe", "probe.ini"}), probes_.FilesSeen("failing"));
    EXPECT_EQ("failing end", probes_.LastLine("failing"));
    EXPECT_EQ("last end", probes_.LastLine("last"));
    EXPECT_FALSE(testpkg::FileExists(tempDir_ + "\\escaped.txt"));
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tempDir_));
    EXPECT_EQ(std::vector<std::string>(), boxes.Stop());
}

TEST_F(RunPackTest, AHeaderCutShortIsReportedAfterTheFirstProgramRan) {
    wintest::BoxWatcher boxes({"Setup Error"});
    Bytes list = Join({probes_.Pack("first", true), testpkg::RunPackBlock("x.exe", true, {})});
    list.resize(list.size() - 30);  // the second header is cut; a third never comes
    uint32_t offset;
    win32::UniqueFile stream = Package(list, &offset);
    EXPECT_FALSE(installer::RunPackList(stream.get(), 3, offset, nullptr));
    EXPECT_EQ(50, ftell(stream.get()));
    EXPECT_EQ("first end", probes_.LastLine("first"));
    EXPECT_EQ(std::vector<std::string>{"Setup Error|Error while reading the runpack header !"},
              boxes.Stop());
}

TEST_F(RunPackTest, AFolderThatCannotBeMadeIsReported) {
    std::string missing = dir_ / "no-such-folder";
    SetEnvironmentVariableA("TMP", missing.c_str());
    wintest::BoxWatcher boxes({"RunPack Extraction Error"});
    uint32_t offset;
    win32::UniqueFile stream = Package(probes_.Pack("never", true), &offset);
    EXPECT_FALSE(installer::RunPackList(stream.get(), 1, offset, nullptr));
    EXPECT_EQ(50, ftell(stream.get()));
    std::vector<std::string> answered = boxes.Stop();
    ASSERT_EQ(1u, answered.size());
    EXPECT_EQ(0u, answered[0].find("RunPack Extraction Error|Failed to create directory : " + missing))
        << answered[0];
    EXPECT_NE(std::string::npos, answered[0].find("\\\nGetLastError returned: ")) << answered[0];
    EXPECT_NE("0", answered[0].substr(answered[0].size() - 1));
    EXPECT_EQ(std::vector<std::string>(), probes_.Log("never"));
}
