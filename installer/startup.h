// Start-up of setup.exe: the checks of setup.inf and setup.dat, the CRC-32,
// and the unpacking of the package into a temporary file.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "package/records.h"

namespace installer {

// Colours of the background window, read from setup.inf after a good check.
struct BackgroundSettings {
    COLORREF backColor = 0xFF0000;
    int dithered = 1;
};

// Owns the temporary file that holds the unpacked package: deletes it when
// it goes, unless its name has been handed on with Release.
class TempFileGuard {
  public:
    TempFileGuard() = default;
    explicit TempFileGuard(std::string path) : path_(std::move(path)) {}
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(TempFileGuard&& other) noexcept {
        if (this != &other) {
            Delete();
            path_ = other.Release();
        }
        return *this;
    }
    ~TempFileGuard() { Delete(); }

    // Deletes the file now; later calls do nothing.
    void Delete() {
        if (!path_.empty()) DeleteFileA(path_.c_str());
        path_.clear();
    }
    std::string Release() { return std::exchange(path_, std::string()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Shows string stringId of the program's string table in a task-modal error
// box captioned "Installation Error".
void ShowInstallError(UINT stringId, HINSTANCE instance);

// Checks that setup.inf and setup.dat are in the current directory and that
// the package's CRC-32 matches the stored one. Returns true with the
// background settings; on false the user has been told why.
bool VerifyPackage(HINSTANCE instance, BackgroundSettings* settings);

// CRC-32 of the whole file through zlib's crc32. Returns 0 after showing
// message 3 or 4 when zlib cannot be used (and 0 for an unreadable file).
uint32_t FileCrc32(const char* path, HINSTANCE instance);

// Decompresses the gzip package packagePath into a new temporary file
// ("ZKS" prefix) behind the unpacking window and sets *tempPath to its name.
// On false the user has been told why (message 3 without zlib, message 6 for
// a damaged package) and no temporary file is left behind.
bool UnpackPackage(const char* packagePath, HINSTANCE instance, std::string* tempPath);

// Opens the unpacked package for reading and reads its header. Returns null
// (and leaves *header untouched) when the file cannot be opened or holds
// fewer bytes than a header.
FILE* OpenPackageStream(const char* tempPath, package::PackageHeader* header);

}  // namespace installer
