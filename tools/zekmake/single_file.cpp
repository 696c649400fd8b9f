#include "tools/zekmake/single_file.h"

#include <windows.h>

#include <string>

#include "tools/zekmake/make_package.h"
#include "tools/zekmake/one_file_writer.h"
#include "tools/zekmake/win_host.h"
#include "win32/temp_file.h"

namespace zekmake {

namespace {

constexpr char kStub[] = "zekstub.exe";
// What the stub unpacks beside setup.exe: the folder zekmake writes.
constexpr const char* kParts[] = {"setup.exe", "setup.inf", "zlib.dll", "wendlo.dll", "setup.dat"};
constexpr char kOneFile[] = "one.exe";

// A fresh folder of the temporary-files directory for the folder build,
// removed with the files zekmake put there.
class Scratch {
  public:
    bool Create() {
        char path[MAX_PATH];
        if (!win32::NewTempFolder("ZKF", path)) return false;
        path_ = path;
        return true;
    }
    ~Scratch() {
        if (path_.empty()) return;
        for (const char* name : kParts) DeleteFileA((*this / name).c_str());
        DeleteFileA((*this / kOneFile).c_str());
        RemoveDirectoryA(path_.c_str());
    }
    std::string operator/(const char* name) const { return path_ + "\\" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace

int MakeSingleFile(const char* descriptionPath, const char* outPath, FILE* out, FILE* err) {
    std::string stub = ProgramFolder() + "\\" + kStub;
    if (GetFileAttributesA(stub.c_str()) == INVALID_FILE_ATTRIBUTES) {
        fprintf(err, "zekmake: %s is missing beside zekmake.exe; build the suite again\n", kStub);
        return kZekmakeFailed;
    }
    DWORD attributes = GetFileAttributesA(outPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fprintf(err, "zekmake: %s is a folder; give the name of the file to write\n", outPath);
        return kZekmakeFailed;
    }
    Scratch scratch;
    if (!scratch.Create()) {
        fprintf(err, "zekmake: cannot make a folder in the temporary-files folder (error %lu)\n",
                GetLastError());
        return kZekmakeFailed;
    }
    PackageExtras extras;
    extras.quiet = true;
    int code = MakePackage(descriptionPath, scratch.path().c_str(), nullptr, out, err, &extras);
    if (code != kZekmakeDone) return code;

    std::vector<OneFilePart> parts;
    for (const char* name : kParts) parts.push_back({name, scratch / name});
    std::string problem;
    std::string made = scratch / kOneFile;
    if (!WriteOneFile(stub, parts, made, &problem)) {
        fprintf(err, "zekmake: %s\n", problem.c_str());
        return kZekmakeFailed;
    }
    if (extras.signer.enabled() && !extras.signer.Sign(made, err)) return kZekmakeFailed;
    if (!CopyFileA(made.c_str(), outPath, FALSE)) {
        fprintf(err, "zekmake: cannot write %s (error %lu)\n", outPath, GetLastError());
        return kZekmakeFailed;
    }
    fprintf(out, "zekmake: %s is ready to ship: one file that installs %s%s\n", outPath,
            extras.applicationName.c_str(), extras.signer.enabled() ? ", signed" : "");
    return kZekmakeDone;
}

}  // namespace zekmake
