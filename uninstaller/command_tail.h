// The uninstaller's one argument, taken from its whole command line.
// Portable: no platform headers.
#pragma once

namespace uninstaller {

// The part of commandLine after the program's own name and the blanks
// behind it. A name that begins with a double quote runs up to and including
// the closing quote (to the end when there is none); any other name runs up
// to the first character at or below the blank. Characters at or below the
// blank are then skipped. The rest is returned as it is: quotes inside it
// stay and trailing blanks stay. Characters compare as unsigned bytes, so
// letters of the ANSI code page above 127 belong to the name. Never null for
// a non-null commandLine; empty when nothing follows the name.
const char* CommandTail(const char* commandLine);

// The log path of a tail that may start with the switch /S (in any case)
// and the characters at or below the blank behind it; *quiet tells whether
// it did. Without the switch, tail itself.
const char* TakeQuietSwitch(const char* tail, bool* quiet);

}  // namespace uninstaller
