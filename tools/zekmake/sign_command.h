// How zekmake asks osslsigncode for an Authenticode signature: the
// arguments, and the quoting that carries them to the tool through a
// Windows command line or a POSIX shell. Portable: no platform headers, so
// that every host of zekmake starts the tool the same way.
#pragma once

#include <string>
#include <vector>

#include "tools/zekmake/description.h"

namespace zekmake {

// The arguments after the tool's name that sign inPath into outPath (a
// SHA-256 Authenticode signature with the description's certificate, text
// and time-stamp server), the certificate's password read from passwordFile
// ("/dev/stdin" or "-" for the standard input). certificate, inPath and
// outPath are as the tool sees them.
std::vector<std::string> SignArguments(const Signing& signing, const std::string& certificate,
                                       const std::string& inPath, const std::string& outPath,
                                       const std::string& passwordFile);

// text as one word of a POSIX shell command: in single quotes, each single
// quote written as '\''.
std::string ShellWord(const std::string& text);

// text as one argument of a Windows command line, as CommandLineToArgvW and
// the C runtime split it: in double quotes when it is empty or holds a blank,
// tab or quote; backslashes doubled only where a quote follows them.
std::string CommandLineWord(const std::string& text);

// The shell script that signs through tool with args: the password comes
// from the environment variable the description names (never on a command
// line, where other users could read it), the tool's output goes to the
// script's standard output, and its exit code is written to statusPath
// (through a temporary name, so that the file appears complete or not at all).
std::string SignScript(const std::string& tool, const std::vector<std::string>& args,
                       const std::string& passwordVariable, const std::string& statusPath);

}  // namespace zekmake
