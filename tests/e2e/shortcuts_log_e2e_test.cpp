// setup.exe making shortcuts and keeping the uninstall log under Wine: the
// .lnk files land in the prefix's desktop and Start-menu Programs folders
// with the installed files as targets (read back through the shell link
// object), and uninst.log, read through wendlo.dll, lists what was made in
// the order it was made.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "tests/e2e/setup_fixture.h"
#include "tests/support/test_log.h"
#include "tests/support/test_registry.h"
#include "uninstall_log/wendlo.h"

using testpkg::Link;
using testpkg::TextBytes;

namespace {

using Names = std::vector<std::string>;

constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

class ShortcutsLogE2E : public e2e::SetupTest {
  protected:
    void SetUp() override {
        e2e::SetupTest::SetUp();
        desktop_ = testpkg::SpecialFolder(CSIDL_DESKTOPDIRECTORY);
        programs_ = testpkg::SpecialFolder(CSIDL_PROGRAMS);
        ASSERT_FALSE(desktop_.empty());
        ASSERT_FALSE(programs_.empty());
        // Texts with a space, "=", ";" and "[" must come back from the log
        // unchanged.
        destDir_ = root_ / "Dest = 1; [x]";
        log_ = destDir_ + "\\uninst.log";
    }
    void TearDown() override {
        // Everything named unique_, or unique_ followed by "-" or ".".
        for (const std::string& base : {desktop_, programs_}) {
            for (const std::string& name : testpkg::ListDir(base)) {
                std::string rest = name.substr(0, unique_.size()) == unique_
                                       ? name.substr(unique_.size()) + "."
                                       : "";
                std::string path = base + "\\" + name;
                if ((rest[0] == '-' || rest[0] == '.') && !DeleteFileA(path.c_str()))
                    testpkg::RemoveTree(path);
            }
        }
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + unique_).c_str());
    }

    // A package named unique_ (so its uninstall entry is the test's own)
    // with a readme and no registry entries of its own.
    testpkg::PackageBody Package(bool keepLog) {
        testpkg::PackageBody body = testpkg::EmptyPackage(unique_.c_str());
        body.header.registryOffset = body.header.registrySize = 0;
        body.header.uninstall = keepLog ? 1 : 0;
        body.SetReadme("read me\n");
        return body;
    }

    // Runs the package to its end, declining to view the readme.
    void Install(const testpkg::PackageBody& body, int typeIndex) {
        WritePackage(body.Finish());
        ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
        StartSetup();
        ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
        ASSERT_TRUE(AnswerOptions(destDir_, typeIndex)) << TRANSCRIPT();
        ASSERT_TRUE(AnswerReadme(false)) << TRANSCRIPT();
        ASSERT_NE("<no box>", AnswerFinalMessage()) << TRANSCRIPT();
        ASSERT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
    }

    Names Logged(const char* section, const char* prefix) const {
        return testpkg::ReadLogList(log_, section, prefix);
    }

    // Where text stands in the log file as stored.
    size_t LogPosition(const std::string& text) const {
        testpkg::Bytes bytes = testpkg::ReadFileBytes(log_);
        return std::string(bytes.begin(), bytes.end()).find(text);
    }

    std::string desktop_, programs_;
    std::string log_;
};

}  // namespace

