// The switches of setup.exe and what they name, read from its command line.
// Portable: no platform headers.
#pragma once

#include <string>

namespace installer {

// What the command line asks for. Without /S every other switch is read but
// nothing acts on it, as before switches existed.
struct Switches {
    bool unattended = false;   // /S
    std::string type;          // /TYPE= value, "" when not given
    std::string logPath;       // /LOG= value, "" when not given
    std::string destination;   // /D= value, "" when not given
    // The first switch that is unknown or malformed, as written; "" when
    // every switch is sound.
    std::string bad;
};

// Reads tail, the command line after the program's name. Switch names are
// matched in any case; /S, /TYPE= and /LOG= come in any order, separated by
// characters at or below the blank. /TYPE= and /LOG= take the text up to
// the next blank, or a text in double quotes (which may hold blanks). /D=
// ends the line: its value is the rest of the line, blanks included, with
// trailing blanks dropped and one pair of enclosing double quotes taken
// off. A switch with an empty value or an unclosed quote is malformed.
Switches ParseSwitches(const char* tail);

// The setup type that text names among count types, names[0..count-1]: a
// 1-based index ("2") or a name written exactly. Returns the 0-based index,
// 0 for an empty text, -1 when text names none.
int ChooseSetupType(const std::string& text, const char* const* names, int count);

// The folder of a registered uninstall command, "<folder>\drevok.exe" in
// quotes or not, a blank and "<folder>\uninst.log": the log's folder. ""
// when the command is not of that form.
std::string FolderOfUninstallCommand(const std::string& command);

// A message as one line of the unattended log: "caption: text" with each
// line break of text (CR LF, CR or LF) written as one blank.
std::string LogLine(const char* caption, const char* text);

}  // namespace installer
