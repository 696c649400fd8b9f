// The exit codes of setup.exe. Deployment tools branch on them: never
// renumber one.
#pragma once

namespace installer {

enum SetupExitCode : int {
    kSetupFailed = 0,         // refused, cancelled or failed
    kSetupDone = 1,           // installed
    kSetupRestartNeeded = 2,  // installed; complete after the next Windows start (/S only)
};

}  // namespace installer
