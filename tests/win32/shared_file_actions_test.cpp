// The install actions of counted files: shared DLLs and self-registering
// servers, with their SharedDLLs counts (a private HKLM per test), the
// version test on real versioned DLLs, the registration calls they record,
// and the replacements and registrations deferred for files that another
// process holds or has loaded.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "installer/shared_file_actions.h"
#include "shared_counts/shared_counts.h"
#include "tests/support/boot_renames.h"
#include "tests/support/private_registry.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "tests/win32/file_holder.h"

using wintest::FileHolder;

namespace {

using Pair = std::pair<std::string, std::string>;

std::string Fixture(const char* name) { return std::string(SUITE_FIXTURE_DIR) + "\\" + name + ".dll"; }

// How MoveFileExA records a file: its NT path.
std::string NtPath(const std::string& path) { return "\\??\\" + path; }

std::string FileText(const std::string& path) {
    testpkg::Bytes bytes = testpkg::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

bool SameBytes(const std::string& path, const char* fixture) {
    return testpkg::ReadFileBytes(path) == testpkg::ReadFileBytes(Fixture(fixture));
}

// Installed and temporary folders with spaces in their names, as
// "Program Files" and "Documents and Settings" have them.
class SharedFileActionsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        tempDir_ = dir_ / "temp dir";
        appDir_ = dir_ / "app dir";
        CreateDirectoryA(tempDir_.c_str(), nullptr);
        CreateDirectoryA(appDir_.c_str(), nullptr);
        tmp_.Set(tempDir_);
        SetEnvironmentVariableA("SUITE_REGISTRATION_LOG", calls_.c_str());
    }
    void TearDown() override {
        testpkg::RemovePendingRenames(dir_.path());
        SetEnvironmentVariableA("SUITE_REGISTRATION_LOG", nullptr);
    }

    // Installs fixture as name, with count as its SharedDLLs value (none
    // for 0); the path of the installed file.
    std::string Installed(const char* fixture, const std::string& name, uint32_t count) {
        std::string path = appDir_ + "\\" + name;
        if (fixture) {
            EXPECT_TRUE(CopyFileA(Fixture(fixture).c_str(), path.c_str(), FALSE));
        }
        if (count) {
            EXPECT_TRUE(shared_counts::WriteSharedCount(path.c_str(), count));
        }
        return path;
    }
    // A new copy of fixture in the temporary folder, as CopyGroup extracts it.
    std::string NewCopy(const char* fixture) {
        char path[MAX_PATH] = {};
        EXPECT_TRUE(GetTempFileNameA(tempDir_.c_str(), "ZKS", 0, path));
        EXPECT_TRUE(CopyFileA(Fixture(fixture).c_str(), path, FALSE));
        return path;
    }
    // The registration calls since the last look.
    std::string TakeCalls() {
        std::string calls = FileText(calls_);
        DeleteFileA(calls_.c_str());
        return calls;
    }
    std::vector<Pair> OurPendingRenames() const {
        std::vector<Pair> ours;
        for (const Pair& pair : testpkg::PendingRenames())
            if (pair.first.find(dir_.path()) != std::string::npos) ours.push_back(pair);
        return ours;
    }
    // The default value of HKLM RunOnce; "<none>" without one.
    static std::string RunOnce() {
        char value[MAX_PATH] = {};
        LONG size = sizeof value;
        if (RegQueryValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                           value, &size) != ERROR_SUCCESS)
            return "<none>";
        return value;
    }

    testpkg::TempDir dir_;
    testpkg::PrivateMachineKey machine_;
    std::string tempDir_, appDir_;
    testpkg::TmpOverride tmp_;
    std::string calls_ = dir_ / "calls.txt";
};

// What an installed copy of each version meets; the count is raised first
// whatever the version test decides.
struct Case {
    const char* installed;  // null: not installed
    uint32_t count;         // 0: no SharedDLLs value
    const char* fresh;
    uint32_t countAfter;
    bool replaced;
};

}  // namespace

