// setup.exe's installation sequence under Wine, flow by flow: what each
// dialog shows, what each answer leads to, the exit code, and what is left
// on disk.
#include <windows.h>

#include "tests/e2e/setup_fixture.h"

namespace {

const char kLicence[] = "Licence terms\r\nline two";
const char kFinal[] =
    "Installation of Setup of Seq App version 1.0 has been completed successfuly.\nGoodbye !";
const char kCrcFailed[] = "Failed CRC check in Setup.dat file !";

class SequenceE2E : public e2e::SetupTest {
  protected:
    testpkg::PackageBody Package() { return testpkg::EmptyPackage("Seq App"); }

    // An aborted run: exit code 0, no final notice, the temporary package
    // gone and nothing written at the destination.
    void ExpectAbort() {
        EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
        EXPECT_EQ(std::string::npos, driver_.Transcript().find("completed successfuly"))
            << TRANSCRIPT();
        EXPECT_EQ(std::vector<std::string>(), TempFiles());
        EXPECT_FALSE(testpkg::FileExists(destDir_));
    }

    static std::string FileText(const std::string& path) {
        testpkg::Bytes bytes = testpkg::ReadFileBytes(path);
        return std::string(bytes.begin(), bytes.end());
    }

    bool Saw(const std::string& text) const {
        return driver_.Transcript().find(text) != std::string::npos;
    }
};

}  // namespace

TEST_F(SequenceE2E, LicenceTypesAndReadmeViewedThenCompleted) {
    testpkg::PackageBody body = Package();
    body.SetLicence(kLicence);
    body.SetReadme("Readme first line\nsecond\r\nthird");
    body.AddSetupType("Typical", 1);
    body.AddSetupType("Full", 3);
    WritePackage(body.Finish());
    ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
    StartSetup();

    HWND welcome = driver_.WaitWindow("Vornel Setup");
    ASSERT_TRUE(welcome) << TRANSCRIPT();
    EXPECT_EQ("Vornel Setup ver 0.5.01 beta", driver_.Text(welcome, 1015));
    driver_.Click(welcome, 1008);
    HWND licence = driver_.WaitWindow("Licence Agreement");
    ASSERT_TRUE(licence) << TRANSCRIPT();
    EXPECT_EQ(kLicence, driver_.Text(licence, 1007));
    driver_.Click(licence, 1008);

    HWND options = driver_.WaitWindow("Installation Options");
    ASSERT_TRUE(options) << TRANSCRIPT();
    EXPECT_EQ("C:\\Program Files\\Seq App", driver_.Text(options, 1000));
    EXPECT_TRUE(driver_.IsControlVisible(options, 1012));
    EXPECT_TRUE(driver_.IsControlVisible(options, 1013));
    EXPECT_EQ((std::vector<std::string>{"Typical", "Full"}), driver_.ComboItems(options, 1012));
    ASSERT_TRUE(AnswerOptions(destDir_, 1)) << TRANSCRIPT();

    ASSERT_EQ("Do you want to view the readme file now ?", AnswerBox("Setup question", IDYES))
        << TRANSCRIPT();
    HWND readme = driver_.WaitWindow("Readme File:");
    ASSERT_TRUE(readme) << TRANSCRIPT();
    EXPECT_EQ("Readme first line\nsecond\r\nthird", driver_.Text(readme, 1007));
    driver_.Click(readme, 2);  // Escape does not close the readme
    driver_.Click(readme, 1008);
    EXPECT_EQ(kFinal, AnswerFinalMessage()) << TRANSCRIPT();
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();

    // Text mode: every line ends in CR LF, a stored CR LF included.
    EXPECT_EQ("Readme first line\r\nsecond\r\nthird", FileText(destDir_ + "\\readme.txt"));
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
    EXPECT_FALSE(testpkg::FileExists(rebootRecord_));
    EXPECT_FALSE(Saw("Install Question")) << TRANSCRIPT();
}

