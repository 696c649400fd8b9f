// The exit codes of drevok.exe. Deployment tools branch on them: never
// renumber one.
#pragma once

namespace uninstaller {

enum UninstallExitCode : int {
    kUninstallFailed = 0,  // nothing shown, answered No, a question cancelled, or no log
    kUninstallDone = 1,    // the run reached its end, even if some items stayed
};

}  // namespace uninstaller
