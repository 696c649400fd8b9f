// drevok.exe under Wine, started as the list of installed programs starts
// it, with its questions answered; every effect is checked where it lands.
#include <windows.h>

#include "tests/e2e/uninstall_fixture.h"
#include "tests/support/test_package.h"
#include "tests/support/test_registry.h"
#include "tests/win32/file_holder.h"

using testpkg::FileExists;
using testpkg::KeyExists;

namespace {

using Names = std::vector<std::string>;

class UninstallE2E : public e2e::UninstallTest {
  protected:
    // One installation with an item of every kind, the program and its
    // library among the copied files, and things nobody recorded beside them.
    void RecordInstallation() {
        log_.SetAppName("Test App");
        links_ = root_ / "Start Menu";
        ASSERT_TRUE(CreateDirectoryA(links_.c_str(), nullptr));
        log_.Add(1, links_);
        MakeFile(links_ + "\\Test App.lnk");
        log_.Add(5, links_ + "\\Test App.lnk");
        // The installer records a folder before the sub-folders it creates.
        for (const char* sub : {"", "\\bin", "\\data", "\\data\\cache"}) {
            CreateDirectoryA((appDir_ + sub).c_str(), nullptr);
            log_.Add(1, appDir_ + sub);
        }
        for (const char* name : {"\\bin\\app.exe", "\\readme.txt", "\\data\\cache\\index"}) {
            MakeFile(appDir_ + name);
            log_.Add(2, appDir_ + name);
        }
        log_.Add(2, appDir_ + "\\drevok.exe");
        log_.Add(2, appDir_ + "\\wendlo.dll");
        log_.Add(2, appDir_ + "\\never installed.txt");
        sharedMany_ = appDir_ + "\\bin\\many users.dll";
        sharedLast_ = appDir_ + "\\bin\\last user.dll";
        server_ = appDir_ + "\\bin\\control.ocx";
        CopyFixture("version_2_0", sharedMany_);
        CopyFixture("version_2_0", sharedLast_);
        CopyFixture("selfreg_2_0", server_);
        SetCount(sharedMany_, 3);
        SetCount(sharedLast_, 1);
        SetCount(server_, 1);
        log_.Add(3, sharedMany_);
        log_.Add(3, sharedLast_);
        log_.Add(4, server_);
        ASSERT_TRUE(testpkg::SetStringValue(HKEY_CURRENT_USER, UserKey("A"), "X", "x"));
        ASSERT_TRUE(testpkg::SetStringValue(HKEY_CURRENT_USER, UserKey("A\\B"), nullptr, "default"));
        ASSERT_TRUE(testpkg::SetStringValue(HKEY_CURRENT_USER, UserKey("A\\B"), "Y", "y"));
        ASSERT_TRUE(testpkg::SetStringValue(HKEY_CURRENT_USER, UserKey("Shared"), "Ours", "o"));
        ASSERT_TRUE(testpkg::SetStringValue(HKEY_CURRENT_USER, UserKey("Shared"), "Theirs", "t"));
        log_.AddKey(RecordedUserKey("A"), {"X"});
        log_.AddKey(RecordedUserKey("A\\B"), {"@", "Y"});
        log_.AddKey(RecordedUserKey("Shared"), {"Ours"});
        // Nobody recorded these.
        MakeFile(links_ + "\\Other App.lnk");
        MakeFile(appDir_ + "\\bin\\user settings.ini");
    }

    std::string links_, sharedMany_, sharedLast_, server_;
};

}  // namespace

TEST_F(UninstallE2E, CompletedRunRemovesWhatWasRecordedAndKeepsTheRest) {
    RecordInstallation();
    StartUninstall();
    AnswerConfirmation("Test App", IDYES);
    AnswerDeleteQuestion(sharedLast_, IDYES);
    AnswerDeleteQuestion(server_, IDYES);
    EXPECT_EQ(1, FinishRun("Test App")) << TRANSCRIPT();
    WaitForRemovalCopy();
    EXPECT_EQ("Now removing created directories...", finalStatus_);

    EXPECT_FALSE(FileExists(log_.path()));
    EXPECT_EQ(Names{"Other App.lnk"}, testpkg::ListDir(links_));
    EXPECT_EQ((Names{"bin"}), testpkg::ListDir(appDir_));
    EXPECT_EQ((Names{"many users.dll", "user settings.ini"}), testpkg::ListDir(appDir_ + "\\bin"));
    EXPECT_FALSE(FileExists(appDir_ + "\\data"));  // recorded before its sub-folder
    EXPECT_EQ(2, Count(sharedMany_));
    EXPECT_EQ(-1, Count(sharedLast_));
    EXPECT_EQ(-1, Count(server_));
    testpkg::Bytes calls = testpkg::ReadFileBytes(registrationLog_);
    EXPECT_EQ("unregister 2.0.0.0 " + server_ + "\n", std::string(calls.begin(), calls.end()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UserKey("A")));
    EXPECT_EQ(Names{"Theirs"}, testpkg::ValueNames(HKEY_CURRENT_USER, UserKey("Shared")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UserKey("")));  // never recorded
    // The running program and its library go once the run has ended, from
    // a copy of both in a temporary folder of its own; only that copy waits
    // for the next restart.
    Names copies = testpkg::ListDir(tempDir_);
    ASSERT_EQ(1u, copies.size());
    std::string copy = tempDir_ + "\\" + copies[0];
    EXPECT_EQ((Names{"drevok.exe", "wendlo.dll"}), testpkg::ListDir(copy));
    EXPECT_EQ((Names{copy + "\\wendlo.dll", "", copy + "\\drevok.exe", "", copy, ""}),
              PendingRenames());
}

