// zekmake's work: a description in, a folder ready to ship out (setup.exe,
// setup.dat, setup.inf, zlib.dll, wendlo.dll). The programs that travel with
// the package, and zek2dat.dll, are taken from zekmake.exe's own folder.
#pragma once

#include <cstdio>
#include <string>

#include "tools/zekmake/signing.h"

namespace zekmake {

// What a caller that goes on with the folder needs from a build.
struct PackageExtras {
    bool quiet = false;           // without the "ready to ship" lines on out
    Signer signer;                // set up from the description's [signing]
    std::string applicationName;  // as the package holds it
};

// Reads the description, builds the package in a temporary folder and, only
// when everything succeeded, copies the shipped files into outDir (made when
// missing). Reports on out, mistakes and failures on err. Returns the exit
// code: 0 when outDir holds the package, 1 otherwise. With [signing] in the
// description, setup.exe, wendlo.dll and drevok.exe are signed before they
// are copied or packed.
int MakePackage(const char* descriptionPath, const char* outDir, FILE* out, FILE* err,
                PackageExtras* extras = nullptr);

}  // namespace zekmake
