#include "tools/zekmake/posix_host.h"

#include <dirent.h>
#include <errno.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <memory>

#include "builder/build_driver.h"
#include "builder/build_errors.h"
#include "package/zlib_api.h"

namespace zekmake {

namespace {

// The code page's five undefined bytes, which Windows maps to and from the
// control characters U+0081, U+008D, U+008F, U+0090 and U+009D; iconv
// refuses them.
bool IsControlByte(unsigned char c) {
    return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

// Runs iconv over in; at a sequence it refuses, fix(in, left, out) may
// consume it (returning false when it cannot).
template <typename Fix>
bool Convert(iconv_t cd, std::string_view in, std::string* out, Fix fix) {
    out->clear();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t done = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out->append(buffer, (size_t)(outPtr - buffer));
        if (done != (size_t)-1) continue;
        if (errno == E2BIG) continue;
        if (!fix(&inPtr, &inLeft, out)) return false;
    }
    return true;
}

long long NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000 + now.tv_nsec / 1000000;
}

volatile sig_atomic_t g_interrupted = 0;

void OnInterrupt(int) { g_interrupted = 1; }

// Ctrl-C asks the build to stop while the shell runs; the build then ends
// as after Cancel and removes what it made.
class InterruptScope {
  public:
    InterruptScope() {
        g_interrupted = 0;
        struct sigaction action = {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        sigaction(SIGINT, &action, &saved_);
        sigaction(SIGTERM, &action, &savedTerm_);
    }
    ~InterruptScope() {
        sigaction(SIGINT, &saved_, nullptr);
        sigaction(SIGTERM, &savedTerm_, nullptr);
    }

  private:
    struct sigaction saved_, savedTerm_;
};

const package::ZlibApi kLinkedZlib = {
    [](unsigned long crc, const unsigned char* buf, unsigned len) { return ::crc32(crc, buf, len); },
    [](const char* path, const char* mode) -> package::GzFile { return ::gzopen(path, mode); },
    [](package::GzFile f, void* buf, unsigned len) { return ::gzread((gzFile)f, buf, len); },
    [](package::GzFile f, const void* buf, unsigned len) { return ::gzwrite((gzFile)f, buf, len); },
    [](package::GzFile f) { return ::gzclose((gzFile)f); },
    [](package::GzFile f) { return (long)::gzoffset((gzFile)f); },
};

// Calls fn(name, isFolder, size) for each entry of the folder at native but "."
// and "..". What a link leads to counts, as on Windows; a link that leads
// nowhere is a file that cannot be read. False when the folder cannot be
// listed.
template <typename Fn>
bool ForEachEntry(std::string native, Fn fn) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(native.c_str()), closedir);
    if (!dir) return false;
    if (native.empty() || native.back() != '/') native += '/';
    while (dirent* entry = readdir(dir.get())) {
        if (!strcmp(entry->d_name, ".") || !strcmp(entry->d_name, "..")) continue;
        struct stat info;
        std::string path = native + entry->d_name;
        if (stat(path.c_str(), &info) != 0 && lstat(path.c_str(), &info) != 0) continue;
        fn(entry->d_name, S_ISDIR(info.st_mode), (uint64_t)info.st_size);
    }
    return true;
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

CodePage::CodePage()
    : toAnsi_(iconv_open("WINDOWS-1252", "UTF-8")), toUtf8_(iconv_open("UTF-8", "WINDOWS-1252")) {}

CodePage::~CodePage() {
    if (toAnsi_ != (iconv_t)-1) iconv_close(toAnsi_);
    if (toUtf8_ != (iconv_t)-1) iconv_close(toUtf8_);
}

bool CodePage::ToAnsi(std::string_view utf8, std::string* ansi) const {
    if (toAnsi_ == (iconv_t)-1) return false;
    return Convert(toAnsi_, utf8, ansi, [](char** in, size_t* left, std::string* out) {
        auto* p = reinterpret_cast<unsigned char*>(*in);
        if (errno != EILSEQ || *left < 2 || p[0] != 0xC2 || !IsControlByte(p[1])) return false;
        out->push_back((char)p[1]);
        *in += 2;
        *left -= 2;
        return true;
    });
}

std::string CodePage::ToUtf8(std::string_view ansi) const {
    std::string utf8;
    if (toUtf8_ == (iconv_t)-1) return std::string(ansi);
    Convert(toUtf8_, ansi, &utf8, [](char** in, size_t* left, std::string* out) {
        out->push_back((char)0xC2);
        out->push_back(**in);
        *in += 1;
        *left -= 1;
        return true;
    });
    return utf8;
}

std::string CodePage::NameToAnsi(std::string_view utf8) const {
    std::string ansi;
    if (ToAnsi(utf8, &ansi)) return ansi;
    ansi.clear();
    for (size_t at = 0; at < utf8.size();) {
        unsigned char lead = (unsigned char)utf8[at];
        size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        std::string one;
        if (at + len <= utf8.size() && ToAnsi(utf8.substr(at, len), &one)) {
            ansi += one;
            at += len;
        } else {
            ansi += '?';
            at += at + len <= utf8.size() ? len : 1;
        }
    }
    return ansi;
}

std::string CodePage::NativePath(const std::string& ansiPath) const {
    std::string path = ToUtf8(ansiPath);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// --- the builder's host ---

PosixBuildHost::PosixBuildHost(const CodePage& codePage, const std::string& descriptionPath, FILE* err)
    : codePage_(codePage), descriptionPath_(descriptionPath), err_(err),
      terminal_(isatty(fileno(err)) != 0) {}

PosixBuildHost::~PosixBuildHost() { ClearLine(); }

bool PosixBuildHost::ListFiles(const std::string& folder, std::vector<builder::FoundFile>* files) {
    return ForEachEntry(codePage_.NativePath(folder),
                        [&](const char* name, bool isFolder, uint64_t size) {
                            if (!isFolder) files->push_back({codePage_.NameToAnsi(name), size});
                        });
}

FILE* PosixBuildHost::OpenFile(const std::string& path, const char* mode) {
    return fopen(codePage_.NativePath(path).c_str(), mode);
}

bool PosixBuildHost::FileLength(FILE* file, uint64_t* length) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0) return false;
    *length = (uint64_t)info.st_size;
    return true;
}

