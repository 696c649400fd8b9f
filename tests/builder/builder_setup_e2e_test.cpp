// A package built by zek2dat.dll, with the CRC-32 that DoCrc32 gives for
// setup.inf, is accepted by the real setup.exe.
#include "package/bytes.h"
#include "tests/builder/builder_fixture.h"
#include "tests/e2e/setup_fixture.h"

namespace {

class BuilderSetupE2E : public e2e::SetupTest {
  protected:
    buildtest::Zek2DatDll dll_;
};

}  // namespace

TEST_F(BuilderSetupE2E, BuiltPackageStartsWithoutMessages) {
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
    p.desktopLinks = {testproj::Shortcut("App", "App", "app.exe", 0, 1)};
    p.registry = {testproj::Reg(0x80000001, 0, "Software\\Built", "Path", "C:\\x")};
    p.afterPacks = {testproj::Pack("Run", src + "\\app.exe", 0, 1)};
    std::string project = root_ / "project.zek";
    ASSERT_TRUE(testpkg::WriteFileBytes(project, testproj::Encode(p)));

    std::string package = packageDir_ + "\\setup.dat";
    ASSERT_EQ(1, dll_.zek2dat(project.c_str(), package.c_str()));
    DWORD crc = dll_.doCrc32(package.c_str());
    ASSERT_NE(0u, crc);
    WriteSettings("[main]\r\nCRC32=" + std::to_string(crc) + "\r\n");

    StartSetup();
    EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Installation Error")) << TRANSCRIPT();
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
}
