// Signing what zekmake ships, as the description's [signing] table asks:
// an Authenticode SHA-256 signature made by osslsigncode.
//
// On Windows the tool is osslsigncode.exe on the PATH. Under Wine, where
// zekmake usually runs on Linux, it is the Linux program (/usr/bin or
// /usr/local/bin): Wine starts a Linux program through CreateProcess, but
// gives no handle to wait on, so the tool runs inside a /bin/sh script that
// writes its exit code to a file, and zekmake waits for that file. Paths
// are handed over as Wine maps them (wine_get_unix_file_name). Either way
// ZEKMAKE_SIGNTOOL may name the tool (a Unix path: the Linux program; any
// other: a Windows program, started as on Windows), and the password passes
// from the environment variable the description names to the tool's
// standard input, never through a command line.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/zekmake/description.h"

namespace zekmake {

class Signer {
  public:
    // Takes the description's [signing] and checks what signing needs beyond
    // the description's own files: the tool and the password's variable.
    // Each one missing is a mistake on the line that asks for it. Returns
    // true without [signing] (then enabled() is false).
    bool Prepare(const Signing& signing, std::vector<Mistake>* mistakes);
    bool enabled() const { return signing_.enabled; }

    // Signs the file at path in place: the signed copy replaces it only
    // when the tool succeeded. Tells a failure, with the tool's output, on err.
    bool Sign(const std::string& path, FILE* err) const;

    // Signs each of names that exists in folder.
    bool SignIn(const std::string& folder, std::initializer_list<const char*> names,
                FILE* err) const;

  private:
    bool RunUnix(const std::string& path, const std::string& signedPath, std::string* log) const;
    bool RunWindows(const std::string& path, const std::string& signedPath,
                    std::string* log) const;

    Signing signing_;
    std::string tool_;  // a Unix path when unix_, else a Windows one
    bool unix_ = false;
};

}  // namespace zekmake
