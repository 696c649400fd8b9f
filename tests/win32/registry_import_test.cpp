// Uninstall registration and the registry import against the real registry
// of the test prefix: a private HKLM for the registration, the prefix's own
// .reg association (regedit) for the import.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <memory>
#include <thread>

#include "installer/destination.h"
#include "installer/registry_import.h"
#include "installer/uninstall_registration.h"
#include "tests/support/private_registry.h"
#include "tests/support/test_log.h"
#include "tests/support/test_package.h"
#include "tests/support/test_registry.h"
#include "tests/support/win_test_dir.h"
#include "uninstall_log/wendlo.h"

namespace {

constexpr char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

std::string QueryText(HKEY root, const std::string& key, const char* name, DWORD* sizeOut = nullptr) {
    char data[1024] = {};
    DWORD size = sizeof data, type = 0;
    if (SHGetValueA(root, key.c_str(), name, &type, data, &size) != ERROR_SUCCESS || type != REG_SZ)
        return "<missing>";
    if (sizeOut) *sizeOut = size;
    return data;
}

// Answers the first message box with this caption that this process shows.
std::thread AnswerBox(const char* caption, std::string* text) {
    return std::thread([caption, text] {
        for (int i = 0; i < 1000; ++i) {
            HWND box = testpkg::FindOwnWindow(caption);
            if (box) {
                char buffer[512] = {};
                GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
                *text = buffer;
                PostMessageA(box, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(10);
        }
    });
}

class UninstallRegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override { SHSetValueA(HKEY_LOCAL_MACHINE, kUninstall, "", REG_SZ, "", 1); }
    testpkg::PrivateMachineKey machine_;
    testpkg::TempDir dir_;
    package::RegistryLogList notes_;
};

}  // namespace

TEST_F(UninstallRegistrationTest, RegistersQuotedCommandNotesAndAppName) {
    std::string dest = dir_ / "Program Files";
    CreateDirectoryA(dest.c_str(), nullptr);
    installer::UninstallDetails details;
    details.version = "2.1";
    details.estimatedSizeKb = 3;
    installer::RegisterUninstall("Tool", dest.c_str(), &notes_, details);
    std::string key = std::string(kUninstall) + "\\Tool";
    DWORD size = 0;
    EXPECT_EQ("Tool", QueryText(HKEY_LOCAL_MACHINE, key, "DisplayName", &size));
    EXPECT_EQ(5u, size);  // the NUL is counted
    std::string command = "\"" + dest + "\\drevok.exe\" " + dest + "\\uninst.log";
    EXPECT_EQ(command, QueryText(HKEY_LOCAL_MACHINE, key, "UninstallString"));
    EXPECT_EQ("\"" + dest + "\\drevok.exe\" /S " + dest + "\\uninst.log",
              QueryText(HKEY_LOCAL_MACHINE, key, "QuietUninstallString"));
    EXPECT_EQ(dest, QueryText(HKEY_LOCAL_MACHINE, key, "InstallLocation"));
    EXPECT_EQ(dest + "\\drevok.exe", QueryText(HKEY_LOCAL_MACHINE, key, "DisplayIcon"));
    EXPECT_EQ("2.1", QueryText(HKEY_LOCAL_MACHINE, key, "DisplayVersion"));
    EXPECT_EQ(3, testpkg::DwordValue(HKEY_LOCAL_MACHINE, key, "EstimatedSize"));
    EXPECT_EQ(1, testpkg::DwordValue(HKEY_LOCAL_MACHINE, key, "NoModify"));
    EXPECT_EQ(1, testpkg::DwordValue(HKEY_LOCAL_MACHINE, key, "NoRepair"));
    ASSERT_EQ(1u, notes_.size());
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\" + key, notes_[0].key);
    EXPECT_EQ(testpkg::RegistrationValueNames(), notes_[0].valueNames);
    char name[64] = {};
    GetPrivateProfileStringA("main", "AppName", "", name, sizeof name, (dest + "\\uninst.log").c_str());
    EXPECT_STREQ("Tool", name);
}

TEST_F(UninstallRegistrationTest, SecondInstallReusesTheEntry) {
    installer::RegisterUninstall("Tool", "C:\\First", &notes_);
    installer::RegisterUninstall("Tool", dir_.path().c_str(), &notes_);
    std::string key = std::string(kUninstall) + "\\Tool";
    EXPECT_EQ("\"" + dir_.path() + "\\drevok.exe\" " + dir_.path() + "\\uninst.log",
              QueryText(HKEY_LOCAL_MACHINE, key, "UninstallString"));
}

// The package's own DisplayIcon names a file of the installation; a full
// path, or a value of another type, is left as it is.
TEST_F(UninstallRegistrationTest, APackagesIconIsResolvedInTheInstallationFolder) {
    std::string key = std::string(kUninstall) + "\\Tool";
    struct Case {
        const char* icon;
        std::string resolved;
    } cases[] = {{"bin\\app.exe,1", dir_.path() + "\\bin\\app.exe,1"},
                 {"D:\\Icons\\app.ico", "D:\\Icons\\app.ico"},
                 {"\\\\server\\share\\app.ico", "\\\\server\\share\\app.ico"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.icon);
        ASSERT_TRUE(testpkg::SetStringValue(HKEY_LOCAL_MACHINE, key, "DisplayIcon", c.icon));
        installer::ResolveDisplayIcon("Tool", dir_.path().c_str());
        EXPECT_EQ(c.resolved, QueryText(HKEY_LOCAL_MACHINE, key, "DisplayIcon"));
    }
    ASSERT_TRUE(testpkg::SetDwordValue(HKEY_LOCAL_MACHINE, key, "DisplayIcon", 7));
    installer::ResolveDisplayIcon("Tool", dir_.path().c_str());
    EXPECT_EQ(7, testpkg::DwordValue(HKEY_LOCAL_MACHINE, key, "DisplayIcon"));
}

// An installation counts as registered while its log is there; entries
// written before InstallLocation existed name the folder in their command.
TEST_F(UninstallRegistrationTest, TheRegisteredFolderIsTheOneWhoseLogIsThere) {
    std::string key = std::string(kUninstall) + "\\Tool", dir = dir_ / "Old App";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(testpkg::SetStringValue(HKEY_LOCAL_MACHINE, key, "UninstallString",
                                        installer::UninstallCommand(dir.c_str())));
    EXPECT_EQ("", installer::RegisteredFolder("Tool"));  // no log yet
    ASSERT_TRUE(testpkg::WriteFileBytes(dir + "\\uninst.log", testpkg::TextBytes("[main]\r\n")));
    EXPECT_EQ(dir, installer::RegisteredFolder("Tool"));
    EXPECT_EQ("", installer::RegisteredFolder("Other"));
    // InstallLocation, when there, is the folder.
    ASSERT_TRUE(testpkg::SetStringValue(HKEY_LOCAL_MACHINE, key, "InstallLocation", dir_ / "gone"));
    EXPECT_EQ("", installer::RegisteredFolder("Tool"));
}

TEST(UninstallRegistrationWithoutKey, NothingHappens) {
    testpkg::PrivateMachineKey machine;
    testpkg::TempDir dir;
    package::RegistryLogList notes;
    installer::RegisterUninstall("Tool", dir.path().c_str(), &notes);
    EXPECT_TRUE(notes.empty());
    EXPECT_FALSE(testpkg::FileExists(dir / "uninst.log"));
}

TEST_F(UninstallRegistrationTest, AnEmptyNameRegistersNothing) {
    installer::RegisterUninstall("", dir_.path().c_str(), &notes_);
    EXPECT_TRUE(notes_.empty());
    EXPECT_EQ("<missing>", QueryText(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString"));
    EXPECT_FALSE(testpkg::FileExists(dir_ / "uninst.log"));
}

TEST_F(UninstallRegistrationTest, RegistrationIsKeyOneAndPackageKeysFollow) {
    installer::UninstallDetails details;
    details.version = "1.0";
    installer::RegisterUninstall("Tool", dir_.path().c_str(), &notes_, details);
    package::NoteRegistryText("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Tool]\r\n\"A\"=\"1\"\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Tool]\r\n@=\"d\"\r\n",
                              &notes_);
    std::string log = dir_ / "uninst.log";
    installer::LogRegistryNotes(log.c_str(), notes_);
    EXPECT_EQ((std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + std::string(kUninstall) + "\\Tool",
                                        "HKEY_CURRENT_USER\\Software\\Tool"}),
              testpkg::ReadLogList(log, "Registry Keys", "RegKey"));
    EXPECT_EQ(testpkg::RegistrationValueNames(), testpkg::ReadLogList(log, "RegKey1", "Value"));
    EXPECT_EQ((std::vector<std::string>{"A", "@"}), testpkg::ReadLogList(log, "RegKey2", "Value"));
}

// A second installation into the same folder appends to the same log: its
// keys are numbered after those recorded before, each with its own values.
TEST_F(UninstallRegistrationTest, ASecondInstallationNumbersItsKeysAfterTheFirst) {
    std::string log = dir_ / "uninst.log";
    testpkg::TestLog earlier(log);
    earlier.AddKey("HKEY_CURRENT_USER\\Software\\Old", {"A"});
    package::NoteRegistryText("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\New]\r\n\"B\"=\"1\"\r\n",
                              &notes_);
    installer::LogRegistryNotes(log.c_str(), notes_);
    EXPECT_EQ((std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Old", "HKEY_CURRENT_USER\\Software\\New"}),
              testpkg::ReadLogList(log, "Registry Keys", "RegKey"));
    EXPECT_EQ((std::vector<std::string>{"A"}), testpkg::ReadLogList(log, "RegKey1", "Value"));
    EXPECT_EQ((std::vector<std::string>{"B"}), testpkg::ReadLogList(log, "RegKey2", "Value"));
}

// A classes root without the .reg association, for this process only.
class WithoutRegAssociation {
  public:
    WithoutRegAssociation() {
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &empty_, nullptr);
        RegOverridePredefKey(HKEY_CLASSES_ROOT, empty_);
    }
    ~WithoutRegAssociation() {
        RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        RegCloseKey(empty_);
        SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
    }

  private:
    std::string path_ = "Software\\SuiteTests\\classes-" + std::to_string(GetCurrentProcessId());
    HKEY empty_ = nullptr;
};

// Where the associated program cannot import the text (the .reg file cannot
// be written into a folder that is gone or under a path too long, or no
// program takes .reg files), the installer writes the entries itself: the
// values land, every key it creates is logged outermost first after the
// registration, and no .reg file is left.
TEST_F(UninstallRegistrationTest, WithoutTheAssociatedProgramTheEntriesAreWrittenAndLogged) {
    std::string top = "Software\\SuiteTests-import-" + std::to_string(GetCurrentProcessId());
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + top + "\\Tool\\Sub]\r\n\"A\"=\"1\"\r\n"
                       "[HKEY_CURRENT_USER\\" + top + "\\Tool\\Sub]\r\n@=dword:00000007\r\n";
    std::string package = dir_ / "package.tmp";
    ASSERT_TRUE(testpkg::WriteFileBytes(package, testpkg::Bytes(text.begin(), text.end())));
    std::string longDir = dir_ / std::string(250, 'd');
    CreateDirectoryA(longDir.c_str(), nullptr);
    struct Case {
        std::string installDir;
        bool associated;
    } cases[] = {{dir_ / "missing", true}, {longDir, true}, {dir_.path(), false}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        notes_.clear();
        installer::RegisterUninstall("Tool", dir_.path().c_str(), &notes_);
        std::string log = dir_ / ("uninst" + std::to_string(i) + ".log");
        FILE* stream = fopen(package.c_str(), "rb");
        ASSERT_TRUE(stream);
        {
            std::unique_ptr<WithoutRegAssociation> classes;
            if (!cases[i].associated) classes = std::make_unique<WithoutRegAssociation>();
            installer::ImportRegistryBlock(stream, "Tool", 0, (uint32_t)text.size(),
                                           cases[i].installDir.c_str(), log.c_str(), &notes_);
        }
        fclose(stream);
        EXPECT_EQ("1", QueryText(HKEY_CURRENT_USER, top + "\\Tool\\Sub", "A"));
        DWORD number = 0, size = sizeof number;
        EXPECT_EQ(ERROR_SUCCESS, SHGetValueA(HKEY_CURRENT_USER, (top + "\\Tool\\Sub").c_str(),
                                             nullptr, nullptr, &number, &size));
        EXPECT_EQ(7u, number);
        EXPECT_EQ((std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + std::string(kUninstall) + "\\Tool",
                                            "HKEY_CURRENT_USER\\" + top,
                                            "HKEY_CURRENT_USER\\" + top + "\\Tool",
                                            "HKEY_CURRENT_USER\\" + top + "\\Tool\\Sub"}),
                  testpkg::ReadLogList(log, "Registry Keys", "RegKey"));
        EXPECT_TRUE(testpkg::ReadLogList(log, "RegKey2", "Value").empty());
        EXPECT_EQ((std::vector<std::string>{"A", "@"}), testpkg::ReadLogList(log, "RegKey4", "Value"));
        EXPECT_FALSE(testpkg::FileExists(dir_ / "Tool.reg"));
        SHDeleteKeyA(HKEY_CURRENT_USER, top.c_str());
    }
}

// A block larger than any registry text is not read: the system's error text
// is shown and the registration noted before still reaches the log.
TEST_F(UninstallRegistrationTest, AnOversizedBlockIsReportedAndTheNotesAreStillLogged) {
    installer::RegisterUninstall("Tool", dir_.path().c_str(), &notes_);
    std::string package = dir_ / "package.tmp";
    ASSERT_TRUE(testpkg::WriteFileBytes(package, testpkg::Bytes(64, 'r')));
    FILE* stream = fopen(package.c_str(), "rb");
    ASSERT_TRUE(stream);
    std::string log = dir_ / "uninst.log";
    std::string boxText = "<no box>";
    std::thread answer = AnswerBox("GetLastError", &boxText);
    installer::ImportRegistryBlock(stream, "Tool", 0, package::kMaxRegistryTextSize + 1,
                                   dir_.path().c_str(), log.c_str(), &notes_);
    answer.join();
    fclose(stream);
    EXPECT_NE("<no box>", boxText);
    EXPECT_EQ((std::vector<std::string>{"HKEY_LOCAL_MACHINE\\" + std::string(kUninstall) + "\\Tool"}),
              testpkg::ReadLogList(log, "Registry Keys", "RegKey"));
    EXPECT_FALSE(testpkg::FileExists(dir_ / "Tool.reg"));
}

// Keys that exist already are never logged as created, so the uninstaller
// does not take away what was there before.
TEST(NoteRegistryImport, OnlyMissingParentsAreNoted) {
    std::string top = "Software\\SuiteTests-note-" + std::to_string(GetCurrentProcessId());
    SHSetValueA(HKEY_CURRENT_USER, (top + "\\Have").c_str(), "v", REG_SZ, "x", 2);
    package::RegistryLogList notes;
    installer::NoteRegistryImport(
        package::ParseRegistryText("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + top + "\\Have\\New\\Key]\r\n\"v\"=\"1\"\r\n"
                                   "[HKEY_USERS\\.DEFAULT\\Software\\Nope\\Key]\r\n\"v\"=\"1\"\r\n"),
        &notes);
    SHDeleteKeyA(HKEY_CURRENT_USER, top.c_str());
    ASSERT_EQ(3u, notes.size());
    EXPECT_EQ("HKEY_CURRENT_USER\\" + top + "\\Have\\New", notes[0].key);
    EXPECT_EQ("HKEY_CURRENT_USER\\" + top + "\\Have\\New\\Key", notes[1].key);
    EXPECT_EQ("HKEY_USERS\\.DEFAULT\\Software\\Nope\\Key", notes[2].key);  // noted, never written
}