TEST_F(SequenceE2E, ReadmeDeclinedIsStillWrittenToACreatedDestination) {
    testpkg::PackageBody body = Package();
    body.SetReadme("notes\n");
    strcpy(body.header.title, "My Own Title");
    WritePackage(body.Finish());
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions(destDir_)) << TRANSCRIPT();
    EXPECT_EQ("The directory: " + destDir_ + " does not exist ! \n Do you want to create it ?",
              AnswerBox("Vornel Setup", IDOK));
    ASSERT_TRUE(AnswerReadme(false)) << TRANSCRIPT();
    EXPECT_EQ("Installation of My Own Title has been completed successfuly.\nGoodbye !",
              AnswerFinalMessage());
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_EQ("notes\r\n", FileText(destDir_ + "\\readme.txt"));
    EXPECT_FALSE(Saw("Readme File:")) << TRANSCRIPT();
}

TEST_F(SequenceE2E, WelcomeCancelEnds) {
    WritePackage(Package().Finish());
    StartSetup();
    ASSERT_TRUE(AnswerWelcome(1009)) << TRANSCRIPT();
    ExpectAbort();
}

// Escape is ignored: the Info command after it still finds the welcome open.
TEST_F(SequenceE2E, WelcomeIgnoresEscapeAndShowsInfo) {
    WritePackage(Package().Finish());
    StartSetup();
    HWND welcome = driver_.WaitWindow("Vornel Setup");
    ASSERT_TRUE(welcome) << TRANSCRIPT();
    driver_.Click(welcome, 2);
    driver_.Click(welcome, 3);
    std::string info = AnswerBox("Info on  Vornel Setup", IDOK);
    EXPECT_EQ(0u, info.find("Vornel Setup version 0.5.01 beta\n\n")) << info;
    EXPECT_TRUE(IsWindow(welcome));
    driver_.Click(welcome, 1009);
    ExpectAbort();
}

TEST_F(SequenceE2E, LicenceCancelThenYesEnds) {
    testpkg::PackageBody body = Package();
    body.SetLicence(kLicence);
    WritePackage(body.Finish());
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerLicence(1009)) << TRANSCRIPT();
    EXPECT_EQ("Are you sure you want to abort this installation ? ",
              AnswerBox("Vornel Setup", IDYES));
    ExpectAbort();
}

TEST_F(SequenceE2E, LicenceCancelThenNoGoesOn) {
    testpkg::PackageBody body = Package();
    body.SetLicence(kLicence);
    WritePackage(body.Finish());
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerLicence(1009)) << TRANSCRIPT();
    EXPECT_EQ("Are you sure you want to abort this installation ? ",
              AnswerBox("Vornel Setup", IDNO));
    ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
    ASSERT_TRUE(AnswerOptions(destDir_)) << TRANSCRIPT();
    EXPECT_EQ(kFinal, AnswerFinalMessage()) << TRANSCRIPT();
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
}

// Escape, like every command but Cancel, accepts the licence: no question.
TEST_F(SequenceE2E, LicenceEscapeAccepts) {
    testpkg::PackageBody body = Package();
    body.SetLicence(kLicence);
    WritePackage(body.Finish());
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerLicence(2)) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions(destDir_)) << TRANSCRIPT();
    driver_.WaitWindow("Vornel Setup");
    EXPECT_FALSE(Saw("abort this installation")) << TRANSCRIPT();
}

TEST_F(SequenceE2E, WindowsVersionNotAllowedEnds) {
    testpkg::PackageBody body = Package();
    body.header.allowedSystems = 0xFF & ~0x20;  // everything but NT 5, which Wine reports
    WritePackage(body.Finish());
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    EXPECT_EQ(
        "This program is not intended to run over this version of windows\n Installation must end",
        AnswerInstallError());
    ExpectAbort();
}

namespace {

// Runs a package with the reboot question up to the question.
class RebootE2E : public SequenceE2E {
  protected:
    HWND OpenRebootQuestion() {
        testpkg::PackageBody body = Package();
        body.header.reboot = 1;
        WritePackage(body.Finish());
        CreateDirectoryA(destDir_.c_str(), nullptr);
        StartSetup();
        if (!AnswerWelcome() || !AnswerOptions(destDir_)) return nullptr;
        return driver_.WaitWindow("Install Question");
    }
};

}  // namespace

