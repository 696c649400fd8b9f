// zekmake PROJECT.toml OUTDIR: builds an installer from a project description.
// zekmake --single-file PROJECT.toml OUT.exe: the same installer as one program.
#include <cstdio>
#include <cstring>

#include "tools/zekmake/make_package.h"
#include "tools/zekmake/single_file.h"

int main(int argc, char** argv) {
    bool singleFile = argc > 1 && strcmp(argv[1], "--single-file") == 0;
    if (singleFile && argc == 4) return zekmake::MakeSingleFile(argv[2], argv[3], stdout, stderr);
    if (singleFile || argc != 3) {
        fprintf(stderr,
                "usage: zekmake PROJECT.toml OUTDIR\n"
                "       zekmake --single-file PROJECT.toml OUT.exe\n"
                "Builds the package described in PROJECT.toml and lays out OUTDIR with\n"
                "setup.exe, setup.dat, setup.inf, zlib.dll and wendlo.dll, or writes them\n"
                "all into the one program OUT.exe.\n");
        return 1;
    }
    return zekmake::MakePackage(argv[1], argv[2], stdout, stderr);
}
