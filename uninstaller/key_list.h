// Recorded registry key texts and the order in which the uninstaller tries
// to delete them. Portable: roots are the predefined keys' 32-bit handle
// values, not HKEYs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace uninstaller {

constexpr uint32_t kRootClasses = 0x80000000u;       // "HKEY_CLASSES_ROOT"
constexpr uint32_t kRootCurrentUser = 0x80000001u;   // "HKEY_CURRENT_USER"
constexpr uint32_t kRootLocalMachine = 0x80000002u;  // "HKEY_LOCAL_MACHINE"

struct KeyEntry {
    uint32_t root;
    std::string subKey;
};
using KeyList = std::vector<KeyEntry>;

// Splits "ROOT_NAME\sub\key" at its first backslash. The root name must be
// one of the three above, exactly and with case. False, with *entry left
// untouched, for any other root name, a text without a backslash, or an
// empty sub-key path (which would name the root itself).
bool ParseRootKey(const char* text, KeyEntry* entry);

// Orders the list for deletion: by root handle value, smallest first; within
// a root by sub-key path in descending byte order (unsigned bytes, case
// counts), so that every key comes before each recorded key whose path is a
// prefix of its own.
void SortKeyList(KeyList* list);

}  // namespace uninstaller
