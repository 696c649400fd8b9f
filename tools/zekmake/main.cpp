// zekmake PROJECT.toml OUTDIR: builds an installer from a project description.
#include <cstdio>

#include "tools/zekmake/make_package.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr,
                "usage: zekmake PROJECT.toml OUTDIR\n"
                "Builds the package described in PROJECT.toml and lays out OUTDIR with\n"
                "setup.exe, setup.dat, setup.inf, zlib.dll and wendlo.dll.\n");
        return 1;
    }
    return zekmake::MakePackage(argv[1], argv[2], stdout, stderr);
}
