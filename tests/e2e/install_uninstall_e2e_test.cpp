// A package with every kind of item installed by the real setup.exe into a
// folder whose path has blanks, then uninstalled by the real drevok.exe
// started as Windows' list of installed programs starts it: the registered
// command as CreateProcess's command line.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

#include "package/bytes.h"
#include "package/records.h"
#include "tests/e2e/uninstall_fixture.h"
#include "tests/support/boot_renames.h"
#include "tests/support/test_package.h"
#include "tests/support/test_registry.h"

using testpkg::FileExists;
using testpkg::KeyExists;

namespace {

using Names = std::vector<std::string>;

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

testpkg::Bytes BinFile(const char* name) {
    return testpkg::ReadFileBytes(std::string(SUITE_BIN_DIR) + "\\" + name);
}

testpkg::Bytes FixtureFile(const char* name) {
    return testpkg::ReadFileBytes(std::string(SUITE_FIXTURE_DIR) + "\\" + name + ".dll");
}

package::LinkRecord Link(bool desktop, uint8_t kind, const char* name, const std::string& folder) {
    package::LinkRecord r = {};
    r.desktopFlag = desktop;
    r.entryKind = kind;
    strcpy(r.linkName, name);
    strcpy(r.targetName, kind ? "app.exe" : "");
    strcpy(r.folderPath, folder.c_str());
    return r;
}

class InstallUninstallE2E : public e2e::UninstallTest {
  protected:
    void SetUp() override {
        UninstallTest::SetUp();
        static int counter = 0;
        // Short enough for the header's 23 characters with " Second" added.
        appName_ = "Full " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
        destDir_ = root_ / "Program Files Full App";
        sharedDir_ = testpkg::SpecialFolder(CSIDL_SYSTEM) + "\\" + appName_;
    }
    void TearDown() override {
        for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS})
            testpkg::RemoveTree(testpkg::SpecialFolder(csidl) + "\\" + appName_);
        testpkg::RemoveTree(sharedDir_);
        for (const char* name : {"", " Second"})
            SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + appName_ + name).c_str());
        UninstallTest::TearDown();
    }

    // Files with the uninstaller in the destination and in a sub-folder,
    // desktop and Start-menu shortcuts, and registry entries.
    testpkg::PackageBody FullPackage() {
        testpkg::PackageBody body = testpkg::EmptyPackage(appName_.c_str());
        body.header.uninstall = 1;
        body.AddGroup(0x11, {{"drevok.exe", BinFile("drevok.exe")},
                             {"wendlo.dll", BinFile("wendlo.dll")},
                             {"app.exe", testpkg::Pattern(300, 1)}});
        body.AddGroup(0x19, {{"tool.exe", testpkg::Pattern(200, 2)}}, "bin");
        for (bool desktop : {true, false})
            body.SetLinks(desktop, {Link(desktop, 0, "", appName_), Link(desktop, 0xFF, "Full App", appName_)});
        body.SetRegistryText("REGEDIT4\r\n\r\n[" + RecordedUserKey("Settings") +
                             "]\r\n\"Name\"=\"value\"\r\n@=\"default\"\r\n[" +
                             RecordedUserKey("Settings\\Deep") + "]\r\n\"X\"=\"x\"\r\n");
        return body;
    }

    // The registered command, as the list of installed programs runs it.
    std::string UninstallString(const std::string& appName, const char* value = "UninstallString") {
        char command[1024] = {};
        DWORD size = sizeof command;
        SHGetValueA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\" + appName).c_str(),
                    value, nullptr, command, &size);
        return command;
    }

    // The registered quiet command run as Windows runs it; its exit code.
    int UninstallQuietly() {
        StartUninstallCommand(UninstallString(appName_, "QuietUninstallString"));
        int code = driver_.WaitExit();
        WaitForRemovalCopy();
        return code;
    }

    std::string appName_, sharedDir_;
};

}  // namespace