// Files another program uses stay where they are, and nothing hands them to
// Windows to delete at the next restart, where the program would lose them:
// a shared library at its last count that another program has loaded, and
// a copied file another program holds open. The uninstaller's own files go,
// and their folder with them once nothing else is left in it.
TEST_F(UninstallE2E, FilesInUseByAnotherProgramStayAndAreNotScheduled) {
    log_.SetAppName("Busy");
    std::string shared = appDir_ + "\\busy.dll", held = appDir_ + "\\held.txt";
    CopyFixture("version_2_0", shared);
    SetCount(shared, 1);
    MakeFile(held);
    log_.Add(2, held);
    log_.Add(2, appDir_ + "\\drevok.exe");
    log_.Add(2, appDir_ + "\\wendlo.dll");
    log_.Add(3, shared);
    {
        wintest::FileHolder loaded(wintest::FileHolder::kLoad, shared);
        wintest::FileHolder open(wintest::FileHolder::kOpen, held);
        ASSERT_TRUE(loaded.holding() && open.holding()) << loaded.Transcript() << open.Transcript();
        StartUninstall();
        AnswerConfirmation("Busy", IDYES);
        AnswerDeleteQuestion(shared, IDYES);
        EXPECT_EQ(1, FinishRun("Busy")) << TRANSCRIPT();
        WaitForRemovalCopy();
    }
    EXPECT_EQ((Names{"busy.dll", "held.txt"}), testpkg::ListDir(appDir_));
    for (const std::string& text : PendingRenames())
        EXPECT_EQ(std::string::npos, text.find(appDir_)) << text;
}

TEST_F(UninstallE2E, AnsweringNoChangesNothing) {
    RecordInstallation();
    StartUninstall();
    AnswerConfirmation("Test App", IDNO);
    EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_TRUE(FileExists(log_.path()));
    EXPECT_TRUE(FileExists(links_ + "\\Test App.lnk"));
    EXPECT_TRUE(FileExists(appDir_ + "\\data\\cache\\index"));
    EXPECT_EQ(3, Count(sharedMany_));
    EXPECT_EQ(1, Count(sharedLast_));
    EXPECT_EQ(Names{"X"}, testpkg::ValueNames(HKEY_CURRENT_USER, UserKey("A")));
    EXPECT_EQ(Names{}, PendingRenames());
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Uninstall Message")) << TRANSCRIPT();
}

TEST_F(UninstallE2E, CancelInADeleteQuestionEndsAtOnceAndKeepsTheLogForAnotherRun) {
    RecordInstallation();
    StartUninstall();
    AnswerConfirmation("Test App", IDYES);
    AnswerDeleteQuestion(sharedLast_, IDCANCEL);
    EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
    // Links and copied files went before the question.
    EXPECT_FALSE(FileExists(links_ + "\\Test App.lnk"));
    EXPECT_FALSE(FileExists(appDir_ + "\\readme.txt"));
    // The rest stays as it was, counts included.
    EXPECT_TRUE(FileExists(sharedLast_));
    EXPECT_EQ(1, Count(sharedLast_));
    EXPECT_EQ(2, Count(sharedMany_));  // handled before the question
    EXPECT_EQ(1, Count(server_));
    EXPECT_TRUE(FileExists(server_));
    EXPECT_EQ(Names{"X"}, testpkg::ValueNames(HKEY_CURRENT_USER, UserKey("A")));
    EXPECT_TRUE(FileExists(appDir_ + "\\data\\cache"));
    EXPECT_TRUE(FileExists(log_.path()));
    // The uninstaller stays to run again, after a restart too.
    EXPECT_EQ(Names{}, PendingRenames());
    EXPECT_EQ(std::string::npos, driver_.Transcript().find("Uninstall Message")) << TRANSCRIPT();
}

