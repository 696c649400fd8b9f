// The restart that ends an installation whose user chose Reboot Now.
#pragma once

namespace installer {

// The environment variable that turns the restart into a record: when it
// names a file, RequestReboot writes the call it would make into that file
// ("ExitWindowsEx 2 0") and restarts nothing. Under Wine a real call ends
// every program of the prefix, the tests included.
constexpr char kRebootRecordVariable[] = "SETUP_REBOOT_RECORD";

// Asks Windows to restart (ExitWindowsEx with EWX_REBOOT), after enabling the
// shutdown privilege that Windows NT requires. Returns without waiting.
void RequestReboot();

}  // namespace installer
