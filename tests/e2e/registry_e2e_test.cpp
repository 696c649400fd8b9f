// The registry entries of a package and the uninstall registration, through
// the real setup.exe: the imported values with their exact types and data,
// the Uninstall entry, and the keys and value names uninst.log lists.
#include <windows.h>
#include <shlwapi.h>

#include "tests/e2e/setup_fixture.h"
#include "tests/support/test_log.h"
#include "tests/support/same_bytes.h"
#include "tests/support/test_registry.h"
#include "uninstall_log/wendlo.h"

namespace {

constexpr char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct Value {
    DWORD type = 0;
    testpkg::Bytes data;
};

Value Query(HKEY root, const std::string& key, const char* name) {
    Value v;
    BYTE data[512];
    DWORD size = sizeof data;
    if (SHGetValueA(root, key.c_str(), name, &v.type, data, &size) == ERROR_SUCCESS)
        v.data.assign(data, data + size);
    return v;
}

testpkg::Bytes Sz(const std::string& text) {
    return testpkg::Bytes(text.c_str(), text.c_str() + text.size() + 1);
}

class RegistryE2E : public e2e::SetupTest {
  protected:
    void SetUp() override {
        e2e::SetupTest::SetUp();
        static int counter = 0;
        std::string unique = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        appName_ = "RegApp " + unique;
        userKey_ = "Software\\SuiteTests\\registry-" + unique;
        // The parent exists, so that the log lists only the package's keys
        // (a key the import creates on the way is logged too).
        SHSetValueA(HKEY_CURRENT_USER, "Software\\SuiteTests", "", REG_SZ, "", 1);
    }
    void TearDown() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, userKey_.c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstall) + "\\" + appName_).c_str());
    }

    testpkg::PackageBody Package(bool uninstall, bool withRegistry) {
        testpkg::PackageBody body = testpkg::EmptyPackage(appName_.c_str());
        body.header.uninstall = uninstall ? 1 : 0;
        if (!withRegistry) {
            body.header.registryOffset = body.header.registrySize = 0;
            return body;
        }
        std::string text = "REGEDIT4\r\n\r\n"
                           "[HKEY_CURRENT_USER\\" + userKey_ + "]\r\n\"Path\"=\"C:\\\\Apps\\\\Tool\"\r\n"
                           "[HKEY_CURRENT_USER\\" + userKey_ + "]\r\n\"Count\"=dword:0000002a\r\n"
                           "[HKEY_CURRENT_USER\\" + userKey_ + "\\Sub]\r\n@=\"default\"\r\n"
                           "[HKEY_CURRENT_USER\\" + userKey_ + "\\Sub]\r\n\"Blob\"=hex:01,02,ff\r\n";
        body.header.registryOffset = body.Append(text);
        body.header.registrySize = (uint32_t)text.size();
        return body;
    }

    std::vector<std::string> Logged(const std::string& section, const char* prefix) {
        return testpkg::ReadLogList(destDir_ + "\\uninst.log", section, prefix);
    }

    std::string UninstallKey() const { return std::string(kUninstall) + "\\" + appName_; }

    std::string appName_;
    std::string userKey_;
};

}  // namespace

TEST_F(RegistryE2E, EntriesAreImportedRegisteredAndLogged) {
    WritePackage(Package(true, true).Finish());
    StartSetup();
    ASSERT_EQ(1, InstallToDestination()) << TRANSCRIPT();

    Value path = Query(HKEY_CURRENT_USER, userKey_, "Path");
    EXPECT_EQ((DWORD)REG_SZ, path.type);
    EXPECT_TRUE(testpkg::SameBytes(Sz("C:\\Apps\\Tool"), path.data));
    Value count = Query(HKEY_CURRENT_USER, userKey_, "Count");
    EXPECT_EQ((DWORD)REG_DWORD, count.type);
    EXPECT_TRUE(testpkg::SameBytes(testpkg::Bytes{0x2a, 0, 0, 0}, count.data));
    Value blob = Query(HKEY_CURRENT_USER, userKey_ + "\\Sub", "Blob");
    EXPECT_EQ((DWORD)REG_BINARY, blob.type);
    EXPECT_TRUE(testpkg::SameBytes(testpkg::Bytes{1, 2, 0xff}, blob.data));
    EXPECT_TRUE(testpkg::SameBytes(Sz("default"), Query(HKEY_CURRENT_USER, userKey_ + "\\Sub", nullptr).data));

    // The uninstall entry quotes the uninstaller, whose folder may hold spaces.
    EXPECT_TRUE(testpkg::SameBytes(Sz(appName_), Query(HKEY_LOCAL_MACHINE, UninstallKey(), "DisplayName").data));
    EXPECT_TRUE(testpkg::SameBytes(Sz("\"" + destDir_ + "\\drevok.exe\" " + destDir_ + "\\uninst.log"),
                                   Query(HKEY_LOCAL_MACHINE, UninstallKey(), "UninstallString").data));

    EXPECT_EQ((std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + UninstallKey(),
                                        "HKEY_CURRENT_USER\\" + userKey_,
                                        "HKEY_CURRENT_USER\\" + userKey_ + "\\Sub"}),
              Logged("Registry Keys", "RegKey"));
    EXPECT_EQ(testpkg::RegistrationValueNames(), Logged("RegKey1", "Value"));
    EXPECT_EQ((std::vector<std::string>{"Path", "Count"}), Logged("RegKey2", "Value"));
    EXPECT_EQ((std::vector<std::string>{"@", "Blob"}), Logged("RegKey3", "Value"));
    char name[64] = {};
    GetPrivateProfileStringA("main", "AppName", "", name, sizeof name, (destDir_ + "\\uninst.log").c_str());
    EXPECT_EQ(appName_, name);
    // The .reg file went once it was imported.
    EXPECT_FALSE(testpkg::FileExists(destDir_ + "\\" + appName_ + ".reg"));
}

TEST_F(RegistryE2E, WithoutARegistryBlockTheRegistrationIsStillLogged) {
    WritePackage(Package(true, false).Finish());
    StartSetup();
    ASSERT_EQ(1, InstallToDestination()) << TRANSCRIPT();
    EXPECT_EQ((std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + UninstallKey()}),
              Logged("Registry Keys", "RegKey"));
    EXPECT_EQ(testpkg::RegistrationValueNames(), Logged("RegKey1", "Value"));
}

TEST_F(RegistryE2E, WithoutLoggingEntriesAreImportedButNotRegistered) {
    WritePackage(Package(false, true).Finish());
    StartSetup();
    ASSERT_EQ(1, InstallToDestination()) << TRANSCRIPT();
    EXPECT_EQ((DWORD)REG_DWORD, Query(HKEY_CURRENT_USER, userKey_, "Count").type);
    EXPECT_EQ(0u, Query(HKEY_LOCAL_MACHINE, UninstallKey(), "DisplayName").type);
    EXPECT_FALSE(testpkg::FileExists(destDir_ + "\\uninst.log"));
    EXPECT_FALSE(testpkg::FileExists(destDir_ + "\\" + appName_ + ".reg"));
}
