// What a build asks of the system it runs on. The builder itself (project
// reader, block writers, registry text, compression) is portable code over
// this interface; zek2dat.dll implements it with Win32 and its build window
// (builder/win_build_host.h), the native zekmake with POSIX calls and the
// terminal. Paths crossing it are in the package's code page (Windows-1252)
// as the project file holds them; "\\" and "/" both separate folders.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "package/zlib_api.h"

namespace builder {

// One file directly inside a listed folder.
struct FoundFile {
    std::string name;  // as the package stores it; "?" for a character the code page lacks
    uint64_t size;
};

// How a message is shown. zek2dat.dll shows each in a message box captioned
// "Zek2Dat DLL"; the native zekmake writes it to standard error.
enum class MessageKind {
    kProjectRead,  // the project file is damaged (box owned by the build window)
    kInput,        // a file or text the project names cannot be packed (warning)
    kSystem,       // the system failed the build: temporary files, reads (warning)
    kNoZlib,       // zlib cannot be had (error icon)
};

class BuildHost {
  public:
    virtual ~BuildHost() = default;

    // The files (no folders) directly inside folder, in any order. False when
    // the folder cannot be listed.
    virtual bool ListFiles(const std::string& folder, std::vector<FoundFile>* files) = 0;
    // fopen of a path; the caller owns the stream.
    virtual FILE* OpenFile(const std::string& path, const char* mode) = 0;
    // The whole length of an open file; false when it cannot be had.
    virtual bool FileLength(FILE* file, uint64_t* length) = 0;
    // Whether two paths name one file, however each is spelt.
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // Makes a new empty temporary file and gives its path; false when none
    // can be made (SystemReason then tells why).
    virtual bool MakeTempFile(std::string* path) = 0;
    // Deletes a file; keeps the reason of the last failure.
    virtual void RemoveFile(const std::string& path) = 0;
    // The system's code and words for the last failed call.
    virtual void SystemReason(unsigned long* code, std::string* text) = 0;

    // zlib, bound for this build; null when it cannot be had.
    virtual const package::ZlibApi* Zlib() = 0;
    // A path as the system's own calls take it (zlib's gzopen among them).
    virtual std::string SystemPath(const std::string& path) { return path; }

    // Progress: the current step, the current file or group, and the share
    // of the current copy (true when the display moved).
    virtual void SetStatus(const char* text) = 0;
    virtual void SetDetail(const char* text) = 0;
    virtual bool SetProgress(int percent) = 0;
    // Shows what changed at once.
    virtual void Repaint() = 0;
    // Lets the user act (a click on Cancel) without ever waiting.
    virtual void Service() = 0;
    // True once the user asked to stop the build.
    virtual bool Cancelled() = 0;

    virtual void ShowMessage(MessageKind kind, const char* text) = 0;
    // The build's first error code, as soon as it is known.
    virtual void ReportError(uint32_t code) = 0;
};

}  // namespace builder