bool PosixBuildHost::SameFile(const std::string& a, const std::string& b) {
    struct stat infoA, infoB;
    return stat(codePage_.NativePath(a).c_str(), &infoA) == 0 &&
           stat(codePage_.NativePath(b).c_str(), &infoB) == 0 && infoA.st_dev == infoB.st_dev &&
           infoA.st_ino == infoB.st_ino;
}

bool PosixBuildHost::MakeTempFile(std::string* path) {
    const char* folder = getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/Z2DXXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0) return savedErrno_ = errno, false;
    close(fd);
    std::string ansi;
    if (!codePage_.ToAnsi(pattern, &ansi)) {
        unlink(pattern.c_str());
        return savedErrno_ = EILSEQ, false;
    }
    *path = ansi;
    return true;
}

void PosixBuildHost::RemoveFile(const std::string& path) {
    int saved = errno;
    unlink(codePage_.NativePath(path).c_str());
    errno = saved;
}

void PosixBuildHost::SystemReason(unsigned long* code, std::string* text) {
    int reason = errno ? errno : savedErrno_;
    *code = (unsigned long)reason;
    *text = strerror(reason);
}

const package::ZlibApi* PosixBuildHost::Zlib() { return &kLinkedZlib; }

void PosixBuildHost::SetStatus(const char* text) {
    // A new step: what the last one showed no longer applies.
    status_ = text;
    detail_.clear();
    percent_ = 0;
    DrawLine(true);
}

void PosixBuildHost::SetDetail(const char* text) {
    detail_ = codePage_.ToUtf8(text);
    DrawLine(false);
}

bool PosixBuildHost::SetProgress(int percent) {
    if (percent == percent_) return false;
    percent_ = percent;
    DrawLine(false);
    return true;
}

bool PosixBuildHost::Cancelled() { return g_interrupted != 0; }

