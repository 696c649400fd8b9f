// The Installation Options dialog of setup.exe under Wine: the destination
// field, its questions and errors, the folder browser and the type list.
#include <windows.h>

#include <shlobj.h>

#include "tests/e2e/setup_fixture.h"

namespace {

class OptionsE2E : public e2e::SetupTest {
  protected:
    // Starts setup on a package with types and answers the welcome; returns
    // the options dialog.
    HWND OpenOptions(std::initializer_list<const char*> types = {}) {
        testpkg::PackageBody body = testpkg::EmptyPackage("Opt App");
        uint32_t mask = 1;
        for (const char* type : types) body.AddSetupType(type, mask <<= 1);
        WritePackage(body.Finish());
        StartSetup();
        if (!AnswerWelcome()) return nullptr;
        return driver_.WaitWindow("Installation Options");
    }

    // The run ended as a refusal: exit 0, nothing left behind.
    void ExpectAbort() {
        EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
        EXPECT_EQ(std::vector<std::string>(), TempFiles());
        EXPECT_EQ(std::string::npos, driver_.Transcript().find("completed successfuly"))
            << TRANSCRIPT();
    }
};

}  // namespace

TEST_F(OptionsE2E, CancelEnds) {
    HWND options = OpenOptions();
    ASSERT_TRUE(options) << TRANSCRIPT();
    driver_.Click(options, 2);  // Escape is ignored
    driver_.Click(options, 1009);
    ExpectAbort();
}

// OK is the dialog's default button: Enter after typing a path installs there.
TEST_F(OptionsE2E, EnterInTheDestinationFieldAcceptsIt) {
    HWND options = OpenOptions();
    ASSERT_TRUE(options) << TRANSCRIPT();
    ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
    driver_.SetText(options, 1000, destDir_);
    driver_.PressKey(options, 1000, VK_RETURN);
    EXPECT_EQ(0u, AnswerFinalMessage().find("Installation of ")) << TRANSCRIPT();
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
}

TEST_F(OptionsE2E, BlankFieldAsksAgainThenCancelEnds) {
    HWND options = OpenOptions();
    ASSERT_TRUE(options) << TRANSCRIPT();
    const std::string blank =
        "You cannot leave blank the destination directory field !\n Try again ? ";
    driver_.SetText(options, 1000, "");
    driver_.Click(options, 1008);
    EXPECT_EQ(blank, AnswerBox("Vornel Setup", IDOK));
    EXPECT_TRUE(IsWindow(options));
    EXPECT_EQ("", driver_.Text(options, 1000));
    driver_.Click(options, 1008);
    EXPECT_EQ(blank, AnswerBox("Vornel Setup", IDCANCEL));
    ExpectAbort();
}

TEST_F(OptionsE2E, DeclinedCreationEnds) {
    HWND options = OpenOptions();
    ASSERT_TRUE(options) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions(destDir_)) << TRANSCRIPT();
    EXPECT_EQ("The directory: " + destDir_ + " does not exist ! \n Do you want to create it ?",
              AnswerBox("Vornel Setup", IDCANCEL));
    ExpectAbort();
    EXPECT_FALSE(testpkg::FileExists(destDir_));
}

// Only one level is created: a destination whose parent is missing fails.
TEST_F(OptionsE2E, DestinationWithoutParentCannotBeCreated) {
    std::string destination = destDir_ + "\\below";
    HWND options = OpenOptions();
    ASSERT_TRUE(options) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions(destination)) << TRANSCRIPT();
    AnswerBox("Vornel Setup", IDOK);
    EXPECT_EQ("Cannot create directory " + destination + "\n Installation must end now !",
              AnswerBox("Vornel Setup", IDOK));
    ExpectAbort();
    EXPECT_FALSE(testpkg::FileExists(destDir_));
}

// A relative destination is taken from the package folder, where setup runs,
// and the readme (here: the only file written) lands in it.
TEST_F(OptionsE2E, RelativeDestinationBecomesAFullPath) {
    testpkg::PackageBody body = testpkg::EmptyPackage("Opt App");
    body.SetReadme("r");
    WritePackage(body.Finish());
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerOptions("relative")) << TRANSCRIPT();
    std::string full = packageDir_ + "\\relative";
    EXPECT_EQ("The directory: " + full + " does not exist ! \n Do you want to create it ?",
              AnswerBox("Vornel Setup", IDOK));
    ASSERT_TRUE(AnswerReadme(false)) << TRANSCRIPT();
    AnswerFinalMessage();
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_EQ((std::vector<std::string>{"readme.txt"}), testpkg::ListDir(full));
}

TEST_F(OptionsE2E, BrowseReplacesTheFieldOnlyWhenAFolderIsPicked) {
    HWND options = OpenOptions();
    ASSERT_TRUE(options) << TRANSCRIPT();
    driver_.SetText(options, 1000, "C:\\typed");
    driver_.Click(options, 3);
    HWND browser = driver_.WaitWindow("Browse for Folder");
    ASSERT_TRUE(browser) << TRANSCRIPT();
    driver_.Click(browser, IDCANCEL);
    ASSERT_TRUE(driver_.WaitGone(browser));
    EXPECT_EQ("C:\\typed", driver_.Text(options, 1000));

    // The browser opens on its root, the desktop, whose folder is picked.
    driver_.Click(options, 3);
    browser = driver_.WaitWindow("Browse for Folder");
    ASSERT_TRUE(browser) << TRANSCRIPT();
    driver_.Click(browser, IDOK);
    ASSERT_TRUE(driver_.WaitGone(browser));
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    EXPECT_EQ(desktop, driver_.Text(options, 1000));
    driver_.Click(options, 1009);
    ExpectAbort();
}

TEST_F(OptionsE2E, OneTypeHidesTheList) {
    HWND options = OpenOptions({"Only"});
    ASSERT_TRUE(options) << TRANSCRIPT();
    EXPECT_FALSE(driver_.IsControlVisible(options, 1012));
    EXPECT_FALSE(driver_.IsControlVisible(options, 1013));
    EXPECT_TRUE(driver_.IsControlVisible(options, 1000));
    driver_.Click(options, 1009);
    ExpectAbort();
}

// Only three types fit the options record; the list offers the first three
// and OK without a selection goes on with the first.
TEST_F(OptionsE2E, MoreThanThreeTypesOfferTheFirstThree) {
    HWND options = OpenOptions({"One", "Two", "Three", "Four", "Five"});
    ASSERT_TRUE(options) << TRANSCRIPT();
    EXPECT_TRUE(driver_.IsControlVisible(options, 1012));
    EXPECT_EQ((std::vector<std::string>{"One", "Two", "Three"}), driver_.ComboItems(options, 1012));
    ASSERT_TRUE(CreateDirectoryA(destDir_.c_str(), nullptr));
    ASSERT_TRUE(AnswerOptions(destDir_)) << TRANSCRIPT();
    EXPECT_NE("<no box>", AnswerFinalMessage()) << TRANSCRIPT();
    EXPECT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();
}
