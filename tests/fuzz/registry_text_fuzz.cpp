// A REGEDIT4 text as the installer notes it for the uninstaller (every key
// noted comes once), and the same bytes as a number value's text.
#include <set>
#include <string>

#include "builder/registry_text.h"
#include "package/registry_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    package::RegistryLogList list;
    package::NoteRegistryText(text, &list);
    std::set<std::string> keys;
    for (const package::RegistryKeyNotes& notes : list)
        if (!keys.insert(notes.key).second) __builtin_trap();
    builder::ParseRegistryNumber(text.c_str());
    return 0;
}
