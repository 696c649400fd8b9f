#include "tests/e2e/uninstall_fixture.h"

#include <shlwapi.h>
#include <tlhelp32.h>

#include "tests/support/boot_renames.h"
#include "tests/support/test_package.h"
#include "tests/support/test_registry.h"

namespace e2e {

void UninstallTest::SetUp() {
    SetupTest::SetUp();
    static int counter = 0;
    appDir_ = root_ / "App Folder With Spaces";
    ASSERT_TRUE(CreateDirectoryA(appDir_.c_str(), nullptr));
    for (const char* name : {"drevok.exe", "wendlo.dll"}) {
        std::string from = std::string(SUITE_BIN_DIR) + "\\" + name;
        ASSERT_TRUE(CopyFileA(from.c_str(), (appDir_ + "\\" + name).c_str(), FALSE)) << from;
    }
    log_ = testpkg::TestLog(appDir_ + "\\uninst.log");
    userKey_ = "Software\\SuiteTests\\uninstall-" + std::to_string(GetCurrentProcessId()) + "-" +
               std::to_string(++counter);
    // Both programs pass this on to the fixture servers they load.
    registrationLog_ = root_ / "registration calls.txt";
    SetEnvironmentVariableA("SUITE_REGISTRATION_LOG", registrationLog_.c_str());
}

void UninstallTest::TearDown() {
    SetEnvironmentVariableA("SUITE_REGISTRATION_LOG", nullptr);
    SHDeleteKeyA(HKEY_CURRENT_USER, userKey_.c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, testpkg::kSharedDllsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        for (const std::string& path : counted_) RegDeleteValueA(key, path.c_str());
        RegCloseKey(key);
    }
    testpkg::RemovePendingRenames(root_.path());
}

void UninstallTest::MakeFile(const std::string& path) {
    ASSERT_TRUE(testpkg::WriteFileBytes(path, testpkg::Bytes(5, 'f'))) << path;
}

void UninstallTest::CopyFixture(const char* name, const std::string& path) {
    std::string from = std::string(SUITE_FIXTURE_DIR) + "\\" + name + ".dll";
    ASSERT_TRUE(CopyFileA(from.c_str(), path.c_str(), FALSE)) << from;
}

void UninstallTest::SetCount(const std::string& path, unsigned long count) {
    ForgetCount(path);
    ASSERT_TRUE(testpkg::SetDwordValue(HKEY_LOCAL_MACHINE, testpkg::kSharedDllsKey, path.c_str(), count));
}

long long UninstallTest::Count(const std::string& path) {
    return testpkg::DwordValue(HKEY_LOCAL_MACHINE, testpkg::kSharedDllsKey, path.c_str());
}

std::string UninstallTest::UserKey(const std::string& relative) const {
    return relative.empty() ? userKey_ : userKey_ + "\\" + relative;
}

std::string UninstallTest::RecordedUserKey(const std::string& relative) const {
    return "HKEY_CURRENT_USER\\" + UserKey(relative);
}

void UninstallTest::StartUninstall(const std::string& tail) {
    ASSERT_TRUE(driver_.Start(appDir_ + "\\drevok.exe", tail, appDir_,
                              {"TMP=" + tempDir_, "TEMP=" + tempDir_}))
        << TRANSCRIPT();
}

void UninstallTest::StartUninstallCommand(const std::string& command) {
    ASSERT_TRUE(driver_.StartCommand(command, root_.path(), {"TMP=" + tempDir_, "TEMP=" + tempDir_}))
        << TRANSCRIPT();
}

void UninstallTest::WaitForRemovalCopy() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    ASSERT_NE(INVALID_HANDLE_VALUE, snapshot);
    PROCESSENTRY32 entry = {sizeof entry};
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != driver_.ProcessId()) continue;
        HANDLE copy = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (!copy) continue;  // already gone
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(copy, 20000)) << entry.szExeFile;
        CloseHandle(copy);
    }
    CloseHandle(snapshot);
}

void UninstallTest::AnswerConfirmation(const std::string& appName, int button) {
    HWND box = driver_.WaitWindow("Uninstall question");
    ASSERT_NE(nullptr, box) << TRANSCRIPT();
    EXPECT_EQ("Are you sure you want to uninstall " + appName + " ?", driver_.Text(box, 0xFFFF));
    progress_ = driver_.WaitWindow("Uninstall of  " + appName);
    EXPECT_NE(nullptr, progress_) << TRANSCRIPT();
    driver_.Click(box, button);
    driver_.WaitGone(box);
}

void UninstallTest::AnswerDeleteQuestion(const std::string& path, int button, bool tickAlways) {
    HWND dialog = driver_.WaitWindow("Uninstall Question:");
    ASSERT_NE(nullptr, dialog) << TRANSCRIPT();
    EXPECT_EQ("The file " + path +
                  " seems not to be  needed anymore as its reference count is zero. Do you want to "
                  "delete it ? ",
              driver_.Text(dialog, 1004));
    if (tickAlways) driver_.Check(dialog, 1003, true);
    driver_.Click(dialog, button);
    driver_.WaitGone(dialog);
}

int UninstallTest::FinishRun(const std::string& appName) {
    HWND box = driver_.WaitWindow("Uninstall Message ");
    if (!box) return driver_.WaitExit();
    EXPECT_EQ("Uninstall of " + appName + " ended\n Goodbye !", driver_.Text(box, 0xFFFF));
    if (progress_) finalStatus_ = driver_.Text(progress_, 1001);
    driver_.Click(box, IDOK);
    return driver_.WaitExit();
}

std::vector<std::string> UninstallTest::PendingRenames() const {
    std::vector<std::string> mine;
    for (const auto& [source, target] : testpkg::PendingRenames()) {
        if (source.find(root_.path()) == std::string::npos) continue;
        mine.push_back(source.substr(4));  // "\\??\\"
        mine.push_back(target);
    }
    return mine;
}

}  // namespace e2e