TEST_F(UninstallE2E, NoWithAlwaysKeepsThatFileDeletesTheRestOfThePassAndTheNextPassAsksAgain) {
    log_.SetAppName("Always");
    std::string first = appDir_ + "\\first.dll", second = appDir_ + "\\second.dll";
    std::string server = appDir_ + "\\server.ocx";
    MakeFile(first);
    MakeFile(second);
    CopyFixture("selfreg_2_0", server);
    for (const std::string& f : {first, second, server}) SetCount(f, 1);
    log_.Add(3, first);
    log_.Add(3, second);
    log_.Add(4, server);
    StartUninstall();
    AnswerConfirmation("Always", IDYES);
    AnswerDeleteQuestion(first, IDNO, true);
    AnswerDeleteQuestion(server, IDNO);
    EXPECT_EQ(1, FinishRun("Always")) << TRANSCRIPT();
    // Neither the OLE pass nor empty later lists show anything of their own.
    EXPECT_EQ("Now removing installed DLLs", finalStatus_);
    EXPECT_TRUE(FileExists(first));
    EXPECT_EQ(1, Count(first));
    EXPECT_FALSE(FileExists(second));
    EXPECT_EQ(-1, Count(second));
    EXPECT_TRUE(FileExists(server));
    EXPECT_EQ(1, Count(server));
    EXPECT_FALSE(FileExists(registrationLog_));  // never unregistered
}

TEST_F(UninstallE2E, TwoInstallationsSharingADllKeepItUntilTheLastOneAsks) {
    std::string shared = root_ / "shared.dll";
    MakeFile(shared);
    SetCount(shared, 2);  // each installation raised it once
    std::string otherDir = root_ / "Other App";
    ASSERT_TRUE(CreateDirectoryA(otherDir.c_str(), nullptr));
    testpkg::TestLog other(otherDir + "\\uninst.log");
    for (testpkg::TestLog* log : {&log_, &other}) {
        log->SetAppName("Sharer");
        log->Add(3, shared);
    }
    StartUninstall(log_.path());
    AnswerConfirmation("Sharer", IDYES);
    EXPECT_EQ(1, FinishRun("Sharer")) << TRANSCRIPT();
    EXPECT_TRUE(FileExists(shared));
    EXPECT_EQ(1, Count(shared));

    StartUninstall(other.path());
    AnswerConfirmation("Sharer", IDYES);
    AnswerDeleteQuestion(shared, IDYES);
    EXPECT_EQ(1, FinishRun("Sharer")) << TRANSCRIPT();
    EXPECT_FALSE(FileExists(shared));
    EXPECT_EQ(-1, Count(shared));
}

TEST_F(UninstallE2E, LogWithoutANameUninstallsAnUnknownApplication) {
    log_.Add(2, appDir_ + "\\never installed.txt");
    StartUninstall();
    AnswerConfirmation("an unknown application", IDYES);
    EXPECT_EQ(1, FinishRun("an unknown application")) << TRANSCRIPT();
    EXPECT_FALSE(FileExists(log_.path()));
}

TEST_F(UninstallE2E, LongNameIsCutTo63Characters) {
    std::string name(70, 'n');
    for (int i = 0; i < 70; ++i) name[i] = (char)('a' + i % 26);
    log_.SetAppName(name);
    StartUninstall();
    AnswerConfirmation(name.substr(0, 63), IDYES);
    EXPECT_EQ(1, FinishRun(name.substr(0, 63))) << TRANSCRIPT();
}

TEST_F(UninstallE2E, LogThatCannotBeOpenedEndsTheRunWithoutAWord) {
    log_.SetAppName("Quiet");
    MakeFile(appDir_ + "\\readme.txt");
    log_.Add(2, appDir_ + "\\readme.txt");
    // The tail is used as it is: in quotes it names no file.
    for (const std::string& tail : {"\"" + log_.path() + "\"", std::string(), appDir_ + "\\missing.log"}) {
        SCOPED_TRACE(tail);
        dlgdrive::Driver driver;
        ASSERT_TRUE(driver.Start(appDir_ + "\\drevok.exe", tail, appDir_));
        EXPECT_EQ(0, driver.WaitExit()) << driver.Transcript();
        EXPECT_EQ(std::string::npos, driver.Transcript().find("window")) << driver.Transcript();
    }
    EXPECT_TRUE(FileExists(appDir_ + "\\readme.txt"));
    EXPECT_TRUE(FileExists(log_.path()));
}
