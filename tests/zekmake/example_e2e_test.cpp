// The example project of make demo, made into a package by the real
// zekmake.exe and installed by the real setup.exe with its Typical setup:
// files, shortcuts, registry values, the uninstall registration and the
// after-install run pack's note land where the description puts them.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include "tests/e2e/setup_fixture.h"
#include "tests/support/same_bytes.h"
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

// The first process that parent starts, once it runs; 0 when parent ends
// first or none comes within 20 s.
DWORD ChildOf(DWORD parent) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, parent);
    DWORD child = 0;
    for (int i = 0; process && !child && i < 400; ++i) {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more && !child;
             more = Process32Next(snapshot, &entry))
            if (entry.th32ParentProcessID == parent) child = entry.th32ProcessID;
        CloseHandle(snapshot);
        if (!child && WaitForSingleObject(process, 50) == WAIT_OBJECT_0) break;
    }
    if (process) CloseHandle(process);
    return child;
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

// The same example as one file, started from another folder: its setup.exe
// runs as a child of the one file, whose exit code is setup's, and the
// folder it unpacked into is gone afterwards.
TEST_F(ExampleE2E, SingleFileInstallsFromAnotherFolder) {
    std::string zekmake = std::string(SUITE_BIN_DIR) + "\\zekmake.exe";
    std::string oneFile = root_ / "Hello Setup.exe";
    zektest::Run built = zektest::RunProgram(
        zekmake, "--single-file \"" + std::string(kExample) + "\\hello.toml\" \"" + oneFile + "\"",
        root_.path(), tempDir_);
    ASSERT_EQ(0, built.exitCode) << built.err;

    dlgdrive::Driver stub;
    ASSERT_TRUE(stub.Start(oneFile, "", root_.MakeFolder("elsewhere"),
                           {"TMP=" + tempDir_, "TEMP=" + tempDir_}));
    DWORD setup = ChildOf(stub.ProcessId());
    ASSERT_NE(0u, setup) << stub.Transcript();
    ASSERT_TRUE(driver_.Attach(setup));
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerLicence()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions(destDir_, 1)) << TRANSCRIPT();
    EXPECT_NE(std::string::npos, AnswerBox("Vornel Setup", IDOK).find("does not exist"))
        << TRANSCRIPT();
    ASSERT_TRUE(AnswerReadme(false)) << TRANSCRIPT();
    EXPECT_NE("<no box>", AnswerFinalMessage()) << TRANSCRIPT();
    ASSERT_EQ(1, stub.WaitExit()) << stub.Transcript();

    std::string program = std::string(kExample) + "\\program\\hello.exe";
    EXPECT_TRUE(testpkg::SameBytes(testpkg::ReadFileBytes(program),
                                   testpkg::ReadFileBytes(destDir_ + "\\hello.exe")));
    EXPECT_FALSE(testpkg::FileExists(destDir_ + "\\Manual\\manual.txt"));  // Minimal
    EXPECT_EQ(std::vector<std::string>{"hello-first-run.txt"}, TempFiles());
}

}  // namespace
