// zekmake --single-file: the folder zekmake writes, made into one program
// (the stub zekstub.exe with the folder's files appended), signed as well
// when the description asks for it.
#pragma once

#include <cstdio>

namespace zekmake {

// Builds the package of the description as MakePackage does, in a folder
// of the temporary-files directory, and writes the one file to outPath
// only when everything succeeded. Returns the exit code: 0 or 1.
int MakeSingleFile(const char* descriptionPath, const char* outPath, FILE* out, FILE* err);

}  // namespace zekmake
