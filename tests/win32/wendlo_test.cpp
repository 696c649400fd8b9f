// wendlo.dll through its ordinals, as setup.exe and drevok.exe bind it.
#include <gtest/gtest.h>

#include <windows.h>

#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "uninstall_log/wendlo.h"

namespace {

class WendloTest : public ::testing::Test {
  protected:
    std::vector<std::string> Read(const char* section, const char* prefix) {
        char** items = reinterpret_cast<char**>(0x1);
        int count = -1;
        LogReadList(log_.c_str(), section, prefix, &items, &count);
        std::vector<std::string> texts(items, items + count);
        LogFreeList(items, count);
        return texts;
    }

    testpkg::TempDir dir_;
    std::string log_ = dir_ / "uninst.log";
};

}  // namespace

// The operations are exported by ordinal alone, and the ordinals are the
// ones the programs' import library binds.
TEST_F(WendloTest, OperationsAreExportedByOrdinalOnly) {
    HMODULE wendlo = GetModuleHandleA("wendlo.dll");
    ASSERT_NE(nullptr, wendlo);
    for (int ordinal : {2, 3, 4, 10, 11}) EXPECT_NE(nullptr, GetProcAddress(wendlo, MAKEINTRESOURCEA(ordinal))) << ordinal;
    EXPECT_EQ(nullptr, GetProcAddress(wendlo, "LogAddEntry"));
    EXPECT_EQ(nullptr, GetProcAddress(wendlo, "LogAddEntry@12"));

    auto addEntry = reinterpret_cast<decltype(&LogAddEntry)>(reinterpret_cast<void*>(GetProcAddress(wendlo, MAKEINTRESOURCEA(2))));
    auto addKey = reinterpret_cast<decltype(&LogAddRegKey)>(reinterpret_cast<void*>(GetProcAddress(wendlo, MAKEINTRESOURCEA(10))));
    auto addValue = reinterpret_cast<decltype(&LogAddRegValue)>(reinterpret_cast<void*>(GetProcAddress(wendlo, MAKEINTRESOURCEA(11))));
    addEntry(log_.c_str(), "C:\\by ordinal", 2);
    addKey(log_.c_str(), "HKEY_CURRENT_USER\\Software\\Ordinal");
    addValue(log_.c_str(), 1, "Name");
    EXPECT_EQ((std::vector<std::string>{"C:\\by ordinal"}), Read("CopiedFiles", "File"));
    EXPECT_EQ((std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Ordinal"}), Read("Registry Keys", "RegKey"));
    EXPECT_EQ((std::vector<std::string>{"Name"}), Read("RegKey1", "Value"));
}

TEST_F(WendloTest, EachKindKeepsItsOwnListInRecordedOrder) {
    EXPECT_EQ(1, LogAddEntry(log_.c_str(), "C:\\App", 1));
    LogAddEntry(log_.c_str(), "C:\\App\\a.exe", 2);
    LogAddEntry(log_.c_str(), "C:\\App\\Sub", 1);
    LogAddEntry(log_.c_str(), "C:\\App\\b.txt", 2);
    LogAddEntry(log_.c_str(), "C:\\Windows\\System32\\s.dll", 3);
    LogAddEntry(log_.c_str(), "C:\\Windows\\System32\\o.ocx", 4);
    LogAddEntry(log_.c_str(), "C:\\Desktop\\App.lnk", 5);
    EXPECT_EQ(0, LogAddEntry(log_.c_str(), "C:\\nowhere", 6));
    EXPECT_EQ((std::vector<std::string>{"C:\\App", "C:\\App\\Sub"}), Read("CreatedDirs", "Dir"));
    EXPECT_EQ((std::vector<std::string>{"C:\\App\\a.exe", "C:\\App\\b.txt"}),
              Read("CopiedFiles", "File"));
    EXPECT_EQ((std::vector<std::string>{"C:\\Windows\\System32\\s.dll"}), Read("InstalledDLLs", "DLL"));
    EXPECT_EQ((std::vector<std::string>{"C:\\Windows\\System32\\o.ocx"}), Read("OLEFiles", "OLE"));
    EXPECT_EQ((std::vector<std::string>{"C:\\Desktop\\App.lnk"}), Read("ShellLinks", "Link"));
}

TEST_F(WendloTest, MissingLogAndMissingListReadAsEmpty) {
    EXPECT_TRUE(Read("CopiedFiles", "File").empty());  // no file at all
    LogAddEntry(log_.c_str(), "C:\\App", 1);
    EXPECT_TRUE(Read("CopiedFiles", "File").empty());
    LogFreeList(nullptr, 0);
}

TEST_F(WendloTest, ValueNamesBelongToTheNthKey) {
    LogAddRegKey(log_.c_str(), "HKEY_LOCAL_MACHINE\\Software\\Vendor\\App");
    LogAddRegValue(log_.c_str(), 1, "DisplayName");
    LogAddRegKey(log_.c_str(), "HKEY_CURRENT_USER\\Software\\App");
    LogAddRegValue(log_.c_str(), 2, "@");
    LogAddRegValue(log_.c_str(), 1, "UninstallString");
    EXPECT_EQ((std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Software\\Vendor\\App",
                                        "HKEY_CURRENT_USER\\Software\\App"}),
              Read("Registry Keys", "RegKey"));
    EXPECT_EQ((std::vector<std::string>{"DisplayName", "UninstallString"}), Read("RegKey1", "Value"));
    EXPECT_EQ((std::vector<std::string>{"@"}), Read("RegKey2", "Value"));
    EXPECT_EQ(0, LogAddRegValue(log_.c_str(), 0, "zero is no key"));
}

TEST_F(WendloTest, AppNameStaysWithTheProfileFunctions) {
    LogAddEntry(log_.c_str(), "C:\\App\\1", 2);
    ASSERT_TRUE(WritePrivateProfileStringA("main", "AppName", "Demo App", log_.c_str()));
    LogAddEntry(log_.c_str(), "C:\\App\\2", 2);
    char name[64] = {};
    GetPrivateProfileStringA("main", "AppName", "", name, sizeof name, log_.c_str());
    EXPECT_STREQ("Demo App", name);
    EXPECT_EQ((std::vector<std::string>{"C:\\App\\1", "C:\\App\\2"}), Read("CopiedFiles", "File"));
    // The profile writer may rewrite the file; the records survive that too.
    ASSERT_TRUE(WritePrivateProfileStringA("main", "AppName", "Renamed", log_.c_str()));
    EXPECT_EQ((std::vector<std::string>{"C:\\App\\1", "C:\\App\\2"}), Read("CopiedFiles", "File"));
}

TEST_F(WendloTest, AwkwardTextsReadBackUnchanged) {
    const char* texts[] = {"C:\\Program Files\\My App\\a=b;c.txt", "[not a section]", "; not a comment",
                           " spaced ", "50% \xe9t\xe9 \xff", "@"};
    for (const char* text : texts) LogAddEntry(log_.c_str(), text, 2);
    std::vector<std::string> back = Read("CopiedFiles", "File");
    ASSERT_EQ(6u, back.size());
    for (size_t i = 0; i < back.size(); ++i) EXPECT_EQ(texts[i], back[i]) << i;
}

// Each record is in the file when the call returns: a writer killed at once
// leaves every record it made.
TEST_F(WendloTest, RecordsSurviveTheWriterBeingKilled) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string eventName = "wendlo-test-written-" + std::to_string(GetCurrentProcessId());
    HANDLE written = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(nullptr, written);
    std::string command =
        std::string("\"") + self + "\" --write-and-hang \"" + log_ + "\" " + eventName;
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &info));
    EXPECT_EQ((DWORD)WAIT_OBJECT_0, WaitForSingleObject(written, 20000));
    CloseHandle(written);
    TerminateProcess(info.hProcess, 9);
    WaitForSingleObject(info.hProcess, 5000);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    EXPECT_EQ(100u, Read("CopiedFiles", "File").size());
    EXPECT_EQ((std::vector<std::string>{"last"}), Read("ShellLinks", "Link"));
}

// How fast this goes is measured by bench/log.sh.
TEST_F(WendloTest, TenThousandRecordsAreAllReadBack) {
    char text[64];
    for (int i = 0; i < 10000; ++i) {
        snprintf(text, sizeof text, "C:\\Program Files\\App\\file%05d.dat", i);
        LogAddEntry(log_.c_str(), text, 2);
    }
    std::vector<std::string> back = Read("CopiedFiles", "File");
    ASSERT_EQ(10000u, back.size());
    EXPECT_EQ("C:\\Program Files\\App\\file09999.dat", back.back());
}
