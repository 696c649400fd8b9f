// Registry probes for tests: what a key holds, checked where it lands.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testpkg {

// Creates the key (and its parents) and sets a REG_SZ value; name null or ""
// sets the default value.
bool SetStringValue(HKEY root, const std::string& subKey, const char* name, const std::string& data);
bool SetDwordValue(HKEY root, const std::string& subKey, const char* name, DWORD data);
bool KeyExists(HKEY root, const std::string& subKey);
// The names of the key's values in enumeration order ("" for the default
// value); empty for a missing key.
std::vector<std::string> ValueNames(HKEY root, const std::string& subKey);
// The REG_DWORD value, or -1 when it is missing or of another size.
long long DwordValue(HKEY root, const std::string& subKey, const char* name);

// The SharedDLLs key of HKEY_LOCAL_MACHINE.
extern const char kSharedDllsKey[];

// The values of an uninstall registration with a version, in the order the
// installer writes and logs them.
const std::vector<std::string>& RegistrationValueNames();

}  // namespace testpkg
