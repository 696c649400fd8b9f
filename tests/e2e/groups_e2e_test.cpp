// setup.exe installing file groups under Wine: the chosen setup type's
// groups land byte for byte in their folders and the others not at all,
// files in use wait for the next start, run packs run before and after the
// installation from folders of their own, and a package whose names would
// leave their folder writes nothing outside it.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>

#include "tests/e2e/setup_fixture.h"
#include "tests/support/boot_renames.h"
#include "tests/support/probe_pack.h"
#include "tests/support/same_bytes.h"
#include "win32/unique_handle.h"

using testpkg::Bytes;
using testpkg::TextBytes;

namespace {

using Names = std::vector<std::string>;

std::string WindowsDir() {
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string SystemDir() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

class GroupsE2E : public e2e::SetupTest {
  protected:
    void TearDown() override {
        for (const std::string& path : outside_) DeleteFileA(path.c_str());
        testpkg::RemovePendingRenames(root_.path());
        for (HANDLE event : events_) {
            SetEvent(event);
            CloseHandle(event);
        }
    }

    // A path outside the test folder, removed in TearDown.
    std::string Outside(const std::string& dir, const std::string& name) {
        outside_.push_back(dir + "\\" + name);
        return outside_.back();
    }

    // Runs the package to its end with no question but the options.
    void Install(const testpkg::PackageBody& body, int typeIndex = -1) {
        WritePackage(body.Finish());
        CreateDirectoryA(destDir_.c_str(), nullptr);
        StartSetup();
        ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
        ASSERT_TRUE(AnswerOptions(destDir_, typeIndex)) << TRANSCRIPT();
        ASSERT_NE("<no box>", AnswerFinalMessage()) << TRANSCRIPT();
        ASSERT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
    }

    HANDLE NewEvent(const std::string& name) {
        events_.push_back(CreateEventA(nullptr, TRUE, FALSE, name.c_str()));
        return events_.back();
    }

    // A package of the test's own name that keeps no uninstall log.
    testpkg::PackageBody Package() {
        testpkg::PackageBody body = testpkg::EmptyPackage(unique_.c_str());
        body.header.registryOffset = body.header.registrySize = 0;
        return body;
    }

    std::vector<std::string> outside_;
    std::vector<HANDLE> events_;
};

// Groups of destination kinds 1, 2, 9, 4 and 9, split between two types:
// each run installs exactly one type's groups, skipping the others exactly
// (a skipped group comes first and between installed ones), while the
// subfolders of every group are made.
class ChosenTypeE2E : public GroupsE2E, public ::testing::WithParamInterface<int> {};

struct Expected {
    std::string path;
    const Bytes* data;
    int group;
};

}  // namespace

TEST_P(ChosenTypeE2E, InstallsExactlyTheChosenGroups) {
    const Bytes app = testpkg::Pattern(4097, 1), inWindows = testpkg::Pattern(100, 2),
                big = testpkg::Pattern(8193, 3), one = TextBytes("x"),
                inSystem = testpkg::Pattern(4096, 4), extra = testpkg::Pattern(1, 5), empty;
    std::string windowsFile = Outside(WindowsDir(), unique_ + ".txt");
    std::string systemFile = Outside(SystemDir(), unique_ + ".dat");
    testpkg::PackageBody body = Package();
    body.AddGroup(0x11, {{"app.exe", app}, {"empty.dat", empty}});
    body.AddGroup(0x12, {{unique_ + ".txt", inWindows}});
    body.AddGroup(0x19, {{"big.bin", big}, {"one.txt", one}}, "data");
    body.AddGroup(0x14, {{unique_ + ".dat", inSystem}});
    body.AddGroup(0x19, {{"extra.txt", extra}}, "extras");
    body.AddSetupType("Main", 0x0D);    // groups 0, 2, 3
    body.AddSetupType("Others", 0x12);  // groups 1, 4
    const uint32_t masks[] = {0x0D, 0x12};
    Install(body, GetParam());

    const Expected files[] = {{destDir_ + "\\app.exe", &app, 0},
                              {destDir_ + "\\empty.dat", &empty, 0},
                              {windowsFile, &inWindows, 1},
                              {destDir_ + "\\data\\big.bin", &big, 2},
                              {destDir_ + "\\data\\one.txt", &one, 2},
                              {systemFile, &inSystem, 3},
                              {destDir_ + "\\extras\\extra.txt", &extra, 4}};
    for (const Expected& file : files) {
        SCOPED_TRACE(file.path);
        if (masks[GetParam()] & (1u << file.group))
            EXPECT_TRUE(testpkg::SameBytes(*file.data, testpkg::ReadFileBytes(file.path)));
        else
            EXPECT_FALSE(testpkg::FileExists(file.path));
    }
    Names inDest =
        GetParam() == 0 ? Names{"app.exe", "data", "empty.dat", "extras"} : Names{"data", "extras"};
    EXPECT_EQ(inDest, testpkg::ListDir(destDir_));
    EXPECT_EQ(Names(), TempFiles());
}

INSTANTIATE_TEST_SUITE_P(BothTypes, ChosenTypeE2E, ::testing::Values(0, 1));

// Files held open without write sharing (by this process, as a program in
// use would) keep their contents; each new copy waits in a temporary file of
// its own for the rename at the next start (a MoveFileExA pending rename on
// the NT family, which Wine reports). The free file between them is
// installed.
TEST_F(GroupsE2E, FilesInUseWaitForTheNextStart) {
    ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
    std::string one = destDir_ + "\\one.dll", two = destDir_ + "\\two.dll";
    ASSERT_TRUE(testpkg::WriteFileBytes(one, TextBytes("old one")));
    ASSERT_TRUE(testpkg::WriteFileBytes(two, TextBytes("old two")));
    win32::UniqueHandle heldOne(CreateFileA(one.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    win32::UniqueHandle heldTwo(CreateFileA(two.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(heldOne && heldTwo);

    const Bytes newOne = testpkg::Pattern(5000, 1), newTwo = testpkg::Pattern(300, 2);
    testpkg::PackageBody body = Package();
    body.AddGroup(0x11,
                  {{"one.dll", newOne}, {"free.txt", TextBytes("free")}, {"two.dll", newTwo}});
    Install(body);

    EXPECT_TRUE(testpkg::SameBytes(TextBytes("old one"), testpkg::ReadFileBytes(one)));
    EXPECT_TRUE(testpkg::SameBytes(TextBytes("old two"), testpkg::ReadFileBytes(two)));
    EXPECT_TRUE(testpkg::SameBytes(TextBytes("free"), testpkg::ReadFileBytes(destDir_ + "\\free.txt")));
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Error while")) << TRANSCRIPT();

    std::vector<std::pair<std::string, std::string>> pending;
    for (const auto& pair : testpkg::PendingRenames())
        if (pair.second.find(destDir_) != std::string::npos) pending.push_back(pair);
    ASSERT_EQ(2u, pending.size());
    EXPECT_EQ("!\\??\\" + one, pending[0].second);
    EXPECT_EQ("!\\??\\" + two, pending[1].second);
    // The sources are setup's temporary files, still holding the new copies.
    Names sources;
    for (const auto& pair : pending) {
        std::string source = pair.first.substr(4);
        EXPECT_EQ(0, _strnicmp(source.c_str(), (tempDir_ + "\\").c_str(), tempDir_.size() + 1))
            << source;
        sources.push_back(source.substr(source.find_last_of('\\') + 1));
    }
    EXPECT_TRUE(testpkg::SameBytes(newOne, testpkg::ReadFileBytes(pending[0].first.substr(4))));
    EXPECT_TRUE(testpkg::SameBytes(newTwo, testpkg::ReadFileBytes(pending[1].first.substr(4))));
    // Nothing else is left there: the free file's copy and the package went.
    std::sort(sources.begin(), sources.end());
    EXPECT_NE(sources[0], sources[1]);
    EXPECT_EQ(sources, TempFiles());
}

// Unattended, what the exit code tells beyond "done": a file in use that
// waits for the next start (2), and a group that could not be installed,
// whose copy error is in the log (0).
TEST_F(GroupsE2E, UnattendedExitCodesTellARestartOrACopyError) {
    ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
    std::string held = destDir_ + "\\held.dll", log = root_ / "log.txt";
    ASSERT_TRUE(testpkg::WriteFileBytes(held, TextBytes("old")));
    win32::UniqueHandle holder(CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder);
    std::string switches = "/S /LOG=\"" + log + "\" /D=" + destDir_;
    testpkg::PackageBody inUse = Package();
    inUse.AddGroup(0x11, {{"held.dll", TextBytes("new")}});
    WritePackage(inUse.Finish());
    EXPECT_EQ(2, RunUnattended(switches)) << TRANSCRIPT();

    testpkg::PackageBody refused = Package();
    refused.AddGroup(0x11, {{"..\\escape.txt", TextBytes("out")}});
    WritePackage(refused.Finish());
    EXPECT_EQ(0, RunUnattended(switches)) << TRANSCRIPT();
    EXPECT_TRUE(NoWindowSeen()) << TRANSCRIPT();
    std::string final = "Vornel Setup: Installation of Setup of " + unique_ +
                        " version 1.0 has been completed successfuly. Goodbye !\r\n";
    Bytes logged = testpkg::ReadFileBytes(log);
    EXPECT_EQ(final + "Vornel Setup: Error while copyying file :   " + destDir_ + "\\..\\escape.txt\r\n" + final,
              std::string(logged.begin(), logged.end()));
}

// Before the options a waited pack runs and is gone, then two background
// packs whose files share their names run on from folders of their own;
// after the installation a failing and a missing program are survived in
// silence. Nothing stays in the temporary folder.
TEST_F(GroupsE2E, RunPacksRunBesideTheirFilesAndLeaveNothing) {
    testpkg::ProbePacks probes(std::string(SUITE_FIXTURE_DIR) + "\\runpack_probe.exe",
                               root_.path());
    ASSERT_TRUE(probes.HasProgram());
    std::string releaseName = unique_ + "-release";
    HANDLE release = NewEvent(releaseName);
    testpkg::PackageBody body = Package();
    body.AddGroup(0x11, {{"app.txt", TextBytes("app")}});
    body.SetRunPacks(
        true, {probes.Pack("first", true, "", {{"first.txt", TextBytes("1")}}),
               probes.Pack("second", false, releaseName, {{"data.txt", TextBytes("second data")}}),
               probes.Pack("third", false, releaseName, {{"data.txt", TextBytes("third data")}})});
    body.SetRunPacks(false, {probes.Pack("last", true, "", {}, 3),
                             testpkg::RunPackBlock("absent.exe", true, {{"lost.txt", {}}})});
    WritePackage(body.Finish());
    ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    HWND options = driver_.WaitWindow("Installation Options");
    ASSERT_TRUE(options) << TRANSCRIPT();

    EXPECT_EQ((Names{"first.txt", "probe.exe", "probe.ini"}), probes.FilesSeen("first"));
    EXPECT_EQ("first end", probes.LastLine("first"));
    EXPECT_EQ(0, _strnicmp(probes.FolderSeen("first").c_str(), (tempDir_ + "\\zkd").c_str(),
                           tempDir_.size() + 4))
        << probes.FolderSeen("first");
    EXPECT_FALSE(testpkg::FileExists(probes.FolderSeen("first")));
    // The held background programs: one folder each, each with its own data.
    Names folders, data;
    for (const std::string& name : TempFiles()) {
        std::string path = tempDir_ + "\\" + name;
        if (!(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)) continue;
        folders.push_back(path);
        EXPECT_EQ((Names{"data.txt", "probe.exe", "probe.ini"}), testpkg::ListDir(path));
        Bytes bytes = testpkg::ReadFileBytes(path + "\\data.txt");
        data.emplace_back(bytes.begin(), bytes.end());
    }
    std::sort(data.begin(), data.end());
    EXPECT_EQ((Names{"second data", "third data"}), data);
    EXPECT_TRUE(probes.Log("last").empty());

    // Released, they end and their folders go while setup still runs.
    SetEvent(release);
    for (const std::string& folder : folders) EXPECT_TRUE(testpkg::WaitUntilGone(folder)) << folder;
    ASSERT_TRUE(AnswerOptions(destDir_)) << TRANSCRIPT();
    EXPECT_NE("<no box>", AnswerFinalMessage()) << TRANSCRIPT();
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();

    for (const char* name : {"second", "third"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ((Names{"data.txt", "probe.exe", "probe.ini"}), probes.FilesSeen(name));
        EXPECT_EQ(std::string(name) + " end", probes.LastLine(name));
    }
    EXPECT_NE(probes.FolderSeen("second"), probes.FolderSeen("third"));
    EXPECT_EQ((Names{"probe.exe", "probe.ini"}), probes.FilesSeen("last"));
    EXPECT_EQ("last end", probes.LastLine("last"));
    EXPECT_TRUE(testpkg::SameBytes(TextBytes("app"), testpkg::ReadFileBytes(destDir_ + "\\app.txt")));
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Setup Error")) << TRANSCRIPT();
    EXPECT_EQ(Names(), TempFiles());
}

// A group whose folder cannot be made (a file holds its name) loses its
// files without a word and leaves no temporary copy. A file name that climbs
// out of its group's folder is refused with the copy error before any file
// of its group is written; the remaining groups are given up, the sequence
// still completes. A skipped group whose subfolder would climb out makes no
// folder either.
TEST_F(GroupsE2E, UnusableFoldersAndNamesLeavingThemWriteNothingOutside) {
    testpkg::PackageBody body = Package();
    body.AddGroup(0x19, {{"x.txt", TextBytes("x")}}, "..\\up");
    body.AddGroup(0x19, {{"lost.txt", TextBytes("lost")}}, "blocked");
    body.AddGroup(0x11, {{"ok.txt", TextBytes("ok")}, {"..\\escape.txt", TextBytes("out")}});
    body.AddGroup(0x11, {{"later.txt", TextBytes("later")}});
    body.AddSetupType("Main", 0x0E);
    body.AddSetupType("Other", 0x01);
    WritePackage(body.Finish());
    ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
    ASSERT_TRUE(testpkg::WriteFileBytes(destDir_ + "\\blocked", TextBytes("a file")));
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions(destDir_, 0)) << TRANSCRIPT();
    // While the error is shown the status window still names the last file
    // extracted, with its bar full.
    HWND status = driver_.WaitWindow("Setup Status");
    ASSERT_TRUE(status) << TRANSCRIPT();
    HWND error = driver_.WaitWindow("Vornel Setup");
    ASSERT_TRUE(error) << TRANSCRIPT();
    EXPECT_EQ(destDir_ + "\\blocked\\lost.txt", driver_.Text(status, 1017));
    DWORD_PTR position = 0;
    SendMessageTimeoutA(GetDlgItem(status, 1016), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 5000,
                        &position);
    EXPECT_EQ(100u, position);
    EXPECT_EQ("Error while copyying file : \n " + destDir_ + "\\..\\escape.txt",
              AnswerBox("Vornel Setup", IDOK));
    EXPECT_EQ(0u, AnswerFinalMessage().find("Installation of ")) << TRANSCRIPT();
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();

    EXPECT_EQ(Names{"blocked"}, testpkg::ListDir(destDir_));
    EXPECT_TRUE(testpkg::SameBytes(TextBytes("a file"), testpkg::ReadFileBytes(destDir_ + "\\blocked")));
    EXPECT_FALSE(testpkg::FileExists(root_ / "escape.txt"));
    EXPECT_FALSE(testpkg::FileExists(root_ / "up"));
    EXPECT_EQ(Names(), TempFiles());
    for (const auto& pair : testpkg::PendingRenames())
        EXPECT_EQ(std::string::npos, pair.second.find(destDir_)) << pair.second;
}
