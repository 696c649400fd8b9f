#include "uninstaller/registry_pass.h"

#include <cstdio>
#include <cstring>

#include "uninstaller/key_list.h"
#include "uninstaller/log_list.h"
#include "uninstaller/progress_window.h"
#include "win32/registry_root.h"
#include "win32/unique_handle.h"

namespace uninstaller {

namespace {

using win32::RootHandle;

// Deletes the recorded values of key number n (counting from 1).
void DeleteRecordedValues(const char* log, int n, const KeyEntry& entry) {
    char section[32];
    snprintf(section, sizeof section, "RegKey%i", n);
    LogList values(log, section, "Value");
    win32::UniqueHkey key;
    if (RegOpenKeyExA(RootHandle(entry.root), entry.subKey.c_str(), 0, KEY_ALL_ACCESS, key.put()) !=
        ERROR_SUCCESS)
        return;
    for (int i = 0; i < values.count(); ++i)
        RegDeleteValueA(key.get(), strcmp(values[i], "@") == 0 ? nullptr : values[i]);
}

}  // namespace

void RemoveRegistryEntries(const char* log, HWND progress) {
    LogList keys(log, "Registry Keys", "RegKey");
    KeyList list;
    for (int i = 0; i < keys.count(); ++i) {
        SetStatusText(progress, "Now removing registry keys...");
        SetBarPosition(progress, 0);
        KeyEntry entry;
        if (!ParseRootKey(keys[i], &entry)) continue;
        DeleteRecordedValues(log, i + 1, entry);
        list.push_back(entry);
    }
    SortKeyList(&list);
    for (const KeyEntry& entry : list)
        if (IsKeyEmpty(RootHandle(entry.root), entry.subKey.c_str()))
            RegDeleteKeyA(RootHandle(entry.root), entry.subKey.c_str());
}

bool IsKeyEmpty(HKEY root, const char* subKey) {
    win32::UniqueHkey key;
    if (RegOpenKeyExA(root, subKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    char name[128];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key.get(), 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_NO_MORE_ITEMS)
        return false;
    // A value whose name does not fit the buffer answers ERROR_MORE_DATA,
    // which counts as not empty like any other answer.
    nameSize = sizeof name;
    return RegEnumValueA(key.get(), 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr) ==
           ERROR_NO_MORE_ITEMS;
}

}  // namespace uninstaller