TEST(RunAssociated, ImportsTheRegFileAndDeletesIt) {
    testpkg::TempDir dir;
    std::string key = "Software\\SuiteTests\\import-" + std::to_string(GetCurrentProcessId());
    std::string text = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + key + "]\r\n\"Name\"=\"C:\\\\Dir\"\r\n";
    std::string path = dir / "My App.reg";
    ASSERT_TRUE(testpkg::WriteFileBytes(path, testpkg::Bytes(text.begin(), text.end())));
    EXPECT_TRUE(installer::RunAssociated("My App.reg", dir.path().c_str(), path.c_str()));
    EXPECT_EQ("C:\\Dir", QueryText(HKEY_CURRENT_USER, key, "Name"));
    EXPECT_FALSE(testpkg::FileExists(path));
    SHDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
}

TEST(RunAssociated, WithoutAssociationSaysSoAndKeepsTheFile) {
    testpkg::TempDir dir;
    std::string path = dir / "App.reg";
    ASSERT_TRUE(testpkg::WriteFileBytes(path, testpkg::Bytes(12, 'r')));
    WithoutRegAssociation classes;
    EXPECT_FALSE(installer::RunAssociated("App.reg", dir.path().c_str(), path.c_str()));
    EXPECT_TRUE(testpkg::FileExists(path));
}
