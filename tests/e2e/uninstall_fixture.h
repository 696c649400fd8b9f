// End-to-end runs of the real drevok.exe: an application folder whose path
// has blanks, holding drevok.exe, wendlo.dll and an uninstall log written
// through wendlo (or by a real installation with setup.exe), with registry
// keys under a unique key of HKCU and counts under unique names in the real
// SharedDLLs key; all of it goes with the test, and so do the restart
// deletions the runs schedule. Each run has the test's temporary folder.
#pragma once

#include <string>
#include <vector>

#include "tests/e2e/setup_fixture.h"
#include "tests/support/test_log.h"

namespace e2e {

class UninstallTest : public SetupTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // A file of a few bytes at path (in an existing folder).
    void MakeFile(const std::string& path);
    // Copies fixture DLL name to path.
    void CopyFixture(const char* name, const std::string& path);
    // Sets the file's count in the real SharedDLLs key; removed in TearDown.
    void SetCount(const std::string& path, unsigned long count);
    // Has TearDown remove the count of path, which a run may have made.
    void ForgetCount(const std::string& path) { counted_.push_back(path); }
    long long Count(const std::string& path);
    // HKCU\<userKey_>\relative; "" is the unique key itself.
    std::string UserKey(const std::string& relative) const;
    // The text that records HKCU\<userKey_>\relative in the log.
    std::string RecordedUserKey(const std::string& relative) const;

    // Starts appDir_\drevok.exe as the list of installed programs does: the
    // program path in quotes, one blank, the tail.
    void StartUninstall(const std::string& tail);
    // The log's own path, the usual tail.
    void StartUninstall() { StartUninstall(log_.path()); }
    // Starts a registered uninstall command as Windows does, in root_.
    void StartUninstallCommand(const std::string& command);
    // Waits for the copy of the uninstaller that the last run started (to
    // delete the uninstaller's own files once the run has ended) to end.
    void WaitForRemovalCopy();
    // Waits for the confirmation, checks that it names appName, and answers.
    void AnswerConfirmation(const std::string& appName, int button);
    // Waits for the delete question, checks that it names path, ticks the
    // Always box if asked to, and answers.
    void AnswerDeleteQuestion(const std::string& path, int button, bool tickAlways = false);
    // Waits for the goodbye, checks its text, notes the progress window's
    // last status text in finalStatus_, answers OK; the exit code.
    int FinishRun(const std::string& appName);
    // The pending restart operations under this test's folder, each source
    // path ("\??\" taken off) followed by its target ("" for a deletion).
    std::vector<std::string> PendingRenames() const;

    std::string appDir_;
    testpkg::TestLog log_{""};
    std::string userKey_;
    std::string registrationLog_;
    std::vector<std::string> counted_;
    HWND progress_ = nullptr;
    std::string finalStatus_;
};

}  // namespace e2e
