// The file passes of the uninstaller against real files, folders and
// SharedDLLs counts (a private HKLM per test), with a real progress window.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "tests/support/private_registry.h"
#include "tests/support/test_log.h"
#include "tests/support/test_package.h"
#include "tests/support/test_registry.h"
#include "tests/support/win_test_dir.h"
#include "uninstaller/plain_passes.h"
#include "uninstaller/progress_window.h"
#include "uninstaller/resource.h"
#include "uninstaller/shared_passes.h"

using namespace uninstaller;
using testpkg::FileExists;

namespace {

class RemovalPassTest : public ::testing::Test {
  protected:
    void SetUp() override {
        InitCommonControls();
        progress_ = CreateProgressWindow(GetModuleHandleA(nullptr));
        ASSERT_NE(nullptr, progress_);
        SetStatusText(progress_, "before");
        SetBarPosition(progress_, 42);
    }
    void TearDown() override { DestroyWindow(progress_); }

    std::string MakeFile(const std::string& name) {
        std::string path = dir_ / name;
        EXPECT_TRUE(testpkg::WriteFileBytes(path, testpkg::Bytes(3, 'x')));
        return path;
    }
    std::string Status() {
        char text[256] = {};
        GetDlgItemTextA(progress_, IDC_STATUS, text, sizeof text);
        return text;
    }
    LRESULT Bar() { return SendDlgItemMessageA(progress_, IDC_PROGRESS, PBM_GETPOS, 0, 0); }

    testpkg::TempDir dir_;
    testpkg::TestLog log_{dir_ / "uninst.log"};
    HWND progress_ = nullptr;
};

class SharedPassTest : public RemovalPassTest {
  protected:
    // A file with a count; count 0 writes no entry.
    std::string SharedFile(const std::string& name, DWORD count) {
        std::string path = MakeFile(name);
        if (count) {
            EXPECT_TRUE(testpkg::SetDwordValue(HKEY_LOCAL_MACHINE, testpkg::kSharedDllsKey, path.c_str(), count));
        }
        return path;
    }
    long long Count(const std::string& path) {
        return testpkg::DwordValue(HKEY_LOCAL_MACHINE, testpkg::kSharedDllsKey, path.c_str());
    }

    testpkg::PrivateMachineKey machine_;
    // wendlo.dll has no dialogs: every delete question fails to show.
    HINSTANCE noDialogs_ = GetModuleHandleA("wendlo.dll");
};

}  // namespace

TEST_F(RemovalPassTest, LinksAndCopiedFilesAreDeletedInOrderAndTheBarStopsShortOfTheEnd) {
    struct Pass {
        int kind;
        void (*run)(const char*, HWND);
        const char* status;
    } passes[] = {{5, RemoveLinks, "Now removing links..."},
                  {2, RemoveCopiedFiles, "Now removing copied files..."}};
    for (const Pass& pass : passes) {
        SCOPED_TRACE(pass.status);
        std::string prefix = std::to_string(pass.kind);
        std::vector<std::string> files = {MakeFile(prefix + "a.lnk"), MakeFile(prefix + "b.txt"),
                                          dir_ / (prefix + "never made"), MakeFile(prefix + "d")};
        for (const std::string& f : files) log_.Add(pass.kind, f);
        std::string unrecorded = MakeFile(prefix + "unrecorded");
        pass.run(log_.path().c_str(), progress_);
        for (const std::string& f : files) EXPECT_FALSE(FileExists(f)) << f;
        EXPECT_TRUE(FileExists(unrecorded));
        EXPECT_EQ(pass.status, Status());
        EXPECT_EQ(75, Bar());  // 3 * 100 / 4 after the last of four texts
    }
}

// Folders recorded before their sub-folders, as the installer records them.
TEST_F(RemovalPassTest, CreatedDirsGoWhenEmptyAndTheBarStopsShortOfTheEnd) {
    std::string app = dir_ / "App", data = app + "\\data", cache = data + "\\cache",
                kept = app + "\\kept";
    for (const std::string& d : {app, data, cache, kept}) {
        ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr)) << d;
        log_.Add(1, d);
    }
    std::string unrecorded = MakeFile("App\\kept\\user file");
    RemoveCreatedDirs(log_.path().c_str(), progress_);
    EXPECT_FALSE(FileExists(data));
    EXPECT_TRUE(FileExists(unrecorded));
    EXPECT_TRUE(FileExists(app));  // still holds the kept folder
    EXPECT_EQ("Now removing created directories...", Status());
    EXPECT_EQ(75, Bar());
}