void PosixBuildHost::DrawLine(bool force) {
    if (!terminal_) return;
    // A terminal line repainted every 4096 bytes would cost more than the
    // copy: ten times a second is enough to watch.
    long long now = NowMs();
    if (!force && now - drawnAt_ < 100) return;
    drawnAt_ = now;
    char percent[8];
    snprintf(percent, sizeof percent, "%3d%% ", percent_);
    std::string line = percent + status_ + (detail_.empty() ? "" : " " + detail_);
    if (line.size() > 79) line.resize(79);
    fprintf(err_, "\r%-*s", (int)std::max(line.size(), drawnWidth_), line.c_str());
    drawnWidth_ = line.size();
    fflush(err_);
}

void PosixBuildHost::ClearLine() {
    if (!terminal_ || drawnWidth_ == 0) return;
    fprintf(err_, "\r%*s\r", (int)drawnWidth_, "");
    drawnWidth_ = 0;
    fflush(err_);
}

void PosixBuildHost::ShowMessage(builder::MessageKind kind, const char* text) {
    ClearLine();
    std::string words = codePage_.ToUtf8(text);
    for (char& c : words)
        if (c == '\n') c = ' ';
    // A file or text the description named: its form of mistake.
    if (kind == builder::MessageKind::kInput)
        fprintf(err_, "%s: error: %s\n", descriptionPath_.c_str(), words.c_str());
    else
        fprintf(err_, "zekmake: error: %s\n", words.c_str());
}

// --- the shell ---

PosixHost::PosixHost(const std::string& descriptionPath) : descriptionPath_(descriptionPath) {}

