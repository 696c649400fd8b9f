// zekmake's work: a description in, a folder ready to ship out (setup.exe,
// setup.dat, setup.inf, zlib.dll, wendlo.dll). The steps are the same on
// every system; what differs (files and folders, the build itself) is a
// Shell: Windows builds through zek2dat.dll (win_host.h), Linux through the
// builder library directly (posix_host.h). The programs that travel with
// the package come from a folder of Windows programs: zekmake's own folder
// unless another is given.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "tools/zekmake/description.h"
#include "tools/zekmake/signing.h"

namespace zekmake {

// zekmake's exit codes, as build scripts read them (the opposite sense of
// setup.exe's and drevok.exe's): never renumber one.
enum ZekmakeExitCode : int {
    kZekmakeDone = 0,    // the folder or the one file is written
    kZekmakeFailed = 1,  // a mistake, a failure or a cancel: nothing new is in place
};

class Shell : public Host {
  public:
    // The full path of the folder that holds the file at path; false when
    // it cannot be had in the package's code page.
    virtual bool FolderOf(const char* path, std::string* folder) const = 0;
    // path + separator + name.
    virtual std::string Join(const std::string& folder, const char* name) const = 0;
    // Makes a new empty folder for the build's files; RemoveTree removes it.
    virtual bool MakeWorkFolder(std::string* path) = 0;
    virtual void RemoveTree(const std::string& path) = 0;
    virtual bool MakeFolder(const std::string& path) = 0;
    // Makes every missing level of path; false when path is a file.
    virtual bool MakeFolders(const std::string& path) = 0;
    virtual bool CopyBytes(const std::string& from, const std::string& to) = 0;
    virtual bool WriteFile(const std::string& path, const void* data, size_t size) = 0;
    // The system's code of the last failure, for messages.
    virtual unsigned long LastError() const = 0;
    // Where the Windows programs were looked for, in words ("beside
    // zekmake.exe").
    virtual const char* BinPlace() const = 0;
    // The builder library taken from bin too; null when the builder is
    // part of zekmake itself.
    virtual const char* BuilderFile() const = 0;
    // Builds the package file packagePath from the project file; on success
    // *crc is its CRC-32. Failures are told on err.
    virtual bool BuildPackage(const std::string& bin, const std::string& projectPath,
                              const std::string& packagePath, uint32_t* crc, FILE* err) = 0;
};

// What a caller that goes on with the folder needs from a build.
struct PackageExtras {
    bool quiet = false;           // without the "ready to ship" lines on out
    Signer signer;                // set up from the description's [signing]
    std::string applicationName;  // as the package holds it
};

// Reads the description, builds the package in a work folder and, only when
// everything succeeded, copies the shipped files from bin into outDir (made
// when missing). Reports on out, mistakes and failures on err. Returns the
// exit code: 0 when outDir holds the package, 1 otherwise. With [signing] in
// the description, setup.exe, wendlo.dll and drevok.exe are signed before
// they are copied or packed.
int MakePackage(Shell& shell, const char* descriptionPath, const char* outDir,
                const std::string& bin, FILE* out, FILE* err, PackageExtras* extras = nullptr);

// The same on this system's shell; bin null for zekmake's own folder.
int MakePackage(const char* descriptionPath, const char* outDir, const char* bin, FILE* out,
                FILE* err, PackageExtras* extras = nullptr);

}  // namespace zekmake
