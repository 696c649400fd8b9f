// The registry text a package carries: the registry editor's version-4
// format ("REGEDIT4", an empty line, then key lines and value lines). The
// builder writes it here from the project's entries, and one reader serves
// both what the installer writes into the registry and what it notes for
// the uninstaller, so none of the three can disagree. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace package {

// The predefined roots a key text may start with, as their 32-bit handle
// values (HKEY_CLASSES_ROOT and so on); the only roots the uninstaller
// removes from.
constexpr uint32_t kRootClasses = 0x80000000u;       // "HKEY_CLASSES_ROOT"
constexpr uint32_t kRootCurrentUser = 0x80000001u;   // "HKEY_CURRENT_USER"
constexpr uint32_t kRootLocalMachine = 0x80000002u;  // "HKEY_LOCAL_MACHINE"

// "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE"; null for
// any other value.
const char* RegistryRootName(uint32_t root);

// Splits "ROOT_NAME\sub\key" at its first backslash. The root name must be
// one of the three above, exactly and with case. False, with the outputs
// untouched, for any other root name, a text without a backslash, or an
// empty sub-key path (which would name the root itself).
bool SplitRegistryKey(std::string_view text, uint32_t* root, std::string* subKey);

// The keys between a key text's root and the key itself, outermost first:
// "R\A\B\C" gives "R\A" and "R\A\B".
std::vector<std::string> ParentKeys(const std::string& key);

// The largest registry text the installer reads; packages hold a few KB.
constexpr uint32_t kMaxRegistryTextSize = 16u << 20;

// Registry value types as the registry API numbers them.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

// One value line.
struct RegistryValue {
    enum class Kind {
        kSet,         // type and data hold what to store
        kDelete,      // "name"=- : the value is removed
        kUnreadable,  // data the format does not define: noted, never written
    };
    std::string name;         // unescaped; empty for the default value
    bool isDefault = false;   // written as @
    Kind kind = Kind::kUnreadable;
    uint32_t type = 0;
    std::vector<uint8_t> data;  // a string's bytes include its NUL
};

// A key line and the value lines that follow it, in text order. A key that
// appears twice gives two sections.
struct RegistrySection {
    std::string key;     // "HKEY_...\\Sub\\Key" as written
    bool remove = false;  // "[-key]": the key and everything below it go
    std::vector<RegistryValue> values;
};

// Reads a registry text. Its first two lines (the "REGEDIT4" header and the
// empty line) are skipped, line ends may be CR LF or LF, value lines before
// the first key line and every other kind of line are ignored. Data:
// "text" with \\ and \" escapes (REG_SZ), dword:8 hex digits (REG_DWORD),
// hex:bytes (REG_BINARY), hex(type):bytes (any type), bytes written as
// two-digit hex numbers separated by commas, continued on the next line
// after a trailing backslash; "-" deletes the value. A value name in quotes
// may hold \\ and \" escapes.
std::vector<RegistrySection> ParseRegistryText(std::string_view text);

// What the installer notes of the registry text: each key once, in
// first-seen order, with the names of the values set under it. The
// uninstaller removes exactly these.
struct RegistryKeyNotes {
    std::string key;                     // compared exactly
    std::vector<std::string> valueNames;  // "@" for the default value
};
using RegistryLogList = std::vector<RegistryKeyNotes>;

// The index of key in list, adding it at the end when it is not there.
size_t FindOrAddKey(RegistryLogList* list, const std::string& key);

// Notes a section's key and the names of the values it sets or cannot read
// (deleted values are not noted; a deleted key notes nothing).
void NoteRegistrySection(const RegistrySection& section, RegistryLogList* list);

// Notes every section of a registry text.
void NoteRegistryText(std::string_view text, RegistryLogList* list);

// --- Writing: the project's entries as the package's text ---
// The builder's text starts with "REGEDIT4" and an empty line; then each
// entry is a key line ("[" root "\\" key "]") and a value line, in project
// order, with CR LF line ends and nothing else. The installer relies on that
// strict alternation.

constexpr char kRegistryTextStart[] = "REGEDIT4\r\n\r\n";
// A project entry's value types.
constexpr uint32_t kRegTypeText = 0;
constexpr uint32_t kRegTypeNumber = 1;

// One registry entry of a project with its three texts (each without its NUL).
struct RegistryEntry {
    uint32_t root;
    uint32_t type;
    std::string key;
    std::string name;
    std::string data;
};

// Reads a number value's text as a signed 32-bit value: base 16 when the
// text begins with "0x" (lower-case x only), base 10 otherwise; leading white
// space and a sign are accepted, reading stops at the first character that
// is not a digit, no digits read as 0, and values beyond the signed 32-bit
// range read as the nearest limit.
int32_t ParseRegistryNumber(const char* text);

// Why an entry cannot be written without breaking the line alternation.
enum class RegEntryFault { kNone, kUnknownRoot, kLineBreak };
RegEntryFault CheckRegEntry(const RegistryEntry& entry);

// The key line and value line of an entry that CheckRegEntry accepts, each
// ending with CR LF. "(Default)" names the default value ("@="); backslashes
// and double quotes in text data are escaped; a number is "dword:" and its
// upper-case hexadecimal digits; other types give no data after the "=".
// ParseRegistryText reads it back as written.
std::string FormatRegEntry(const RegistryEntry& entry);

}  // namespace package
