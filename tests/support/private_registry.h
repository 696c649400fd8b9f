// Gives a test its own HKEY_LOCAL_MACHINE: the process's HKLM is redirected
// to a fresh key under HKCU, which goes with the fixture. Tests that touch
// machine-wide keys (SharedDLLs, RunOnce, Uninstall) run side by side
// without seeing each other.
#pragma once

#include <windows.h>

#include <string>

namespace testpkg {

class PrivateMachineKey {
  public:
    // withSharedDlls: create the SharedDLLs key, as every Windows has it.
    explicit PrivateMachineKey(bool withSharedDlls = true);
    ~PrivateMachineKey();
    PrivateMachineKey(const PrivateMachineKey&) = delete;
    PrivateMachineKey& operator=(const PrivateMachineKey&) = delete;

  private:
    std::string path_;
    HKEY key_ = nullptr;
};

}  // namespace testpkg
