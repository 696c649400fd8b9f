// A temporary file named by GetTempFileNameA in the temporary-files
// directory, deleted when its owner goes (on every path, failures included).
#pragma once

#include <windows.h>

#include <cstring>

namespace win32 {

class TempFile {
  public:
    TempFile() = default;
    ~TempFile() { Remove(); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Makes a new empty file whose name starts with the three-letter prefix.
    // Returns false, holding no file, when the folder or a name cannot be
    // had; GetLastError() then tells why.
    bool Create(const char* prefix) {
        Remove();
        char folder[MAX_PATH] = {};
        DWORD len = GetTempPathA(MAX_PATH, folder);
        if (len == 0 || len >= MAX_PATH) return false;
        return GetTempFileNameA(folder, prefix, 0, path_) != 0;
    }

    const char* path() const { return path_; }

    // Takes over other's file (other then holds none), removing its own.
    void Adopt(TempFile* other) {
        Remove();
        memcpy(path_, other->path_, sizeof path_);
        other->path_[0] = 0;
    }

    // Deletes the file now; GetLastError() is kept. Idempotent.
    void Remove() {
        if (!path_[0]) return;
        DWORD error = GetLastError();
        DeleteFileA(path_);
        path_[0] = 0;
        SetLastError(error);
    }

  private:
    char path_[MAX_PATH] = {};
};

}  // namespace win32