TEST_F(RemovalPassTest, EmptyListLeavesTheWindowAsItWas) {
    log_.Add(4, dir_ / "other list");
    RemoveLinks(log_.path().c_str(), progress_);
    RemoveCopiedFiles(log_.path().c_str(), progress_);
    RemoveCreatedDirs(log_.path().c_str(), progress_);
    RemoveCreatedDirs((dir_ / "no such log").c_str(), progress_);
    EXPECT_EQ("before", Status());
    EXPECT_EQ(42, Bar());
}

TEST_F(SharedPassTest, CountAboveOneIsLoweredAndTheFileStays) {
    std::string dll = SharedFile("three.dll", 3), ole = SharedFile("two.ocx", 2);
    log_.Add(3, dll);
    log_.Add(4, ole);
    EXPECT_EQ(PassEnd::kCompleted, RemoveInstalledDlls(log_.path().c_str(), progress_, noDialogs_));
    EXPECT_EQ("Now removing installed DLLs", Status());
    EXPECT_EQ(0, Bar());
    SetStatusText(progress_, "after DLLs");
    EXPECT_EQ(PassEnd::kCompleted, RemoveOleFiles(log_.path().c_str(), progress_, noDialogs_));
    EXPECT_EQ("after DLLs", Status());  // the OLE pass shows nothing of its own
    EXPECT_EQ(2, Count(dll));
    EXPECT_EQ(1, Count(ole));
    EXPECT_TRUE(FileExists(dll));
    EXPECT_TRUE(FileExists(ole));
}

// A missing entry reads as 0: lowering it would write 0xFFFFFFFF.
TEST_F(SharedPassTest, CountZeroKeepsTheFileAndWritesNothing) {
    std::string dll = SharedFile("uncounted.dll", 0), ole = SharedFile("uncounted.ocx", 0);
    log_.Add(3, dll);
    log_.Add(4, ole);
    RemoveInstalledDlls(log_.path().c_str(), progress_, noDialogs_);
    RemoveOleFiles(log_.path().c_str(), progress_, noDialogs_);
    EXPECT_TRUE(FileExists(dll));
    EXPECT_TRUE(FileExists(ole));
    EXPECT_EQ(std::vector<std::string>(), testpkg::ValueNames(HKEY_LOCAL_MACHINE, testpkg::kSharedDllsKey));
}

// Unattended (drevok /S) nobody is asked: the last use of each file deletes
// it and its count, as a Yes would. (Asked, these files would stay: this
// instance has no question dialog.)
TEST_F(SharedPassTest, UnaskedTheLastUseDeletesEveryFile) {
    std::string first = SharedFile("first.dll", 1), second = SharedFile("second.dll", 1);
    log_.Add(3, first);
    log_.Add(3, second);
    EXPECT_EQ(PassEnd::kCompleted,
              RemoveInstalledDlls(log_.path().c_str(), progress_, noDialogs_, false));
    for (const std::string& f : {first, second}) {
        EXPECT_FALSE(FileExists(f)) << f;
        EXPECT_EQ(-1, Count(f)) << f;
    }
}

// A question that cannot be shown answers -1, whose high half must not be
// taken for a ticked Always box: the second file would then go unasked.
TEST_F(SharedPassTest, QuestionThatCannotBeShownKeepsEveryFile) {
    std::string first = SharedFile("first.dll", 1), second = SharedFile("second.dll", 1);
    log_.Add(3, first);
    log_.Add(3, second);
    EXPECT_EQ(PassEnd::kCompleted, RemoveInstalledDlls(log_.path().c_str(), progress_, noDialogs_));
    for (const std::string& f : {first, second}) {
        EXPECT_TRUE(FileExists(f)) << f;
        EXPECT_EQ(1, Count(f)) << f;
    }
}
