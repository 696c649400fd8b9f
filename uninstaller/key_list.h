// Recorded registry key texts and the order in which the uninstaller tries
// to delete them. Portable: roots are the predefined keys' 32-bit handle
// values, not HKEYs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/registry_text.h"

namespace uninstaller {

using package::kRootClasses;
using package::kRootCurrentUser;
using package::kRootLocalMachine;

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
