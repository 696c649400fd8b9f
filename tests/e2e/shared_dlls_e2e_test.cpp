// Shared DLLs and self-registering servers installed by the real setup.exe:
// their counts in the machine's SharedDLLs key, the registration calls the
// servers record, and the lists of the uninstall log.
#include <windows.h>

#include "tests/e2e/setup_fixture.h"
#include "tests/support/same_bytes.h"
#include "uninstall_log/log_format.h"

namespace {

constexpr char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
constexpr char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

testpkg::Bytes FixtureDll(const std::string& name) {
    return testpkg::ReadFileBytes(std::string(SUITE_FIXTURE_DIR) + "\\" + name + ".dll");
}

std::string FileText(const std::string& path) {
    testpkg::Bytes bytes = testpkg::ReadFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

// The SharedDLLs value named path; -1 when there is none.
int64_t Count(const std::string& path) {
    DWORD count = 0, size = sizeof count;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kSharedDlls, path.c_str(), RRF_RT_REG_DWORD, nullptr, &count,
                     &size) != ERROR_SUCCESS)
        return -1;
    return count;
}

class SharedDllsE2E : public e2e::SetupTest {
  protected:
    void SetUp() override {
        SetupTest::SetUp();
        // The DLL the applications share goes to a folder of the system
        // directory that no other test uses.
        char dir[MAX_PATH] = {};
        GetSystemDirectoryA(dir, MAX_PATH);
        subfolder_ = "suite-shared-" + std::to_string(GetCurrentProcessId());
        sharedDll_ = std::string(dir) + "\\" + subfolder_ + "\\shared.dll";
        control_ = destDir_ + "\\control.dll";
        extraEnv_.push_back("SUITE_REGISTRATION_LOG=" + calls_);
    }
    // setup.exe counts and registers in the machine's own keys, which
    // outlive the test.
    void TearDown() override {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, sharedDll_.c_str());
            RegDeleteValueA(key, control_.c_str());
            RegCloseKey(key);
        }
        for (const std::string& app : apps_)
            RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstall) + "\\" + app).c_str());
        testpkg::RemoveTree(sharedDll_.substr(0, sharedDll_.rfind('\\')));
    }

    // Installs an application, named after name and this test, whose shared
    // DLL is a copy of fixture, with a self-registering server beside it
    // when withControl; its exit code. Its uninstall log is kept.
    int InstallApp(const std::string& name, const char* fixture, bool withControl) {
        apps_.push_back(name + " " + std::to_string(GetCurrentProcessId()));
        testpkg::PackageBody body = testpkg::EmptyPackage(apps_.back().c_str());
        body.header.uninstall = 1;
        body.AddGroup(0x8C, {{"shared.dll", FixtureDll(fixture)}}, subfolder_.c_str());
        if (withControl) body.AddGroup(0x21, {{"control.dll", FixtureDll("selfreg_1_0_0_4")}});
        WritePackage(body.Finish());
        StartSetup();
        return InstallToDestination();
    }
    std::vector<std::string> Logged(const char* section, const char* prefix) const {
        return uninstall_log::ReadList(FileText(destDir_ + "\\uninst.log"), section, prefix);
    }

    std::string subfolder_, sharedDll_, control_;
    std::vector<std::string> apps_;
    std::string calls_ = root_ / "calls.txt";
};

}  // namespace

TEST_F(SharedDllsE2E, DllAndServerAreCountedAndTheServerRegisteredOnce) {
    ASSERT_EQ(1, InstallApp("Shared App", "version_2_0", true)) << TRANSCRIPT();
    EXPECT_TRUE(testpkg::SameBytes(FixtureDll("version_2_0"), testpkg::ReadFileBytes(sharedDll_)));
    EXPECT_TRUE(testpkg::SameBytes(FixtureDll("selfreg_1_0_0_4"), testpkg::ReadFileBytes(control_)));
    EXPECT_EQ(1, Count(sharedDll_));
    EXPECT_EQ(1, Count(control_));
    EXPECT_EQ("register 1.0.0.4 " + control_ + "\n", FileText(calls_));
    EXPECT_EQ(std::vector<std::string>{sharedDll_}, Logged("InstalledDLLs", "DLL"));
    EXPECT_EQ(std::vector<std::string>{control_}, Logged("OLEFiles", "OLE"));
    EXPECT_EQ(std::vector<std::string>(), Logged("CopiedFiles", "File"));
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
}

// The second installation uses the DLL too, but its older copy does not
// replace the installed one.
TEST_F(SharedDllsE2E, ASecondApplicationCountsTheDllAndKeepsTheNewerCopy) {
    ASSERT_EQ(1, InstallApp("First App", "version_2_0", false)) << TRANSCRIPT();
    destDir_ = root_ / "second";
    ASSERT_EQ(1, InstallApp("Second App", "version_1_0_0_5", false)) << TRANSCRIPT();
    EXPECT_EQ(2, Count(sharedDll_));
    EXPECT_TRUE(testpkg::SameBytes(FixtureDll("version_2_0"), testpkg::ReadFileBytes(sharedDll_)));
    EXPECT_EQ(std::vector<std::string>{sharedDll_}, Logged("InstalledDLLs", "DLL"));
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
    EXPECT_FALSE(testpkg::FileExists(calls_));
}
