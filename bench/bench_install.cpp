// Times setup.exe's installation of a package: bench_install PACKAGE DEST
// Unpacks PACKAGE, then installs every group with DEST as the destination.
// Prints the seconds of each phase. Temporary files go to %TMP%.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>

#include "installer/install_groups.h"
#include "installer/startup.h"

namespace {

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return fprintf(stderr, "usage: bench_install PACKAGE DEST\n"), 2;
    LARGE_INTEGER start, unpacked, installed;
    QueryPerformanceCounter(&start);
    win32::TempFile temp;
    if (!installer::UnpackPackage(argv[1], GetModuleHandleA(nullptr), &temp)) return 1;
    QueryPerformanceCounter(&unpacked);

    package::PackageHeader header = {};
    FILE* stream = installer::OpenPackageStream(temp.path(), &header);
    if (!stream) return 1;
    auto table = std::make_unique<installer::GroupPathTable>();
    installer::InstallGroups(stream, header, 0xFFFFFFFF, nullptr, argv[2], nullptr, table.get());
    QueryPerformanceCounter(&installed);
    fclose(stream);
    printf("%.3f %.3f\n", Seconds(start, unpacked), Seconds(unpacked, installed));
    return 0;
}
