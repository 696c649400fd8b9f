// The messages of an unattended run (/S): written, one line each, to the
// file /LOG= names instead of being shown.
#pragma once

#include <string>

namespace installer {

// From now on every message of the process goes to the file at path as one
// line "caption: text" (to nowhere when path is ""), and every box counts
// as answered with its first button (OK, Yes).
void RouteMessagesToLog(const std::string& path);

// One line of our own in that file, captioned as the installer's notices.
void LogUnattended(const std::string& text);

}  // namespace installer
