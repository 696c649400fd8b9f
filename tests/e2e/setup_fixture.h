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
    // Starts setup.exe in the package folder with its own temporary folder.
    void StartSetup();
    // Waits for an "Installation Error" box, answers OK and returns its text
    // ("<no box>" when none came).
    std::string AnswerInstallError();
    // The files left in setup's temporary folder.
    std::vector<std::string> TempFiles() const { return testpkg::ListDir(tempDir_); }

    testpkg::TempDir root_;
    std::string packageDir_;
    std::string tempDir_;
    dlgdrive::Driver driver_;
};

// Prints the transcript of the run when an assertion fails.
#define TRANSCRIPT() "transcript:\n" << driver_.Transcript()

}  // namespace e2e
