// End-to-end runs of the real setup.exe: a package folder holding the
// program, zlib.dll, setup.inf and setup.dat, and a temporary folder of its
// own, both inside a test folder that goes with the test.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"
#include "tools/dialog_driver/dialog_driver.h"

namespace e2e {

class SetupTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // setup.dat from body, and setup.inf holding its CRC-32 and extraLines.
    void WritePackage(const testpkg::Bytes& body, const std::string& extraLines = "");
    void WriteSettings(const std::string& text);
    void WriteCompressed(const testpkg::Bytes& gz);
    // Starts setup.exe with args in workDir (the package folder when empty)
    // with its own temporary folder.
    // A reboot it asks for is only recorded in rebootRecord_ (see
    // installer/reboot.h): no test can restart the prefix.
    void StartSetup(const std::string& workDir = "", const std::string& args = "");
    // Runs setup.exe with switches from root_ to its end; the exit code (-1
    // when it did not end).
    int RunUnattended(const std::string& switches);
    // True when the driver saw no window of the programs it ran.
    bool NoWindowSeen() const { return driver_.Transcript().find("\nwindow ") == std::string::npos; }

    // Waits for a message box captioned caption, answers it with button and
    // returns its text ("<no box>" when none came).
    std::string AnswerBox(const std::string& caption, int button);
    // An "Installation Error" box, answered with OK.
    std::string AnswerInstallError() { return AnswerBox("Installation Error", IDOK); }

    // Answers to the installer's dialogs. Each waits for its window, answers
    // it and waits until it is gone; false (with the transcript telling why)
    // when the window did not come.
    bool AnswerWelcome(int button = 1008);
    // Ends the licence dialog with command (1008 OK, 1009 Cancel, 2 Escape).
    bool AnswerLicence(int command = 1008);
    // Types destination (when not empty), selects type index typeIndex (when
    // not negative) and clicks OK. Does not wait for the dialog to end: it
    // may ask a question first.
    bool AnswerOptions(const std::string& destination, int typeIndex = -1);
    // Answers the readme question; with view the readme is shown, then closed.
    bool AnswerReadme(bool view);
    // Checks choice (1028, 1029 or 1030) in the reboot question and clicks OK.
    bool AnswerReboot(int choice);
    // The final "Vornel Setup" notice, answered with OK.
    std::string AnswerFinalMessage() { return AnswerBox("Vornel Setup", IDOK); }
    // The whole run of a package without licence, readme, reboot question or
    // choice of types: welcome OK, destDir_ (created first), final notice.
    // Returns the exit code (-1 when a window did not come).
    int InstallToDestination();
    // The files left in setup's temporary folder.
    std::vector<std::string> TempFiles() const { return testpkg::ListDir(tempDir_); }

    testpkg::TempDir root_;
    std::string packageDir_;
    std::string tempDir_;
    std::string destDir_;      // a destination of this test's own, not created
    std::string rebootRecord_;  // written only when setup asks for a reboot
    std::vector<std::string> extraEnv_;  // more NAME=VALUE entries for setup.exe
    // A name no other test uses, for what lands outside the test folder
    // (the Windows folder, the desktop, the registry); the test removes it.
    std::string unique_;
    dlgdrive::Driver driver_;
};

// Prints the transcript of the run when an assertion fails.
#define TRANSCRIPT() "transcript:\n" << driver_.Transcript()

}  // namespace e2e
