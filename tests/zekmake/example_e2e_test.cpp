// The example project of make demo, made into a package by the real
// zekmake.exe and installed by the real setup.exe with its Typical setup:
// files, shortcuts, registry values, the uninstall registration and the
// after-install run pack's note land where the description puts them.
#include <shlobj.h>
#include <shlwapi.h>
#include <windows.h>

#include "tests/e2e/setup_fixture.h"
#include "tests/zekmake/zekmake_run.h"

namespace {

constexpr char kExample[] = SUITE_EXAMPLE_DIR;
constexpr char kHelloKey[] = "Software\\Vornel Examples\\Hello";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hello";

std::string TextValue(HKEY root, const char* key, const char* name) {
    char data[512] = {};
    DWORD type = 0, size = sizeof data - 1;
    if (SHGetValueA(root, key, name, &type, data, &size) != ERROR_SUCCESS || type != REG_SZ)
        return "<none>";
    return data;
}

class ExampleE2E : public e2e::SetupTest {
  protected:
    void TearDown() override {
        DeleteFileA((testpkg::SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Hello.lnk").c_str());
        testpkg::RemoveTree(testpkg::SpecialFolder(CSIDL_PROGRAMS) + "\\Vornel Examples");
        SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Vornel Examples");
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    }

    // Installs the package in packageDir_ with the Typical setup and checks
    // what landed.
    void InstallTypical();
};

TEST_F(ExampleE2E, TypicalSetupInstallsWhatTheDescriptionSays) {
    std::string zekmake = std::string(SUITE_BIN_DIR) + "\\zekmake.exe";
    zektest::Run built = zektest::RunProgram(
        zekmake, "\"" + std::string(kExample) + "\\hello.toml\" \"" + packageDir_ + "\"",
        root_.path(), tempDir_);
    ASSERT_EQ(0, built.exitCode) << built.err;
    InstallTypical();
}

#ifdef SUITE_NATIVE_EXAMPLE
// The same package built by the Linux zekmake (native.zekmake_same_bytes).
TEST_F(ExampleE2E, NativelyBuiltPackageInstallsTheSame) {
    for (const char* name : {"setup.exe", "setup.dat", "setup.inf", "zlib.dll", "wendlo.dll"}) {
        std::string from = std::string(SUITE_NATIVE_EXAMPLE) + "\\" + name;
        ASSERT_TRUE(CopyFileA(from.c_str(), (packageDir_ + "\\" + name).c_str(), FALSE)) << from;
    }
    InstallTypical();
}
#endif

void ExampleE2E::InstallTypical() {
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerLicence()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions(destDir_, 0)) << TRANSCRIPT();
    EXPECT_NE(std::string::npos, AnswerBox("Vornel Setup", IDOK).find("does not exist"))
        << TRANSCRIPT();
    ASSERT_TRUE(AnswerReadme(false)) << TRANSCRIPT();
    EXPECT_NE("<no box>", AnswerFinalMessage()) << TRANSCRIPT();
    ASSERT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();

    std::string example = kExample;
    EXPECT_TRUE(testpkg::ReadFileBytes(example + "\\program\\hello.exe") ==
                testpkg::ReadFileBytes(destDir_ + "\\hello.exe"));
    EXPECT_TRUE(testpkg::ReadFileBytes(example + "\\docs\\manual.txt") ==
                testpkg::ReadFileBytes(destDir_ + "\\Manual\\manual.txt"));
    for (const char* name : {"readme.txt", "uninst.log", "wendlo.dll"})
        EXPECT_TRUE(testpkg::FileExists(destDir_ + "\\" + name)) << name;

    std::string menu = testpkg::SpecialFolder(CSIDL_PROGRAMS) + "\\Vornel Examples\\Hello";
    EXPECT_EQ(destDir_ + "\\hello.exe",
              testpkg::ShellLinkTarget(testpkg::SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Hello.lnk"));
    EXPECT_EQ(destDir_ + "\\hello.exe", testpkg::ShellLinkTarget(menu + "\\Hello.lnk"));
    EXPECT_EQ(destDir_ + "\\Manual\\manual.txt", testpkg::ShellLinkTarget(menu + "\\Hello Manual.lnk"));

    EXPECT_EQ("Hello from the installer suite!",
              TextValue(HKEY_CURRENT_USER, kHelloKey, "Greeting"));
    DWORD launches = 7, type = 0, size = sizeof launches;
    EXPECT_EQ(ERROR_SUCCESS,
              SHGetValueA(HKEY_CURRENT_USER, kHelloKey, "Launches", &type, &launches, &size));
    EXPECT_EQ((DWORD)REG_DWORD, type);
    EXPECT_EQ(0u, launches);
    EXPECT_EQ("\"" + destDir_ + "\\drevok.exe\" " + destDir_ + "\\uninst.log",
              TextValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));

    // The after-install pack ran (and was waited for) in setup's temporary folder.
    EXPECT_TRUE(testpkg::ReadFileBytes(example + "\\firstrun\\greeting.txt") ==
                testpkg::ReadFileBytes(tempDir_ + "\\hello-first-run.txt"));
    EXPECT_EQ(std::vector<std::string>{"hello-first-run.txt"}, TempFiles());
}

}  // namespace
