// The exports of zek2dat.dll as a caller binds them with GetProcAddress. All
// three use the __stdcall convention (WINAPI) and are exported under their
// plain names, without decoration.
#pragma once

#include <windows.h>

#include "builder/build_errors.h"

namespace builder {

// int Zek2Dat(project path, output path): 1 when the package was written, 0
// otherwise; after 0 GetLastError() may hold one of the codes of
// builder/build_errors.h.
using Zek2DatFn = int(WINAPI*)(const char* projectPath, const char* outputPath);
// DWORD DoCrc32(file path): the file's CRC-32, or 0 when it cannot be made.
using DoCrc32Fn = DWORD(WINAPI*)(const char* path);

constexpr char kZek2DatExport[] = "Zek2Dat";
constexpr char kDoCrc32Export[] = "DoCrc32";
constexpr char kDialogUpdateProcExport[] = "DialogUpdateProc";

}  // namespace builder