TEST_F(SharedFileActionsTest, SharedDllIsCountedThenReplacedUnlessTheInstalledCopyIsNewer) {
    const Case cases[] = {
        {nullptr, 0, "version_1_0_0_4", 1, true},
        {nullptr, 7, "version_1_0_0_4", 1, true},            // a stale count of a deleted file
        {"version_1_0_0_4", 2, "version_1_0_0_5", 3, true},  // older
        {"version_1_0_0_4", 0, "selfreg_1_0_0_4", 1, true},  // same version, never counted
        {"version_2_0", 1, "version_1_0_0_5", 2, false},     // newer
        {"version_none", 1, "version_1_0_0_4", 2, true},     // unversioned
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        std::string dll = Installed(c.installed, "shared" + std::to_string(i) + ".dll", c.count);
        std::string temp = NewCopy(c.fresh);
        EXPECT_TRUE(installer::CopySharedDll(temp.c_str(), dll.c_str()));
        EXPECT_EQ(c.countAfter, shared_counts::ReadSharedCount(dll.c_str()));
        EXPECT_TRUE(SameBytes(dll, c.replaced ? c.fresh : c.installed));
        EXPECT_FALSE(testpkg::FileExists(temp));
    }
    EXPECT_EQ(std::vector<Pair>(), OurPendingRenames());
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tempDir_));
}

// Held open or loaded by another program: counted, and the new copy waits
// in its temporary file for the next start. Nothing is registered later.
TEST_F(SharedFileActionsTest, SharedDllInUseIsCountedAndReplacedAtTheNextStart) {
    for (FileHolder::Mode mode : {FileHolder::kOpen, FileHolder::kLoad}) {
        SCOPED_TRACE(mode);
        std::string dll = Installed("version_1_0_0_4", "busy" + std::to_string(mode) + ".dll", 2);
        std::string temp = NewCopy("version_1_0_0_5");
        {
            FileHolder holder(mode, dll);
            ASSERT_TRUE(holder.holding()) << holder.Transcript();
            EXPECT_TRUE(installer::CopySharedDll(temp.c_str(), dll.c_str()));
        }
        EXPECT_EQ(3u, shared_counts::ReadSharedCount(dll.c_str()));
        EXPECT_TRUE(SameBytes(dll, "version_1_0_0_4"));
        EXPECT_TRUE(SameBytes(temp, "version_1_0_0_5"));
        auto pending = OurPendingRenames();
        EXPECT_NE(pending.end(), std::find(pending.begin(), pending.end(), Pair{NtPath(temp), "!" + NtPath(dll)}));
    }
    EXPECT_EQ(2u, OurPendingRenames().size());
    EXPECT_FALSE(testpkg::FileExists(tempDir_ + "\\reg_oles.bat"));
    EXPECT_EQ("<none>", RunOnce());
}

TEST_F(SharedFileActionsTest, OleServerIsRegisteredWhereItIsPlaced) {
    struct OleCase {
        Case c;
        std::string calls;  // each "%" stands for the installed path
    } cases[] = {
        {{nullptr, 0, "selfreg_1_0_0_4", 1, true}, "register 1.0.0.4 %\n"},
        // The old copy takes its registration away before the new one adds its own.
        {{"selfreg_1_0_0_4", 2, "selfreg_2_0", 3, true}, "unregister 1.0.0.4 %\nregister 2.0.0.0 %\n"},
        {{"selfreg_2_0", 1, "selfreg_1_0_0_4", 2, false}, ""},  // newer: left as it is
        {{nullptr, 0, "version_2_0", 1, true}, ""},  // no entry points
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i].c;
        std::string dll = Installed(c.installed, "control" + std::to_string(i) + ".dll", c.count);
        std::string temp = NewCopy(c.fresh);
        EXPECT_TRUE(installer::CopyOleServer(temp.c_str(), dll.c_str()));
        EXPECT_EQ(c.countAfter, shared_counts::ReadSharedCount(dll.c_str()));
        EXPECT_TRUE(SameBytes(dll, c.replaced ? c.fresh : c.installed));
        EXPECT_FALSE(testpkg::FileExists(temp));
        std::string calls = cases[i].calls;
        for (size_t at; (at = calls.find('%')) != std::string::npos;) calls.replace(at, 1, dll);
        EXPECT_EQ(calls, TakeCalls());
        EXPECT_EQ(nullptr, GetModuleHandleA(dll.c_str()));
    }
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tempDir_));
    EXPECT_EQ("<none>", RunOnce());
}

