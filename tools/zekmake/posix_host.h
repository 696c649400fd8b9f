// zekmake on Linux: files and folders through POSIX, the package's code page
// through iconv, and the build through the builder library itself, with
// messages on standard error, a progress line on a terminal and Ctrl-C as
// Cancel. Paths reach the builder and the description reader in the
// package's code page, as on Windows; they are turned back into the file
// system's UTF-8 (and "\" into "/") where a file is opened.
#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

#include "builder/build_host.h"
#include "tools/zekmake/make_package.h"

namespace zekmake {

// UTF-8 and Windows-1252, converted as Windows converts them: every byte of
// the code page has its character (the five the code page leaves undefined
// stand for the control characters of the same number), and no other
// character has a byte.
class CodePage {
  public:
    CodePage();
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    // False when utf8 is not valid UTF-8 or holds a character the code page lacks.
    bool ToAnsi(std::string_view utf8, std::string* ansi) const;
    // Code page text in UTF-8; never fails.
    std::string ToUtf8(std::string_view ansi) const;
    // A file name in the code page, "?" for each character it lacks (as the
    // Windows ANSI listing shows such a name).
    std::string NameToAnsi(std::string_view utf8) const;
    // A path in the code page as the file system names it: UTF-8, "/" for "\".
    std::string NativePath(const std::string& ansiPath) const;

  private:
    iconv_t toAnsi_;
    iconv_t toUtf8_;
};

// The builder's host: see builder/build_host.h.
class PosixBuildHost : public builder::BuildHost {
  public:
    // Messages about the project's files name descriptionPath in zekmake's
    // "FILE: error:" form; err receives them and, on a terminal, the progress line.
    PosixBuildHost(const CodePage& codePage, const std::string& descriptionPath, FILE* err);
    ~PosixBuildHost() override;

    bool ListFiles(const std::string& folder, std::vector<builder::FoundFile>* files) override;
    FILE* OpenFile(const std::string& path, const char* mode) override;
    bool FileLength(FILE* file, uint64_t* length) override;
    bool SameFile(const std::string& a, const std::string& b) override;
    bool MakeTempFile(std::string* path) override;
    void RemoveFile(const std::string& path) override;
    void SystemReason(unsigned long* code, std::string* text) override;
    const package::ZlibApi* Zlib() override;
    std::string SystemPath(const std::string& path) override { return codePage_.NativePath(path); }
    void SetStatus(const char* text) override;
    void SetDetail(const char* text) override;
    bool SetProgress(int percent) override;
    void Repaint() override {}
    void Service() override {}
    bool Cancelled() override;
    void ShowMessage(builder::MessageKind kind, const char* text) override;
    void ReportError(uint32_t) override {}

  private:
    void DrawLine(bool force);
    void ClearLine();

    const CodePage& codePage_;
    std::string descriptionPath_;
    FILE* err_;
    bool terminal_;
    std::string status_, detail_;
    int percent_ = 0;
    long long drawnAt_ = 0;
    size_t drawnWidth_ = 0;
    int savedErrno_ = 0;
};

class PosixHost : public Shell {
  public:
    PosixHost(const std::string& descriptionPath);

    char Separator() const override { return '/'; }
    bool IsFile(const std::string& path) const override;
    bool IsFolder(const std::string& path) const override;
    std::vector<std::string> Subfolders(const std::string& path) const override;
    std::vector<std::string> Files(const std::string& path) const override;
    bool ReadFile(const std::string& path, std::string* bytes) const override;
    bool ToAnsi(std::string_view utf8, std::string* ansi) const override;

    bool FolderOf(const char* path, std::string* folder) const override;
    std::string Join(const std::string& folder, const char* name) const override;
    bool MakeWorkFolder(std::string* path) override;
    void RemoveTree(const std::string& path) override;
    bool MakeFolder(const std::string& path) override;
    bool MakeFolders(const std::string& path) override;
    bool CopyBytes(const std::string& from, const std::string& to) override;
    bool WriteFile(const std::string& path, const void* data, size_t size) override;
    unsigned long LastError() const override;
    const char* BinPlace() const override { return "in the folder of Windows programs"; }
    const char* BuilderFile() const override { return nullptr; }
    bool BuildPackage(const std::string& bin, const std::string& projectPath,
                      const std::string& packagePath, uint32_t* crc, FILE* err) override;

  private:
    std::string Native(const std::string& path) const { return codePage_.NativePath(path); }

    CodePage codePage_;
    std::string descriptionPath_;
};

}  // namespace zekmake
