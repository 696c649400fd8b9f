// Names in the temporary-files directory, and a temporary file deleted when
// its owner goes (on every path, failures included).
#pragma once

#include <windows.h>

#include <cstring>

namespace win32 {

// Makes a new empty file there whose name (at most MAX_PATH bytes, into
// path) starts with the three-letter prefix. False, with path empty, when
// the folder or a name cannot be had; GetLastError() then tells why.
inline bool NewTempFileName(const char* prefix, char* path) {
    char folder[MAX_PATH] = {};
    path[0] = 0;
    DWORD len = GetTempPathA(MAX_PATH, folder);
    if (len == 0 || len >= MAX_PATH) return false;
    if (GetTempFileNameA(folder, prefix, 0, path) != 0) return true;
    path[0] = 0;
    return false;
}

// A new empty folder of its own there: a fresh file name made into a folder.
// On failure path holds the name when one was had, else it is empty.
inline bool NewTempFolder(const char* prefix, char* path) {
    return NewTempFileName(prefix, path) && DeleteFileA(path) && CreateDirectoryA(path, nullptr);
}

// True when a file or folder of that name exists. Not an open: a file that
// a program holds without sharing exists all the same.
inline bool PathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

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
        return NewTempFileName(prefix, path_);
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
