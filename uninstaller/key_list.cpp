#include "uninstaller/key_list.h"

#include <algorithm>

namespace uninstaller {

bool ParseRootKey(const char* text, KeyEntry* entry) {
    return package::SplitRegistryKey(text, &entry->root, &entry->subKey);
}

void SortKeyList(KeyList* list) {
    // std::string compares through char_traits<char>, which orders as
    // unsigned bytes.
    std::sort(list->begin(), list->end(), [](const KeyEntry& a, const KeyEntry& b) {
        if (a.root != b.root) return a.root < b.root;
        return a.subKey > b.subKey;
    });
}

}  // namespace uninstaller