TEST_F(InstallUninstallE2E, EverythingRecordedGoesAndEverythingElseStays) {
    WritePackage(FullPackage().Finish());
    StartSetup();
    ASSERT_EQ(1, InstallToDestination()) << TRANSCRIPT();
    ASSERT_EQ(Names{"X"}, testpkg::ValueNames(HKEY_CURRENT_USER, UserKey("Settings\\Deep")));  // imported
    ASSERT_TRUE(FileExists(testpkg::SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + appName_ + "\\Full App.lnk"));
    MakeFile(destDir_ + "\\user notes.txt");

    std::string command = UninstallString(appName_);
    EXPECT_EQ("\"" + destDir_ + "\\drevok.exe\" " + destDir_ + "\\uninst.log", command);
    StartUninstallCommand(command);
    AnswerConfirmation(appName_, IDYES);
    EXPECT_EQ(1, FinishRun(appName_)) << TRANSCRIPT();
    WaitForRemovalCopy();

    EXPECT_EQ((Names{"user notes.txt"}), testpkg::ListDir(destDir_));
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS})
        EXPECT_FALSE(FileExists(testpkg::SpecialFolder(csidl) + "\\" + appName_)) << csidl;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UserKey("Settings")));
    // Made on the way by the import: recorded as created, removed once empty.
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UserKey("")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\" + appName_));
    for (const std::string& text : PendingRenames())
        EXPECT_EQ(std::string::npos, text.find(destDir_)) << text;
}

// A reinstallation into the same folder before the next restart keeps its
// uninstaller: the restart deletes only the temporary copy the uninstall
// ended from, and the new installation can be uninstalled in its turn.
TEST_F(InstallUninstallE2E, ReinstallBeforeTheRestartCanStillBeUninstalled) {
    testpkg::PackageBody body = testpkg::EmptyPackage(appName_.c_str());
    body.header.uninstall = 1;
    body.AddGroup(0x11, {{"drevok.exe", BinFile("drevok.exe")},
                         {"wendlo.dll", BinFile("wendlo.dll")},
                         {"app.txt", testpkg::TextBytes("app")}});
    WritePackage(body.Finish());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        StartSetup();
        ASSERT_EQ(1, InstallToDestination()) << TRANSCRIPT();
        ASSERT_EQ((Names{"app.txt", "drevok.exe", "uninst.log", "wendlo.dll"}),
                  testpkg::ListDir(destDir_));
        if (round == 1) {
            // The restart, for this test's pending entries.
            testpkg::CarryOutPendingRenames(root_.path());
            EXPECT_EQ((Names{"app.txt", "drevok.exe", "uninst.log", "wendlo.dll"}),
                      testpkg::ListDir(destDir_));
            EXPECT_EQ(Names{}, TempFiles());  // the copy went at the restart
        }
        StartUninstallCommand(UninstallString(appName_));
        AnswerConfirmation(appName_, IDYES);
        ASSERT_EQ(1, FinishRun(appName_)) << TRANSCRIPT();
        WaitForRemovalCopy();
        EXPECT_FALSE(FileExists(destDir_));
    }
}

TEST_F(InstallUninstallE2E, TwoPackagesSharingFilesKeepThemUntilTheLastUninstallAsks) {
    std::string shared = sharedDir_ + "\\shared.dll", control = sharedDir_ + "\\control.ocx";
    ForgetCount(shared);
    ForgetCount(control);
    std::string firstDir = root_ / "First App", secondDir = root_ / "Second App";
    for (const std::string& dir : {firstDir, secondDir}) {
        std::string name = appName_ + (dir == firstDir ? "" : " Second");
        testpkg::PackageBody body = testpkg::EmptyPackage(name.c_str());
        body.header.uninstall = 1;
        body.AddGroup(0x11, {{"drevok.exe", BinFile("drevok.exe")}, {"wendlo.dll", BinFile("wendlo.dll")}});
        body.AddGroup(0x8C, {{"shared.dll", FixtureFile("version_2_0")}}, appName_.c_str());
        body.AddGroup(0x2C, {{"control.ocx", FixtureFile("selfreg_2_0")}}, appName_.c_str());
        WritePackage(body.Finish());
        destDir_ = dir;
        StartSetup();
        ASSERT_EQ(1, InstallToDestination()) << TRANSCRIPT();
    }
    ASSERT_EQ(2, Count(shared));
    ASSERT_EQ(2, Count(control));

    StartUninstallCommand(UninstallString(appName_));
    AnswerConfirmation(appName_, IDYES);
    EXPECT_EQ(1, FinishRun(appName_)) << TRANSCRIPT();
    EXPECT_TRUE(FileExists(shared));
    EXPECT_EQ(1, Count(shared));
    EXPECT_EQ(1, Count(control));

    StartUninstallCommand(UninstallString(appName_ + " Second"));
    AnswerConfirmation(appName_ + " Second", IDYES);
    AnswerDeleteQuestion(shared, IDYES);
    AnswerDeleteQuestion(control, IDYES);
    EXPECT_EQ(1, FinishRun(appName_ + " Second")) << TRANSCRIPT();
    EXPECT_FALSE(FileExists(sharedDir_));
    EXPECT_EQ(-1, Count(shared));
    EXPECT_EQ(-1, Count(control));
    // The last registration call is the uninstaller's.
    testpkg::Bytes calls = testpkg::ReadFileBytes(registrationLog_);
    std::string text(calls.begin(), calls.end()), last = "unregister 2.0.0.0 " + control + "\n";
    EXPECT_EQ(last, text.substr(text.size() - std::min(text.size(), last.size())));
}