// A replaced server is unregistered first; when its successor can neither
// take its place nor wait for the next start (here the new copy is gone),
// the installed copy gets its registration back.
TEST_F(SharedFileActionsTest, OleServerThatCannotBeReplacedIsRegisteredAgain) {
    std::string dll = Installed("selfreg_none", "control.dll", 1);
    EXPECT_FALSE(installer::CopyOleServer((tempDir_ + "\\gone.tmp").c_str(), dll.c_str()));
    EXPECT_EQ("unregister 0.0.0.0 " + dll + "\nregister 0.0.0.0 " + dll + "\n", TakeCalls());
    EXPECT_EQ(2u, shared_counts::ReadSharedCount(dll.c_str()));
    EXPECT_TRUE(SameBytes(dll, "selfreg_none"));
    EXPECT_EQ(std::vector<Pair>(), OurPendingRenames());
}

// Two servers in use: each is unregistered, counted and scheduled, and
// registers at the next start through one line each in reg_oles.bat, which
// keeps the lines of earlier installations; RunOnce names the batch file.
// Both paths are quoted, as they hold spaces.
TEST_F(SharedFileActionsTest, OleServersInUseAreRegisteredAtTheNextStart) {
    std::string batch = tempDir_ + "\\reg_oles.bat";
    ASSERT_TRUE(testpkg::WriteFileBytes(batch, {'r', 'e', 'm', '\r', '\n'}));
    std::string one = Installed("selfreg_1_0_0_4", "one.dll", 1);
    std::string two = Installed("selfreg_1_0_0_4", "two.dll", 0);
    std::string temp1 = NewCopy("selfreg_2_0"), temp2 = NewCopy("selfreg_2_0");
    {
        FileHolder open(FileHolder::kOpen, one), loaded(FileHolder::kLoad, two);
        ASSERT_TRUE(open.holding() && loaded.holding()) << open.Transcript() << loaded.Transcript();
        EXPECT_TRUE(installer::CopyOleServer(temp1.c_str(), one.c_str()));
        EXPECT_TRUE(installer::CopyOleServer(temp2.c_str(), two.c_str()));
    }
    EXPECT_EQ(2u, shared_counts::ReadSharedCount(one.c_str()));
    EXPECT_EQ(1u, shared_counts::ReadSharedCount(two.c_str()));
    EXPECT_EQ("unregister 1.0.0.4 " + one + "\nunregister 1.0.0.4 " + two + "\n", TakeCalls());
    EXPECT_TRUE(SameBytes(one, "selfreg_1_0_0_4"));
    EXPECT_TRUE(SameBytes(temp1, "selfreg_2_0"));
    EXPECT_TRUE(SameBytes(temp2, "selfreg_2_0"));
    EXPECT_EQ((std::vector<Pair>{{NtPath(temp1), "!" + NtPath(one)}, {NtPath(temp2), "!" + NtPath(two)}}),
              OurPendingRenames());
    EXPECT_EQ("rem\r\nregsvr32 /s /c \"" + one + "\"\r\nregsvr32 /s /c \"" + two + "\"\r\n", FileText(batch));
    EXPECT_EQ("\"" + batch + "\"", RunOnce());
}
