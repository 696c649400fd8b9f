// Times zek2dat.dll on two projects it writes itself: one group of large
// files (200 MB by default) and one group of many small files (10,000 by
// default). Prints one line per project: "<name> <seconds> <data folder>";
// bench/builder-bench sets the times beside gzip -6 on the same data.
//
//   builder_bench.exe WORK_FOLDER [MEGABYTES [SMALL_FILES]]
//
// With --payload it times zek2dat.dll alone on files that bench/peer.sh
// made: a group of the files in APP_FOLDER for the installation folder and
// one of those in BIN_FOLDER for its subfolder "bin", one setup type.
// Prints the seconds.
//
//   builder_bench.exe --payload APP_FOLDER BIN_FOLDER PROJECT OUTPUT
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "builder/project_writer.h"
#include "builder/zek2dat_api.h"
#include "package/bytes.h"
#include "package/records.h"

namespace {

// Text-like bytes, about as compressible as program files and documents.
std::vector<uint8_t> Sample(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"setup ", "file ", "data\r\n", "0x1F ", "window ",
                                         "registry ", "group\t", "{}", "int ", "return ",
                                         "\x01\x02\x03\x04", "MZ\x90", "package ", "copy "};
    std::vector<uint8_t> out;
    out.reserve(size);
    while (out.size() < size) {
        seed = seed * 1103515245u + 12345u;
        const char* word = kWords[(seed >> 16) % (sizeof kWords / sizeof *kWords)];
        for (const char* c = word; *c && out.size() < size; ++c) out.push_back((uint8_t)*c);
        if ((seed >> 8) % 7 == 0) out.push_back((uint8_t)(seed >> 3));
    }
    return out;
}

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

// A project of one group holding the files of folder.
bool WriteProject(const std::string& path, const std::string& folder) {
    builder::Project project = {};
    package::CopyText(project.header.appName, 24, "Benchmark");
    builder::ProjectGroup group = {};
    package::CopyText(group.name, sizeof group.name, "Data");
    group.flags = package::MakeGroupFlags(package::Destination::kInstall, false, package::CopyMode::kPlain);
    package::CopyText(group.sourceFolder, sizeof group.sourceFolder, folder.c_str());
    project.groups.push_back(group);
    std::vector<uint8_t> bytes;
    return builder::EncodeProject(project, &bytes) && WriteBytes(path, bytes);
}

// The two groups of bench/peer.sh's payload and one setup type with both.
bool WritePayloadProject(const std::string& path, const std::string& app, const std::string& bin) {
    builder::Project project = {};
    package::CopyText(project.header.appName, 24, "Benchmark");
    builder::ProjectGroup group = {};
    package::CopyText(group.name, sizeof group.name, "App");
    group.flags = package::MakeGroupFlags(package::Destination::kInstall, false, package::CopyMode::kPlain);
    package::CopyText(group.sourceFolder, sizeof group.sourceFolder, app.c_str());
    project.groups.push_back(group);
    package::CopyText(group.name, sizeof group.name, "Bin");
    group.flags = package::MakeGroupFlags(package::Destination::kInstall, true, package::CopyMode::kPlain);
    package::CopyText(group.sourceFolder, sizeof group.sourceFolder, bin.c_str());
    package::CopyText(group.subfolder, sizeof group.subfolder, "bin");
    project.groups.push_back(group);
    package::SetupTypeRecord type = {};
    package::CopyText(type.name, sizeof type.name, "Typical");
    type.groupMask = 3;
    project.setupTypes.push_back(type);
    std::vector<uint8_t> bytes;
    return builder::EncodeProject(project, &bytes) && WriteBytes(path, bytes);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: builder_bench WORK_FOLDER [MEGABYTES [SMALL_FILES]]\n");
        return 2;
    }
    if (std::string(argv[1]) == "--payload") {
        if (argc != 6) return fprintf(stderr, "usage: builder_bench --payload APP BIN PROJECT OUTPUT\n"), 2;
        SetDllDirectoryA(SUITE_BIN_DIR);
        HMODULE dll = LoadLibraryA((std::string(SUITE_BIN_DIR) + "\\zek2dat.dll").c_str());
        auto zek2dat = reinterpret_cast<builder::Zek2DatFn>(
            reinterpret_cast<void*>(GetProcAddress(dll, builder::kZek2DatExport)));
        if (!zek2dat || !WritePayloadProject(argv[4], argv[2], argv[3])) return 1;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        int result = zek2dat(argv[4], argv[5]);
        QueryPerformanceCounter(&end);
        if (result != 1) return fprintf(stderr, "build failed\n"), 1;
        printf("%.3f\n", Seconds(start, end));
        return 0;
    }
    std::string work = argv[1];
    size_t megabytes = argc > 2 ? strtoul(argv[2], nullptr, 10) : 200;
    size_t smallFiles = argc > 3 ? strtoul(argv[3], nullptr, 10) : 10000;

    SetDllDirectoryA(SUITE_BIN_DIR);
    HMODULE dll = LoadLibraryA((std::string(SUITE_BIN_DIR) + "\\zek2dat.dll").c_str());
    auto zek2dat = reinterpret_cast<builder::Zek2DatFn>(
        reinterpret_cast<void*>(GetProcAddress(dll, builder::kZek2DatExport)));
    if (!zek2dat) {
        fprintf(stderr, "cannot load zek2dat.dll from %s\n", SUITE_BIN_DIR);
        return 1;
    }

    std::string large = work + "\\large", small = work + "\\small";
    CreateDirectoryA(work.c_str(), nullptr);
    CreateDirectoryA(large.c_str(), nullptr);
    CreateDirectoryA(small.c_str(), nullptr);
    const size_t kLargeFile = 4 << 20;
    for (size_t i = 0; i * kLargeFile < megabytes << 20; ++i)
        if (!WriteBytes(large + "\\part" + std::to_string(i) + ".bin", Sample(kLargeFile, (uint32_t)i)))
            return 1;
    for (size_t i = 0; i < smallFiles; ++i)
        if (!WriteBytes(small + "\\f" + std::to_string(i) + ".txt", Sample(100 + i * 37 % 4000, (uint32_t)i)))
            return 1;

    for (const auto& [name, folder] : {std::pair{"large", large}, std::pair{"small", small}}) {
        std::string project = work + "\\" + name + ".zek";
        std::string output = work + "\\" + name + ".dat";
        if (!WriteProject(project, folder)) return 1;
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        int result = zek2dat(project.c_str(), output.c_str());
        QueryPerformanceCounter(&end);
        if (result != 1) {
            fprintf(stderr, "build of %s failed\n", name);
            return 1;
        }
        printf("%s %.3f\n", name, Seconds(start, end));
    }
    FreeLibrary(dll);
    return 0;
}
