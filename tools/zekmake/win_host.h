// zekmake on Windows: the description reader's files, folders and code page
// conversion through Win32, and the build through zek2dat.dll, taken with
// the shipped programs from zekmake.exe's own folder.
#pragma once

#include "tools/zekmake/make_package.h"

namespace zekmake {

// The folder zekmake.exe stands in: where the programs it ships are.
std::string ProgramFolder();

class WinHost : public Shell {
  public:
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
    const char* BinPlace() const override { return "beside zekmake.exe"; }
    const char* BuilderFile() const override { return "zek2dat.dll"; }
    bool BuildPackage(const std::string& bin, const std::string& projectPath,
                      const std::string& packagePath, uint32_t* crc, FILE* err) override;
};

}  // namespace zekmake
