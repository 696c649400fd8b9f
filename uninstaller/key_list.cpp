#include "uninstaller/key_list.h"

#include <algorithm>
#include <cstring>

namespace uninstaller {

bool ParseRootKey(const char* text, KeyEntry* entry) {
    static const struct {
        const char* name;
        uint32_t root;
    } kRoots[] = {
        {"HKEY_CLASSES_ROOT", kRootClasses},
        {"HKEY_CURRENT_USER", kRootCurrentUser},
        {"HKEY_LOCAL_MACHINE", kRootLocalMachine},
    };
    const char* slash = strchr(text, '\\');
    if (!slash || !slash[1]) return false;
    std::string name(text, slash);
    for (const auto& r : kRoots) {
        if (name == r.name) {
            entry->root = r.root;
            entry->subKey = slash + 1;
            return true;
        }
    }
    return false;
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
