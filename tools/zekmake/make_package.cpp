#include "tools/zekmake/make_package.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "builder/zek2dat_api.h"
#include "package/bytes.h"
#include "tools/zekmake/win_host.h"
#include "win32/unique_handle.h"

namespace zekmake {

namespace {

constexpr const char* kShipped[] = {"setup.exe", "zlib.dll", "wendlo.dll"};
constexpr char kUninstaller[] = "drevok.exe";
constexpr char kBuilder[] = "zek2dat.dll";

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool ReadWholeFile(const std::string& path, std::string* text) {
    win32::UniqueFile file(fopen(path.c_str(), "rb"));
    if (!file) return false;
    char block[4096];
    size_t got;
    while ((got = fread(block, 1, sizeof block, file.get())) > 0) text->append(block, got);
    return !ferror(file.get());
}

bool WriteWholeFile(const std::string& path, const void* data, size_t size) {
    win32::UniqueFile file(fopen(path.c_str(), "wb"));
    return file && fwrite(data, 1, size, file.get()) == size && fclose(file.release()) == 0;
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return len > 0 && len < MAX_PATH ? FolderOf(path) : ".";
}

// Makes every missing level of path.
bool MakeFolders(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string parent = FolderOf(path);
    if (parent != path && parent != "." && !parent.empty() && parent.back() != ':' &&
        !MakeFolders(parent))
        return false;
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// A folder of the temporary-files directory, removed with its files and
// their subfolders when the owner goes.
class WorkFolder {
  public:
    bool Create() {
        char temp[MAX_PATH] = {};
        char path[MAX_PATH] = {};
        DWORD len = GetTempPathA(MAX_PATH, temp);
        if (len == 0 || len >= MAX_PATH || !GetTempFileNameA(temp, "ZKM", 0, path)) return false;
        // The unique name was made as a file; the folder takes its place.
        if (!DeleteFileA(path) || !CreateDirectoryA(path, nullptr)) return false;
        path_ = path;
        return true;
    }
    ~WorkFolder() {
        if (!path_.empty()) Remove(path_);
    }
    std::string operator/(const char* name) const { return path_ + "\\" + name; }

  private:
    static void Remove(const std::string& folder) {
        WIN32_FIND_DATAA found;
        win32::UniqueFindHandle find(FindFirstFileA((folder + "\\*.*").c_str(), &found));
        if (find) {
            do {
                if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, "..")) continue;
                std::string path = folder + "\\" + found.cFileName;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    Remove(path);
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(find.get(), &found));
        }
        find.reset();
        RemoveDirectoryA(folder.c_str());
    }
    std::string path_;
};

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// The uninstaller and the log library it needs, in a folder of their own
// that becomes the last group. Without drevok.exe only a warning is given:
// the package then registers an uninstall command that is not installed.
bool StageUninstaller(const WorkFolder& work, const std::string& bin, Description* d, FILE* err) {
    std::string folder = work / "uninstall";
    if (!CreateDirectoryA(folder.c_str(), nullptr)) return false;
    for (const char* name : {kUninstaller, "wendlo.dll"}) {
        std::string from = bin + "\\" + name;
        if (name == kUninstaller && !Exists(from)) {
            fprintf(err,
                    "zekmake: warning: %s is not beside zekmake.exe: the package registers an "
                    "uninstaller it does not hold\n",
                    kUninstaller);
            continue;
        }
        if (!CopyFileA(from.c_str(), (folder + "\\" + name).c_str(), FALSE)) return false;
    }
    AddUninstallGroup(folder, &d->project);
    return true;
}

// Copies the programs shipped beside the package from bin into folder.
bool CopyShipped(const std::string& bin, const std::string& folder) {
    if (!CreateDirectoryA(folder.c_str(), nullptr)) return false;
    for (const char* name : kShipped)
        if (!CopyFileA((bin + "\\" + name).c_str(), (folder + "\\" + name).c_str(), FALSE))
            return false;
    return true;
}

// Licence and readme texts converted from UTF-8 are packed from copies in
// the work folder.
bool StageTexts(const WorkFolder& work, Description* d) {
    builder::ProjectHeader& h = d->project.header;
    const std::tuple<const ConvertedText&, char*, const char*> texts[] = {
        {d->licence, h.licencePath, "licence.txt"}, {d->readme, h.readmePath, "readme.txt"}};
    for (const auto& [text, path, name] : texts) {
        if (!text.converted) continue;
        std::string copy = work / name;
        if (!WriteWholeFile(copy, text.ansi.data(), text.ansi.size()) ||
            !package::CopyText(path, sizeof h.licencePath, copy.c_str()))
            return false;
    }
    return true;
}

// Builds setup.dat at packagePath from the project; on success *crc is its CRC-32.
bool BuildPackage(const std::string& bin, const std::string& projectPath,
                  const std::string& packagePath, uint32_t* crc, FILE* err) {
    // zek2dat.dll loads zlib.dll by name; it stands beside zekmake.exe.
    SetDllDirectoryA(bin.c_str());
    win32::UniqueModule zek2dat(LoadLibraryA((bin + "\\" + kBuilder).c_str()));
    auto build =
        zek2dat ? Export<builder::Zek2DatFn>(zek2dat.get(), builder::kZek2DatExport) : nullptr;
    auto doCrc32 =
        zek2dat ? Export<builder::DoCrc32Fn>(zek2dat.get(), builder::kDoCrc32Export) : nullptr;
    if (!build || !doCrc32) {
        fprintf(err, "zekmake: %s\\%s cannot be loaded; build the suite again\n", bin.c_str(),
                kBuilder);
        return false;
    }
    SetLastError(0);
    if (build(projectPath.c_str(), packagePath.c_str()) != 1) {
        DWORD code = GetLastError();
        fprintf(err, "zekmake: the package could not be built: %s\n",
                BuildFailureText(code).c_str());
        return false;
    }
    // DoCrc32 gives 0 when it fails; a package whose real CRC-32 is 0 is
    // refused with it, once in four billion builds.
    *crc = doCrc32(packagePath.c_str());
    if (*crc == 0) {
        fprintf(err, "zekmake: the CRC-32 of the package could not be computed\n");
        return false;
    }
    return true;
}

}  // namespace

