// zekmake's work: a description in, a folder ready to ship out (setup.exe,
// setup.dat, setup.inf, zlib.dll, wendlo.dll). The programs that travel with
// the package, and zek2dat.dll, are taken from zekmake.exe's own folder.
#pragma once

#include <cstdio>

namespace zekmake {

// Reads the description, builds the package in a temporary folder and, only
// when everything succeeded, copies the shipped files into outDir (made when
// missing). Reports on out, mistakes and failures on err. Returns the exit
// code: 0 when outDir holds the package, 1 otherwise.
int MakePackage(const char* descriptionPath, const char* outDir, FILE* out, FILE* err);

}  // namespace zekmake