// Two types, the chosen one leaving out the third group. The desktop block
// holds a folder record, then its shortcut, records of the left-out group,
// a folder record without a path and a shortcut directly on the desktop; the
// Start-menu block a folder and two shortcuts.
TEST_F(ShortcutsLogE2E, ChosenTypesLinksAndEverythingInstalledAreLoggedInOrder) {
    testpkg::PackageBody body = Package(true);
    body.AddGroup(0x11, {{"app.exe", testpkg::Pattern(3000, 1)}, {"help.txt", TextBytes("help")}});
    body.AddGroup(0x19, {{"tool.exe", testpkg::Pattern(10, 2)}}, "tools");
    body.AddGroup(0x19, {{"extra.txt", TextBytes("extra")}}, "extras");
    body.AddSetupType("Full", 0x7);
    body.AddSetupType("Compact", 0x3);
    body.SetLinks(
        true,
        {Link(1, 0, 0, "", "", unique_), Link(1, 0xFF, 0, "App", "app.exe", unique_),
         Link(1, 0xFF, 2, "Extra", "extra.txt", unique_), Link(1, 0, 2, "", "", unique_ + "-extra"),
         Link(1, 0, 0, "", "", ""), Link(1, 0xFF, 1, unique_, "tool.exe", "")});
    body.SetLinks(false,
                  {Link(0, 0, 1, "", "", unique_), Link(0, 0xFF, 1, "Tool", "tool.exe", unique_),
                   Link(0, 0xFF, 0, "Help", "help.txt", unique_)});
    Install(body, 1);

    std::string onDesktop = desktop_ + "\\" + unique_, inPrograms = programs_ + "\\" + unique_;
    std::string app = destDir_ + "\\app.exe", help = destDir_ + "\\help.txt",
                tool = destDir_ + "\\tools\\tool.exe";
    EXPECT_EQ(Names{"App.lnk"}, testpkg::ListDir(onDesktop));
    EXPECT_EQ((Names{"Help.lnk", "Tool.lnk"}), testpkg::ListDir(inPrograms));
    EXPECT_FALSE(testpkg::FileExists(onDesktop + "-extra"));
    EXPECT_EQ(0, _stricmp(app.c_str(), testpkg::ShellLinkTarget(onDesktop + "\\App.lnk").c_str()));
    EXPECT_EQ(0, _stricmp(tool.c_str(), testpkg::ShellLinkTarget(onDesktop + ".lnk").c_str()));
    EXPECT_EQ(0, _stricmp(tool.c_str(), testpkg::ShellLinkTarget(inPrograms + "\\Tool.lnk").c_str()));
    EXPECT_EQ(0, _stricmp(help.c_str(), testpkg::ShellLinkTarget(inPrograms + "\\Help.lnk").c_str()));
    EXPECT_EQ((Names{"app.exe", "extras", "help.txt", "readme.txt", "tools", "uninst.log"}),
              testpkg::ListDir(destDir_));
    EXPECT_EQ(Names(), testpkg::ListDir(destDir_ + "\\extras"));

    // Every group's subfolder (the left-out one's too), then the folders of
    // the links; every installed file, then the readme.
    EXPECT_EQ((Names{destDir_ + "\\tools", destDir_ + "\\extras", onDesktop, inPrograms}),
              Logged("CreatedDirs", "Dir"));
    EXPECT_EQ((Names{app, help, tool, destDir_ + "\\readme.txt"}), Logged("CopiedFiles", "File"));
    EXPECT_EQ((Names{onDesktop + "\\App.lnk", onDesktop + ".lnk", inPrograms + "\\Tool.lnk",
                     inPrograms + "\\Help.lnk"}),
              Logged("ShellLinks", "Link"));
    EXPECT_EQ(Names(), Logged("InstalledDLLs", "DLL"));
    EXPECT_EQ(Names(), Logged("OLEFiles", "OLE"));
    // A folder is recorded before the link made in it.
    EXPECT_LT(LogPosition("=" + onDesktop + "\r\n"), LogPosition("=" + onDesktop + "\\App.lnk"));
    EXPECT_LT(LogPosition("=" + inPrograms + "\r\n"), LogPosition("=" + inPrograms + "\\Tool.lnk"));

    // The uninstall entry is logged after the profile writer set AppName.
    char appName[64] = {};
    GetPrivateProfileStringA("main", "AppName", "", appName, sizeof appName, log_.c_str());
    EXPECT_EQ(unique_, appName);
    EXPECT_EQ(Names{"HKEY_LOCAL_MACHINE\\" + std::string(kUninstallKey) + "\\" + unique_},
              Logged("Registry Keys", "RegKey"));
    EXPECT_EQ(testpkg::RegistrationValueNames(), Logged("RegKey1", "Value"));
}

// Without the log: one type, so every record whose group exists is acted on;
// a shortcut naming a group the package does not have is skipped.
TEST_F(ShortcutsLogE2E, WithoutTheLogLinksAreStillMadeAndNothingIsRecorded) {
    testpkg::PackageBody body = Package(false);
    body.AddGroup(0x11, {{"app.exe", testpkg::Pattern(10, 1)}});
    body.AddGroup(0x19, {{"tool.exe", testpkg::Pattern(20, 2)}}, "bin");
    body.SetLinks(true, {Link(1, 0xFF, 0, unique_, "app.exe", ""),
                         Link(1, 0xFF, 7, unique_ + "-none", "app.exe", "")});
    body.SetLinks(false,
                  {Link(0, 0, 1, "", "", unique_), Link(0, 0xFF, 1, "Tool", "tool.exe", unique_)});
    Install(body, -1);

    EXPECT_EQ(0, _stricmp((destDir_ + "\\app.exe").c_str(),
                          testpkg::ShellLinkTarget(desktop_ + "\\" + unique_ + ".lnk").c_str()));
    EXPECT_FALSE(testpkg::FileExists(desktop_ + "\\" + unique_ + "-none.lnk"));
    EXPECT_EQ(0, _stricmp((destDir_ + "\\bin\\tool.exe").c_str(),
                          testpkg::ShellLinkTarget(programs_ + "\\" + unique_ + "\\Tool.lnk").c_str()));
    EXPECT_EQ((Names{"app.exe", "bin", "readme.txt"}), testpkg::ListDir(destDir_));
    HKEY key = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                           (std::string(kUninstallKey) + "\\" + unique_).c_str(), 0,
                                           KEY_READ, &key));
}