// /S with a type, a log with blanks and a destination two missing levels
// deep: no window, the type's groups, the whole entry; the quiet command then
// removes everything, the folders made for the destination too.
TEST_F(InstallUninstallE2E, UnattendedInstallAndUninstallShowNothingAndLeaveNothing) {
    testpkg::PackageBody body = FullPackage();
    body.AddSetupType("Full", 0b11);
    body.AddSetupType("Minimal", 0b01);
    WritePackage(body.Finish());
    std::string apps = root_ / "Apps New", log = root_ / "setup log.txt";
    destDir_ = apps + "\\My App";
    ASSERT_EQ(1, RunUnattended("/s /LOG=\"" + log + "\" /TYPE=2 /D=" + destDir_)) << TRANSCRIPT();
    EXPECT_TRUE(NoWindowSeen()) << TRANSCRIPT();

    EXPECT_EQ((Names{"app.exe", "bin", "drevok.exe", "uninst.log", "wendlo.dll"}), testpkg::ListDir(destDir_));
    EXPECT_EQ(Names{}, testpkg::ListDir(destDir_ + "\\bin"));  // type 2 leaves its group out
    EXPECT_EQ(Names{"X"}, testpkg::ValueNames(HKEY_CURRENT_USER, UserKey("Settings\\Deep")));
    EXPECT_TRUE(FileExists(testpkg::SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + appName_ + "\\Full App.lnk"));
    testpkg::Bytes logged = testpkg::ReadFileBytes(log);
    EXPECT_EQ("Vornel Setup: Installation of Setup of " + appName_ +
                  " version 1.0 has been completed successfuly. Goodbye !\r\n",
              std::string(logged.begin(), logged.end()));
    Names created = testpkg::ReadLogList(destDir_ + "\\uninst.log", "CreatedDirs", "Dir");
    ASSERT_LE(2u, created.size());
    EXPECT_EQ((Names{apps, destDir_}), Names(created.begin(), created.begin() + 2));

    // The entry: the sizes of the files of the type's groups in KB rounded
    // up, the header's version, the destination.
    std::string key = std::string(kUninstallKey) + "\\" + appName_;
    uint64_t bytes = BinFile("drevok.exe").size() + BinFile("wendlo.dll").size() + 300;
    EXPECT_EQ((long long)((bytes + 1023) / 1024),
              testpkg::DwordValue(HKEY_LOCAL_MACHINE, key, "EstimatedSize"));
    EXPECT_EQ("1.0", UninstallString(appName_, "DisplayVersion"));
    EXPECT_EQ(destDir_, UninstallString(appName_, "InstallLocation"));

    EXPECT_EQ(1, UninstallQuietly()) << TRANSCRIPT();
    EXPECT_TRUE(NoWindowSeen()) << TRANSCRIPT();
    EXPECT_FALSE(FileExists(apps));
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS})
        EXPECT_FALSE(FileExists(testpkg::SpecialFolder(csidl) + "\\" + appName_)) << csidl;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UserKey("")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
}

