// A package built by zek2dat.dll, with the CRC-32 that DoCrc32 gives for
// setup.inf, is accepted and installed by the real setup.exe.
#include <shlobj.h>
#include <shlwapi.h>

#include "package/bytes.h"
#include "tests/builder/builder_fixture.h"
#include "tests/e2e/setup_fixture.h"
#include "tests/support/same_bytes.h"

namespace {

class BuilderSetupE2E : public e2e::SetupTest {
  protected:
    void SetUp() override {
        e2e::SetupTest::SetUp();
        unique_ = "Built-" + std::to_string(GetCurrentProcessId());
        linkFolder_ = testpkg::SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + unique_;
    }
    void TearDown() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, ("Software\\SuiteTests\\" + unique_).c_str());
        testpkg::RemoveTree(linkFolder_);
    }

    buildtest::Zek2DatDll dll_;
    std::string unique_;
    std::string linkFolder_;
};

}  // namespace

TEST_F(BuilderSetupE2E, BuiltPackageInstallsWithoutMessages) {
    ASSERT_TRUE(dll_.loaded());
    std::string src = root_ / "src";
    ASSERT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
    ASSERT_TRUE(testpkg::WriteFileBytes(src + "\\app.exe", buildtest::Pattern(9000, 1)));
    ASSERT_TRUE(testpkg::WriteFileBytes(src + "\\empty.txt", {}));
    ASSERT_TRUE(testpkg::WriteFileBytes(root_ / "licence.txt", {'O', 'K'}));

    builder::Project p = {};
    p.header = testproj::Header("Built App");
    p.header.licenceFlag = 1;
    package::CopyText(p.header.licencePath, 256, (root_ / "licence.txt").c_str());
    p.groups = {testproj::Group("Program", 0x11, src)};
    p.setupTypes = {testproj::SetupType("Typical", 1)};
    p.desktopLinks = {testproj::Folder(unique_.c_str(), unique_.c_str(), 1),
                      testproj::Shortcut("App", (unique_ + "\\App").c_str(), "app.exe", 0, 1)};
    p.registry = {testproj::Reg(0x80000001, 0, "Software\\SuiteTests\\" + unique_, "Path", "C:\\x")};
    p.afterPacks = {testproj::Pack("Run", src + "\\app.exe", 0, 1)};
    std::string project = root_ / "project.zek";
    ASSERT_TRUE(testpkg::WriteFileBytes(project, testproj::Encode(p)));

    std::string package = packageDir_ + "\\setup.dat";
    ASSERT_EQ(1, dll_.zek2dat(project.c_str(), package.c_str()));
    DWORD crc = dll_.doCrc32(package.c_str());
    ASSERT_NE(0u, crc);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(crc) + "\r\n");

    StartSetup();
    CreateDirectoryA(destDir_.c_str(), nullptr);
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerLicence()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions(destDir_)) << TRANSCRIPT();
    EXPECT_NE("<no box>", AnswerFinalMessage()) << TRANSCRIPT();
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Installation Error")) << TRANSCRIPT();
    EXPECT_TRUE(testpkg::SameBytes(buildtest::Pattern(9000, 1), testpkg::ReadFileBytes(destDir_ + "\\app.exe")));
    EXPECT_TRUE(testpkg::FileExists(destDir_ + "\\empty.txt"));
    EXPECT_TRUE(testpkg::FileExists(linkFolder_ + "\\App.lnk"));
    char data[16] = {};
    DWORD size = sizeof data;
    EXPECT_EQ(ERROR_SUCCESS, SHGetValueA(HKEY_CURRENT_USER, ("Software\\SuiteTests\\" + unique_).c_str(),
                                         "Path", nullptr, data, &size));
    EXPECT_STREQ("C:\\x", data);
    // The after pack's program is no program: it fails silently, its files go.
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
}
