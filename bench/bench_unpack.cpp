// Times setup.exe's unpacking of a package: bench_unpack PACKAGE
// The temporary file goes to %TMP% and is deleted afterwards.
#include <windows.h>

#include <cstdio>
#include <string>

#include "installer/startup.h"

int main(int argc, char** argv) {
    if (argc != 2) return fprintf(stderr, "usage: bench_unpack PACKAGE\n"), 2;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    win32::TempFile temp;
    if (!installer::UnpackPackage(argv[1], GetModuleHandleA(nullptr), &temp)) return 1;
    QueryPerformanceCounter(&end);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExA(temp.path(), GetFileExInfoStandard, &data);
    printf("%lu %.3f\n", data.nFileSizeLow, double(end.QuadPart - start.QuadPart) / frequency.QuadPart);
    return 0;
}