int MakePackage(const char* descriptionPath, const char* outDir, FILE* out, FILE* err,
                PackageExtras* extras) {
    PackageExtras defaults;
    if (!extras) extras = &defaults;
    std::string text;
    if (!ReadWholeFile(descriptionPath, &text)) {
        fprintf(err,
                "%s: error: cannot read the description. Fix: give the path of a readable file.\n",
                descriptionPath);
        return 1;
    }
    char full[MAX_PATH] = {};
    DWORD fullLen = GetFullPathNameA(descriptionPath, MAX_PATH, full, nullptr);
    std::string baseDir = fullLen > 0 && fullLen < MAX_PATH ? FolderOf(full) : ".";

    Description d;
    std::vector<Mistake> mistakes;
    if (!ReadDescription(text, baseDir, WinHost(), &d, &mistakes) ||
        !extras->signer.Prepare(d.signing, &mistakes)) {
        for (const Mistake& m : mistakes)
            fprintf(err, "%s\n", FormatMistake(descriptionPath, m).c_str());
        fprintf(err, "zekmake: %u mistake%s; nothing was written\n", (unsigned)mistakes.size(),
                mistakes.size() == 1 ? "" : "s");
        return 1;
    }
    for (const Mistake& w : d.warnings)
        fprintf(err, "%s\n", FormatMistake(descriptionPath, w, true).c_str());

    std::string bin = ProgramFolder();
    for (const char* name : {kBuilder, kShipped[0], kShipped[1], kShipped[2]}) {
        if (!Exists(bin + "\\" + name)) {
            fprintf(err,
                    "zekmake: %s is missing beside zekmake.exe (in %s); build the suite again\n",
                    name, bin.c_str());
            return 1;
        }
    }
    DWORD outAttributes = GetFileAttributesA(outDir);
    if (outAttributes != INVALID_FILE_ATTRIBUTES && !(outAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fprintf(err, "zekmake: %s is a file, not a folder; give another OUTDIR\n", outDir);
        return 1;
    }

    WorkFolder work;
    std::vector<uint8_t> project;
    const Signer& signer = extras->signer;
    bool staged = work.Create();
    // Signed, the shipped programs go out from signed copies in the work folder.
    std::string shipFrom = signer.enabled() ? work / "signed" : bin;
    staged = staged && (!signer.enabled() || CopyShipped(bin, shipFrom)) && StageTexts(work, &d) &&
                  (!d.project.header.uninstall || StageUninstaller(work, bin, &d, err)) &&
                  builder::EncodeProject(d.project, &project) &&
                  WriteWholeFile(work / "project.zek", project.data(), project.size());
    if (!staged) {
        fprintf(err,
                "zekmake: cannot prepare the build in the temporary-files folder (error %lu)\n",
                GetLastError());
        return 1;
    }
    // Before the uninstaller is packed, so that the installed one is signed too.
    if (signer.enabled() && !(signer.SignIn(shipFrom, {"setup.exe", "wendlo.dll"}, err) &&
                              signer.SignIn(work / "uninstall", {kUninstaller, "wendlo.dll"}, err)))
        return 1;
    uint32_t crc = 0;
    if (!BuildPackage(bin, work / "project.zek", work / "setup.dat", &crc, err)) return 1;

    std::string outPath = outDir;
    std::string settings = SettingsText(crc, d.backColor, d.dithered);
    bool written = MakeFolders(outPath);
    for (const char* name : kShipped)
        written = written &&
                  CopyFileA((shipFrom + "\\" + name).c_str(), (outPath + "\\" + name).c_str(), FALSE);
    written = written &&
              CopyFileA((work / "setup.dat").c_str(), (outPath + "\\setup.dat").c_str(), FALSE) &&
              WriteWholeFile(outPath + "\\setup.inf", settings.data(), settings.size());
    if (!written) {
        fprintf(err, "zekmake: cannot write into %s (error %lu)\n", outDir, GetLastError());
        return 1;
    }

    const builder::Project& p = d.project;
    extras->applicationName = p.header.appName;
    if (extras->quiet) return 0;
    fprintf(out,
            "zekmake: %s is ready to ship: setup.exe setup.dat setup.inf zlib.dll wendlo.dll\n"
            "  %s %s: %u groups, %u setup types, %u desktop and %u Start-menu entries,\n"
            "  %u registry values, %u+%u run packs; CRC32=%lu\n",
            outDir, p.header.appName, p.header.version, (unsigned)p.groups.size(),
            (unsigned)p.setupTypes.size(), (unsigned)p.desktopLinks.size(),
            (unsigned)p.startMenuLinks.size(), (unsigned)p.registry.size(),
            (unsigned)p.beforePacks.size(), (unsigned)p.afterPacks.size(), (unsigned long)crc);
    return 0;
}

}  // namespace zekmake