// Reboot Now is asked for only after the final notice, as the last action;
// the temporary package is gone before the question.
TEST_F(RebootE2E, RebootNowIsRequestedLast) {
    HWND question = OpenRebootQuestion();
    ASSERT_TRUE(question) << TRANSCRIPT();
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
    EXPECT_TRUE(driver_.IsChecked(question, 1028));
    EXPECT_FALSE(driver_.IsChecked(question, 1029));
    EXPECT_FALSE(driver_.IsChecked(question, 1030));
    driver_.Click(question, 2);  // Escape is ignored
    driver_.Click(question, IDOK);
    HWND final = driver_.WaitWindow("Vornel Setup");
    ASSERT_TRUE(final) << TRANSCRIPT();
    EXPECT_FALSE(testpkg::FileExists(rebootRecord_));
    EXPECT_EQ(kFinal, driver_.Text(final, 0xFFFF));
    driver_.Click(final, IDOK);
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_EQ("ExitWindowsEx 2 0\n", FileText(rebootRecord_));
}

// Reboot Later and Restart Windows both end without any restart.
class RebootChoiceE2E : public RebootE2E, public ::testing::WithParamInterface<int> {};

TEST_P(RebootChoiceE2E, RestartsNothing) {
    ASSERT_TRUE(OpenRebootQuestion()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerReboot(GetParam())) << TRANSCRIPT();
    EXPECT_EQ(kFinal, AnswerFinalMessage());
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_FALSE(testpkg::FileExists(rebootRecord_));
}

INSTANTIATE_TEST_SUITE_P(LaterAndRestartWindows, RebootChoiceE2E, ::testing::Values(1029, 1030));

// Unattended, the licence counts as accepted, the readme is written without
// being offered, and a restart the package asks for is the exit code 2,
// never a restart. A relative /D= is taken from the folder setup starts in.
TEST_F(SequenceE2E, UnattendedAsksNothingAndRestartsNothing) {
    testpkg::PackageBody body = Package();
    body.SetLicence(kLicence);
    body.SetReadme("Read me");
    body.header.reboot = 1;
    WritePackage(body.Finish());
    EXPECT_EQ(2, RunUnattended("/S /D=dest")) << TRANSCRIPT();
    EXPECT_TRUE(NoWindowSeen()) << TRANSCRIPT();
    EXPECT_EQ("Read me", FileText(destDir_ + "\\readme.txt"));
    EXPECT_FALSE(testpkg::FileExists(rebootRecord_));
    EXPECT_FALSE(testpkg::FileExists(packageDir_ + "\\dest"));
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
}

// Damaged packages whose CRC matches (the table the layout unit test runs
// too): each is refused as damaged right after unpacking, before any
// window of the sequence, writes nothing outside the temporary folder and
// leaves nothing in it. One test runs the whole table: a run takes about a
// third of a second, a test program's start under Wine longer.
TEST_F(SequenceE2E, DamagedPackagesAreRefusedBeforeAnyQuestion) {
    for (const testpkg::DamagedBody& damaged : testpkg::DamagedBodies()) {
        SCOPED_TRACE(damaged.name);
        WritePackage(damaged.body);
        StartSetup();
        EXPECT_EQ(kCrcFailed, AnswerInstallError()) << TRANSCRIPT();
        ExpectAbort();
        EXPECT_FALSE(Saw("Vornel Setup")) << TRANSCRIPT();
        EXPECT_EQ((std::vector<std::string>{"package", "temp"}), testpkg::ListDir(root_.path()));
        EXPECT_EQ((std::vector<std::string>{"setup.dat", "setup.exe", "setup.inf", "wendlo.dll",
                                            "zlib.dll"}),
                  testpkg::ListDir(packageDir_));
        if (HasFailure()) break;
    }
}
