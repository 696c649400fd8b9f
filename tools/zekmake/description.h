// The project description zekmake reads: a TOML text that says in words
// what the binary project file says in fields. Reading it checks every value
// against what the project file, the builder and the installer can hold, so
// a description that reads without mistakes builds a package that installs
// as described. Portable: no platform headers (the machine is reached
// through Host).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "builder/project_writer.h"

namespace zekmake {

// One mistake in a description: its line (1-based; 0 when it has none), what
// is wrong and how to put it right.
struct Mistake {
    uint32_t line;
    std::string problem;
    std::string fix;
};

// What reading a description asks of the machine. Paths are the ones the
// reader makes: an absolute path as written, or the description's folder, a
// separator and the relative path with "/" and "\" turned into the separator.
class Host {
  public:
    virtual ~Host() = default;
    // What separates folders in a path: "\" on Windows.
    virtual char Separator() const { return '\\'; }
    virtual bool IsFile(const std::string& path) const = 0;
    virtual bool IsFolder(const std::string& path) const = 0;
    // Names of the folders directly inside the folder at path.
    virtual std::vector<std::string> Subfolders(const std::string& path) const = 0;
    // Names of the files directly inside the folder at path, in UTF-8 as the
    // file system holds them (not as the ANSI code page shows them).
    virtual std::vector<std::string> Files(const std::string& path) const = 0;
    // The whole file at path; false when it cannot be read.
    virtual bool ReadFile(const std::string& path, std::string* bytes) const = 0;
    // UTF-8 text in the 8-bit code page the package stores; false when a
    // character has no place in that code page.
    virtual bool ToAnsi(std::string_view utf8, std::string* ansi) const = 0;
};

// A licence or readme file written in UTF-8 (with or without a byte-order
// mark), converted to the ANSI code page the installer shows: this text is
// packed in place of the file. A file in ASCII, or in the ANSI code page
// already (not valid UTF-8), is packed as it is.
struct ConvertedText {
    bool converted = false;
    std::string ansi;
};

// The [signing] table: zekmake signs what it ships with this certificate.
struct Signing {
    bool enabled = false;
    std::string certificate;       // the PKCS#12 file, as resolved
    std::string passwordVariable;  // the environment variable that holds its password
    std::string timestampUrl;      // empty: no time stamp
    std::string description;       // the text Windows shows for the signed program
    uint32_t line = 0;             // of the table, for mistakes found later
    uint32_t passwordLine = 0;     // of password_variable
};

// A description read and checked: the project file's contents, and the
// background settings for setup.inf.
struct Description {
    builder::Project project = {};
    uint32_t backColor = 0xFF0000;  // a COLORREF, 0x00BBGGRR: blue
    bool dithered = true;
    ConvertedText licence;
    ConvertedText readme;
    Signing signing;
    // What builds but is likely not meant (same form as a mistake).
    std::vector<Mistake> warnings;
};

// Reads a description. baseDir is the folder relative paths start from.
// Returns true and fills *out when there is no mistake; otherwise returns
// false with every mistake found in *mistakes, in order of their lines (a
// TOML syntax error ends reading at once, so it comes alone).
bool ReadDescription(std::string_view text, const std::string& baseDir, const Host& host,
                     Description* out, std::vector<Mistake>* mistakes);

// Adds the group that carries the uninstaller to a project read from a
// description that asks for uninstall support: the files of folder, copied
// as plain files into the installation folder, with every setup type. The
// reader leaves room for this group.
void AddUninstallGroup(const std::string& folder, builder::Project* project);

// "FILE:LINE: error: PROBLEM. Fix: FIX." (without ":LINE" when line is 0);
// "warning" in place of "error" for a warning.
std::string FormatMistake(const std::string& file, const Mistake& mistake, bool warning = false);

// The text of setup.inf: [main] CRC32 as an unsigned decimal, BackColor and
// Dithered, with CR LF line ends.
std::string SettingsText(uint32_t crc, uint32_t backColor, bool dithered);

}  // namespace zekmake
