// The text format of the uninstall log. Portable: no platform headers.
//
// The log is an INI file. [main] AppName is kept by the platform's profile
// functions; every list record is appended as a line "Prefix=text" under a
// header naming its section, so recording never rewrites the file. A section
// may appear several times (a new header is written whenever the previous
// record went to another section); a list is every matching line of every
// matching section, in file order. Texts are stored as they are, except that
// '%', control characters and a leading or trailing space are written as %XX,
// so that every text reads back unchanged.
#pragma once

#include <string>
#include <vector>

namespace uninstall_log {

// The section and key prefix of each recorded kind (1 to 5); null otherwise.
struct ListName {
    const char* section;
    const char* prefix;
};
ListName ListForKind(unsigned kind);

std::string EscapeText(const std::string& text);
std::string UnescapeText(const std::string& text);

// The lines to append for one record. withHeader writes the section header
// first; it is needed unless the file's last header already names section.
std::string RecordLines(const std::string& section, const std::string& prefix,
                        const std::string& text, bool withHeader);

// The texts of every "prefix=" line inside sections named section, in file
// order (names compared without regard to ASCII case). fileText is the whole
// log as stored.
std::vector<std::string> ReadList(const std::string& fileText, const std::string& section,
                                  const std::string& prefix);

}  // namespace uninstall_log