// Each failure of an unattended run ends it with 0 before anything is
// installed, without a window, and says why in the log.
TEST_F(InstallUninstallE2E, UnattendedFailuresShowNothingInstallNothingAndSayWhy) {
    WritePackage(FullPackage().Finish());
    std::string log = root_ / "log.txt", blocked = packageDir_ + "\\setup.exe\\App";
    struct Case {
        std::string switches, line;
    } cases[] = {
        {"/TYPE=2 /D=" + destDir_, "Vornel Setup: The package has no setup type 2"},
        {"/D=" + blocked, "Vornel Setup: Cannot create directory " + blocked + "  Installation must end now !"},
        {"/X /D=" + destDir_, "Vornel Setup: Unknown or malformed switch /X"},
        {"damaged", "Installation Error: Failed CRC check in Setup.dat file !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switches);
        DeleteFileA(log.c_str());
        if (c.switches == "damaged") WriteSettings("[main]\r\nCRC32=1\r\n");
        EXPECT_EQ(0, RunUnattended("/LOG=\"" + log + "\" /S " + (c.switches == "damaged" ? "" : c.switches)));
        testpkg::Bytes logged = testpkg::ReadFileBytes(log);
        EXPECT_EQ(c.line + "\r\n", std::string(logged.begin(), logged.end()));
    }
    EXPECT_TRUE(NoWindowSeen()) << TRANSCRIPT();
    EXPECT_FALSE(FileExists(destDir_));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kUninstallKey) + "\\" + appName_));
    EXPECT_EQ(Names{}, TempFiles());
}

// A second version goes where the first is registered, so that one
// uninstall removes both; another folder is refused unattended and asked
// about in the options dialog, which offers the registered folder.
TEST_F(InstallUninstallE2E, AnUpgradeGoesOverTheRegisteredInstallation) {
    auto writePackage = [&](const char* version, const char* file) {
        testpkg::PackageBody body = testpkg::EmptyPackage(appName_.c_str());
        package::CopyText(body.header.version, sizeof body.header.version, version);
        body.header.uninstall = 1;
        body.AddGroup(0x11, {{"drevok.exe", BinFile("drevok.exe")},
                             {"wendlo.dll", BinFile("wendlo.dll")},
                             {file, testpkg::TextBytes(file)}});
        WritePackage(body.Finish());
    };
    writePackage("1.0", "old.txt");
    StartSetup();
    ASSERT_EQ(1, InstallToDestination()) << TRANSCRIPT();
    writePackage("2.0", "new.txt");
    std::string elsewhere = root_ / "Elsewhere", log = root_ / "log.txt";

    EXPECT_EQ(0, RunUnattended("/S /LOG=\"" + log + "\" /D=" + elsewhere)) << TRANSCRIPT();
    testpkg::Bytes logged = testpkg::ReadFileBytes(log);
    EXPECT_NE(std::string::npos, std::string(logged.begin(), logged.end()).find("registered in " + destDir_ + ":"));
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    HWND options = driver_.WaitWindow("Installation Options");
    ASSERT_TRUE(options) << TRANSCRIPT();
    EXPECT_EQ(destDir_, driver_.Text(options, 1000));
    ASSERT_TRUE(AnswerOptions(elsewhere)) << TRANSCRIPT();
    EXPECT_NE(std::string::npos, AnswerBox("Vornel Setup", IDCANCEL).find("registered in " + destDir_ + "."));
    driver_.Click(options, 1009);  // the question's No left the dialog open
    EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_FALSE(FileExists(elsewhere));

    ASSERT_EQ(1, RunUnattended("/S")) << TRANSCRIPT();
    EXPECT_EQ((Names{"drevok.exe", "new.txt", "old.txt", "uninst.log", "wendlo.dll"}), testpkg::ListDir(destDir_));
    EXPECT_EQ("2.0", UninstallString(appName_, "DisplayVersion"));
    EXPECT_EQ(1, UninstallQuietly()) << TRANSCRIPT();
    EXPECT_FALSE(FileExists(destDir_));
}
