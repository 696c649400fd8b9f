#include "tools/zekmake/make_package.h"

#include <tuple>
#include <vector>

#include "package/bytes.h"

namespace zekmake {

namespace {

constexpr const char* kShipped[] = {"setup.exe", "zlib.dll", "wendlo.dll"};
constexpr char kUninstaller[] = "drevok.exe";

// The work folder and everything in it, removed when the owner goes.
class WorkFolder {
  public:
    explicit WorkFolder(Shell& shell) : shell_(shell) {}
    ~WorkFolder() {
        if (!path_.empty()) shell_.RemoveTree(path_);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    bool Create() { return shell_.MakeWorkFolder(&path_); }
    std::string operator/(const char* name) const { return shell_.Join(path_, name); }

  private:
    Shell& shell_;
    std::string path_;
};

// The uninstaller and the log library it needs, in a folder of their own
// that becomes the last group. Without drevok.exe only a warning is given:
// the package then registers an uninstall command that is not installed.
bool StageUninstaller(Shell& shell, const WorkFolder& work, const std::string& bin, Description* d,
                      FILE* err) {
    std::string folder = work / "uninstall";
    if (!shell.MakeFolder(folder)) return false;
    for (const char* name : {kUninstaller, "wendlo.dll"}) {
        std::string from = shell.Join(bin, name);
        if (name == kUninstaller && !shell.IsFile(from)) {
            fprintf(err,
                    "zekmake: warning: %s is not %s: the package registers an uninstaller it "
                    "does not hold\n",
                    kUninstaller, shell.BinPlace());
            continue;
        }
        if (!shell.CopyBytes(from, shell.Join(folder, name))) return false;
    }
    AddUninstallGroup(folder, &d->project);
    return true;
}

// Copies the programs shipped beside the package from bin into folder.
bool CopyShipped(Shell& shell, const std::string& bin, const std::string& folder) {
    if (!shell.MakeFolder(folder)) return false;
    for (const char* name : kShipped)
        if (!shell.CopyBytes(shell.Join(bin, name), shell.Join(folder, name))) return false;
    return true;
}

// Licence and readme texts converted from UTF-8 are packed from copies in
// the work folder.
bool StageTexts(Shell& shell, const WorkFolder& work, Description* d) {
    builder::ProjectHeader& h = d->project.header;
    const std::tuple<const ConvertedText&, char*, const char*> texts[] = {
        {d->licence, h.licencePath, "licence.txt"}, {d->readme, h.readmePath, "readme.txt"}};
    for (const auto& [text, path, name] : texts) {
        if (!text.converted) continue;
        std::string copy = work / name;
        if (!shell.WriteFile(copy, text.ansi.data(), text.ansi.size()) ||
            !package::CopyText(path, sizeof h.licencePath, copy.c_str()))
            return false;
    }
    return true;
}

}  // namespace

int MakePackage(Shell& shell, const char* descriptionPath, const char* outDir,
                const std::string& bin, FILE* out, FILE* err, PackageExtras* extras) {
    PackageExtras defaults;
    if (!extras) extras = &defaults;
    std::string text;
    if (!shell.ReadFile(descriptionPath, &text)) {
        fprintf(err,
                "%s: error: cannot read the description. Fix: give the path of a readable file.\n",
                descriptionPath);
        return kZekmakeFailed;
    }
    std::string folder;
    const std::string baseDir = shell.FolderOf(descriptionPath, &folder) ? folder : std::string(".");

    Description d;
    std::vector<Mistake> mistakes;
    if (!ReadDescription(text, baseDir, shell, &d, &mistakes) ||
        !extras->signer.Prepare(d.signing, &mistakes)) {
        for (const Mistake& m : mistakes)
            fprintf(err, "%s\n", FormatMistake(descriptionPath, m).c_str());
        fprintf(err, "zekmake: %u mistake%s; nothing was written\n", (unsigned)mistakes.size(),
                mistakes.size() == 1 ? "" : "s");
        return kZekmakeFailed;
    }
    for (const Mistake& w : d.warnings)
        fprintf(err, "%s\n", FormatMistake(descriptionPath, w, true).c_str());

    for (const char* name : {shell.BuilderFile(), kShipped[0], kShipped[1], kShipped[2]}) {
        if (name && !shell.IsFile(shell.Join(bin, name))) {
            fprintf(err, "zekmake: %s is missing %s (in %s); build the suite again\n", name,
                    shell.BinPlace(), bin.c_str());
            return kZekmakeFailed;
        }
    }
    if (shell.IsFile(outDir)) {
        fprintf(err, "zekmake: %s is a file, not a folder; give another OUTDIR\n", outDir);
        return kZekmakeFailed;
    }

    WorkFolder work(shell);
    std::vector<uint8_t> project;
    const Signer& signer = extras->signer;
    bool staged = work.Create();
    // Signed, the shipped programs go out from signed copies in the work folder.
    std::string shipFrom = signer.enabled() ? work / "signed" : bin;
    staged = staged && (!signer.enabled() || CopyShipped(shell, bin, shipFrom)) &&
             StageTexts(shell, work, &d) &&
             (!d.project.header.uninstall || StageUninstaller(shell, work, bin, &d, err)) &&
                  builder::EncodeProject(d.project, &project) &&
                  shell.WriteFile(work / "project.zek", project.data(), project.size());
    if (!staged) {
        fprintf(err,
                "zekmake: cannot prepare the build in the temporary-files folder (error %lu)\n",
                shell.LastError());
        return kZekmakeFailed;
    }
    // Before the uninstaller is packed, so that the installed one is signed too.
    if (signer.enabled() && !(signer.SignIn(shipFrom, {"setup.exe", "wendlo.dll"}, err) &&
                              signer.SignIn(work / "uninstall", {kUninstaller, "wendlo.dll"}, err)))
        return kZekmakeFailed;
    uint32_t crc = 0;
    if (!shell.BuildPackage(bin, work / "project.zek", work / "setup.dat", &crc, err)) return kZekmakeFailed;

    std::string outPath = outDir;
    std::string settings = SettingsText(crc, d.backColor, d.dithered);
    bool written = shell.MakeFolders(outPath);
    for (const char* name : kShipped)
        written = written && shell.CopyBytes(shell.Join(shipFrom, name), shell.Join(outPath, name));
    written = written && shell.CopyBytes(work / "setup.dat", shell.Join(outPath, "setup.dat")) &&
              shell.WriteFile(shell.Join(outPath, "setup.inf"), settings.data(), settings.size());
    if (!written) {
        fprintf(err, "zekmake: cannot write into %s (error %lu)\n", outDir, shell.LastError());
        return kZekmakeFailed;
    }

    const builder::Project& p = d.project;
    extras->applicationName = p.header.appName;
    if (extras->quiet) return kZekmakeDone;
    fprintf(out,
            "zekmake: %s is ready to ship: setup.exe setup.dat setup.inf zlib.dll wendlo.dll\n"
            "  %s %s: %u groups, %u setup types, %u desktop and %u Start-menu entries,\n"
            "  %u registry values, %u+%u run packs; CRC32=%lu\n",
            outDir, p.header.appName, p.header.version, (unsigned)p.groups.size(),
            (unsigned)p.setupTypes.size(), (unsigned)p.desktopLinks.size(),
            (unsigned)p.startMenuLinks.size(), (unsigned)p.registry.size(),
            (unsigned)p.beforePacks.size(), (unsigned)p.afterPacks.size(), (unsigned long)crc);
    return kZekmakeDone;
}

}  // namespace zekmake
