#include "tests/support/private_registry.h"

#include <shlwapi.h>

namespace testpkg {

PrivateMachineKey::PrivateMachineKey(bool withSharedDlls) {
    static LONG counter = 0;
    path_ = "Software\\SuiteTests\\" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(InterlockedIncrement(&counter));
    RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                    nullptr);
    if (withSharedDlls) {
        HKEY shared = nullptr;
        RegCreateKeyExA(key_, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0, nullptr,
                        0, KEY_ALL_ACCESS, nullptr, &shared, nullptr);
        RegCloseKey(shared);
    }
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_);
}

PrivateMachineKey::~PrivateMachineKey() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    RegCloseKey(key_);
    SHDeleteKeyA(HKEY_CURRENT_USER, path_.c_str());
}

}  // namespace testpkg
