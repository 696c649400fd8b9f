// The exports of zek2dat.dll as a caller binds them with GetProcAddress. All
// three use the __stdcall convention (WINAPI) and are exported under their
// plain names, without decoration.
#pragma once

#include <windows.h>

namespace builder {

// int Zek2Dat(project path, output path): 1 when the package was written, 0
// otherwise; after 0 GetLastError() may hold one of the codes below.
using Zek2DatFn = int(WINAPI*)(const char* projectPath, const char* outputPath);
// DWORD DoCrc32(file path): the file's CRC-32, or 0 when it cannot be made.
using DoCrc32Fn = DWORD(WINAPI*)(const char* path);

constexpr char kZek2DatExport[] = "Zek2Dat";
constexpr char kDoCrc32Export[] = "DoCrc32";
constexpr char kDialogUpdateProcExport[] = "DialogUpdateProc";

// Last-error codes of a failed build (application codes, bit 29 set).
constexpr DWORD kErrorCannotOpen = 0x20000001;    // project or output file
constexpr DWORD kErrorNoMemory = 0x20000005;      // a working buffer
constexpr DWORD kErrorCannotList = 0x20000006;    // a group's source folder
constexpr DWORD kErrorTempFile = 0x20000007;      // a temporary file of the build
constexpr DWORD kErrorCannotRead = 0x20000008;    // a file to pack, once opened
constexpr DWORD kErrorTooLarge = 0x20000009;      // the package body reaches 2 GiB
constexpr DWORD kErrorFileName = 0x2000000A;      // a group file the package cannot name

}  // namespace builder
