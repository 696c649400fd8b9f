// A REGEDIT4 text as the installer reads it (typed values: a string keeps its
// NUL, a dword is four bytes) and notes it for the uninstaller (every key
// noted comes once), and the same bytes as a number value's text.
#include <set>
#include <string>

#include "package/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (const package::RegistrySection& section : package::ParseRegistryText(text)) {
        for (const package::RegistryValue& value : section.values) {
            if (value.kind != package::RegistryValue::Kind::kSet) continue;
            if (value.type == package::kRegSz && (value.data.empty() || value.data.back() != 0))
                __builtin_trap();
            if (value.type == package::kRegDword && value.data.size() != 4) __builtin_trap();
        }
    }
    package::RegistryLogList list;
    package::NoteRegistryText(text, &list);
    std::set<std::string> keys;
    for (const package::RegistryKeyNotes& notes : list)
        if (!keys.insert(notes.key).second) __builtin_trap();
    package::ParseRegistryNumber(text.c_str());
    return 0;
}
