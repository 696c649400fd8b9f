// zekmake [--bin FOLDER] PROJECT.toml OUTDIR: builds an installer from a
// project description, on Windows and natively on Linux.
#include <cstdio>
#include <cstring>

#include "tools/zekmake/make_package.h"

int main(int argc, char** argv) {
    // The Windows programs to ship: zekmake's own folder unless given.
    const char* bin = nullptr;
    if (argc == 5 && strcmp(argv[1], "--bin") == 0) {
        bin = argv[2];
        argv += 2;
        argc -= 2;
    }
    if (argc != 3) {
        fprintf(stderr,
                "usage: zekmake PROJECT.toml OUTDIR\n"
                "       zekmake --bin FOLDER PROJECT.toml OUTDIR\n"
                "Builds the package described in PROJECT.toml and lays out OUTDIR with\n"
                "setup.exe, setup.dat, setup.inf, zlib.dll and wendlo.dll, taken with the\n"
                "uninstaller from FOLDER (by default the folder zekmake stands in).\n");
        return 1;
    }
    return zekmake::MakePackage(argv[1], argv[2], bin, stdout, stderr);
}
