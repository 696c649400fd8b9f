// What the installer notes of the registry text it imports: each key once,
// in first-seen order, with the names of the values set under it. The
// uninstaller removes exactly these. Portable.
#pragma once

#include <string>
#include <vector>

namespace package {

struct RegistryKeyNotes {
    std::string key;                     // "HKEY_...\\Sub\\Key", compared exactly
    std::vector<std::string> valueNames;  // "@" for the default value
};
using RegistryLogList = std::vector<RegistryKeyNotes>;

// The index of key in list, adding it at the end when it is not there.
size_t FindOrAddKey(RegistryLogList* list, const std::string& key);

// Notes the keys and value names of a REGEDIT4 text (its first two lines,
// the "REGEDIT4" header and the empty line, are skipped). A key line is
// "[key]"; a value line is "name"=data or @=data, where the quoted name may
// hold \\ and \" escapes. Value lines before the first key are ignored, and
// so is every other line. Line ends may be CR LF or LF.
void NoteRegistryText(const std::string& text, RegistryLogList* list);

}  // namespace package
