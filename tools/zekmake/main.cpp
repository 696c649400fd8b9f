// zekmake [--bin FOLDER] PROJECT.toml OUTDIR: builds an installer from a
// project description, on Windows and natively on Linux.
// zekmake.exe --single-file PROJECT.toml OUT.exe: the same installer as one program.
#include <cstdio>
#include <cstring>

#include "tools/zekmake/make_package.h"
#ifdef _WIN32
#include "tools/zekmake/single_file.h"
#endif

int main(int argc, char** argv) {
    // The Windows programs to ship: zekmake's own folder unless given.
    const char* bin = nullptr;
    if (argc == 5 && strcmp(argv[1], "--bin") == 0) {
        bin = argv[2];
        argv += 2;
        argc -= 2;
    }
    bool singleFile = argc > 1 && strcmp(argv[1], "--single-file") == 0;
#ifdef _WIN32
    if (singleFile && argc == 4 && !bin) return zekmake::MakeSingleFile(argv[2], argv[3], stdout, stderr);
#endif
    if (singleFile || argc != 3) {
        fprintf(stderr,
                "usage: zekmake PROJECT.toml OUTDIR\n"
                "       zekmake --bin FOLDER PROJECT.toml OUTDIR\n"
#ifdef _WIN32
                "       zekmake --single-file PROJECT.toml OUT.exe\n"
#endif
                "Builds the package described in PROJECT.toml and lays out OUTDIR with\n"
                "setup.exe, setup.dat, setup.inf, zlib.dll and wendlo.dll, taken with the\n"
                "uninstaller from FOLDER (by default the folder zekmake stands in)"
#ifdef _WIN32
                ",\nor writes them all into the one program OUT.exe"
#endif
                ".\n");
        return zekmake::kZekmakeFailed;
    }
    return zekmake::MakePackage(argv[1], argv[2], bin, stdout, stderr);
}