bool PosixHost::IsFile(const std::string& path) const {
    struct stat info;
    return stat(Native(path).c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool PosixHost::IsFolder(const std::string& path) const {
    struct stat info;
    return stat(Native(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::vector<std::string> PosixHost::Subfolders(const std::string& path) const {
    std::vector<std::string> names;
    ForEachEntry(Native(path), [&](const char* name, bool isFolder, uint64_t) {
        if (isFolder) names.emplace_back(name);
    });
    return names;
}

std::vector<std::string> PosixHost::Files(const std::string& path) const {
    // In UTF-8 as the file system holds them: the reader finds the names
    // the code page cannot hold.
    std::vector<std::string> names;
    ForEachEntry(Native(path), [&](const char* name, bool isFolder, uint64_t) {
        if (!isFolder) names.emplace_back(name);
    });
    return names;
}

bool PosixHost::ReadFile(const std::string& path, std::string* bytes) const {
    // A licence or readme is a page of text; the bound keeps a wrong path
    // from taking all memory.
    constexpr long long kMaxTextFile = 64ll << 20;
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(Native(path).c_str(), "rb"), fclose);
    struct stat info;
    if (!file || fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > kMaxTextFile)
        return false;
    bytes->assign((size_t)info.st_size, '\0');
    return fread(bytes->data(), 1, bytes->size(), file.get()) == bytes->size();
}

bool PosixHost::ToAnsi(std::string_view utf8, std::string* ansi) const {
    return codePage_.ToAnsi(utf8, ansi);
}

bool PosixHost::FolderOf(const char* path, std::string* folder) const {
    char full[PATH_MAX];
    return realpath(Native(path).c_str(), full) && codePage_.ToAnsi(ParentOf(full), folder);
}

std::string PosixHost::Join(const std::string& folder, const char* name) const {
    return folder + (folder.empty() || folder.back() != '/' ? "/" : "") + name;
}

bool PosixHost::MakeWorkFolder(std::string* path) {
    const char* folder = getenv("TMPDIR");
    std::string pattern = std::string(folder && *folder ? folder : "/tmp") + "/zekmake.XXXXXX";
    if (!mkdtemp(pattern.data())) return false;
    if (codePage_.ToAnsi(pattern, path)) return true;
    rmdir(pattern.c_str());
    errno = EILSEQ;
    return false;
}

void PosixHost::RemoveTree(const std::string& path) {
    std::string native = Native(path);
    if (std::unique_ptr<DIR, int (*)(DIR*)> dir{opendir(native.c_str()), closedir}) {
        while (dirent* entry = readdir(dir.get())) {
            if (!strcmp(entry->d_name, ".") || !strcmp(entry->d_name, "..")) continue;
            std::string child = native + "/" + entry->d_name;
            struct stat info;
            if (lstat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
                std::string ansi;
                if (codePage_.ToAnsi(child, &ansi)) RemoveTree(ansi);
            } else {
                unlink(child.c_str());
            }
        }
    }
    rmdir(native.c_str());
}

bool PosixHost::MakeFolder(const std::string& path) { return mkdir(Native(path).c_str(), 0777) == 0; }

bool PosixHost::MakeFolders(const std::string& path) {
    if (IsFolder(path)) return true;
    if (IsFile(path)) return false;
    std::string native = Native(path);
    while (native.size() > 1 && native.back() == '/') native.pop_back();
    std::string parent = ParentOf(native);
    std::string parentAnsi;
    if (parent != native && parent != "." && codePage_.ToAnsi(parent, &parentAnsi) &&
        !MakeFolders(parentAnsi))
        return false;
    return mkdir(native.c_str(), 0777) == 0 || errno == EEXIST;
}

bool PosixHost::CopyBytes(const std::string& from, const std::string& to) {
    std::unique_ptr<FILE, int (*)(FILE*)> in(fopen(Native(from).c_str(), "rb"), fclose);
    std::unique_ptr<FILE, int (*)(FILE*)> out(in ? fopen(Native(to).c_str(), "wb") : nullptr, fclose);
    if (!in || !out) return false;
    char block[1 << 16];
    size_t got;
    while ((got = fread(block, 1, sizeof block, in.get())) > 0)
        if (fwrite(block, 1, got, out.get()) != got) return false;
    return !ferror(in.get()) && fclose(out.release()) == 0;
}

bool PosixHost::WriteFile(const std::string& path, const void* data, size_t size) {
    FILE* file = fopen(Native(path).c_str(), "wb");
    if (!file) return false;
    bool written = fwrite(data, 1, size, file) == size;
    return fclose(file) == 0 && written;
}

unsigned long PosixHost::LastError() const { return (unsigned long)errno; }

bool PosixHost::BuildPackage(const std::string&, const std::string& projectPath,
                             const std::string& packagePath, uint32_t* crc, FILE* err) {
    uint32_t code = 0;
    int built;
    {
        PosixBuildHost host(codePage_, descriptionPath_, err);
        built = builder::BuildPackage(host, projectPath.c_str(), packagePath.c_str(), &code);
    }
    if (built != 1 || g_interrupted) {
        fprintf(err, "zekmake: the package could not be built: %s\n",
                builder::BuildFailureText(code).c_str());
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(fopen(Native(packagePath).c_str(), "rb"), fclose);
    unsigned char block[package::kBlockSize];
    if (!file || !package::StreamCrc32(kLinkedZlib, file.get(), block, crc,
                                       [](uint64_t, size_t) {})) {
        fprintf(err, "zekmake: the CRC-32 of the package could not be computed\n");
        return false;
    }
    return true;
}

int MakePackage(const char* descriptionPath, const char* outDir, const char* bin, FILE* out,
                FILE* err, PackageExtras* extras) {
    PosixHost probe("");
    std::string paths[3];
    std::string binPath;
    if (bin) {
        binPath = bin;
    } else {
        // zekmake stands among the Windows programs it ships.
        char self[PATH_MAX] = {};
        ssize_t len = readlink("/proc/self/exe", self, sizeof self - 1);
        binPath = len > 0 ? ParentOf(std::string(self, (size_t)len)) : ".";
    }
    const char* given[3] = {descriptionPath, outDir, binPath.c_str()};
    for (int i = 0; i < 3; ++i) {
        if (!probe.ToAnsi(given[i], &paths[i])) {
            fprintf(err,
                    "zekmake: the path %s holds a character the Windows ANSI code page cannot "
                    "store; give another\n",
                    given[i]);
            return kZekmakeFailed;
        }
    }
    InterruptScope interrupt;
    PosixHost shell(paths[0]);
    int status = MakePackage(shell, paths[0].c_str(), paths[1].c_str(), paths[2], out, err, extras);
    return g_interrupted ? kZekmakeFailed : status;
}

}  // namespace zekmake
