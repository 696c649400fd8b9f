// One build: the host it runs on, its first error code and its own
// temporary files. Every part of the builder works through the context it
// is handed; nothing of a build is kept elsewhere. Portable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "builder/build_host.h"

namespace builder {

// A stream the build opened through its host, closed when its owner goes.
struct FileCloser {
    void operator()(FILE* file) const { fclose(file); }
};
using File = std::unique_ptr<FILE, FileCloser>;

class BuildContext {
  public:
    explicit BuildContext(BuildHost& host) : host_(host) {}
    BuildContext(const BuildContext&) = delete;
    BuildContext& operator=(const BuildContext&) = delete;

    BuildHost& host() { return host_; }
    bool Cancelled() { return host_.Cancelled(); }

    // Keeps code as the build's first code and hands it to the host; once a
    // build has a code, later ones are ignored.
    void ReportError(uint32_t code);
    // The first code, 0 when none was reported.
    uint32_t firstError() const { return firstError_; }

    // The temporary files of the build. A group listing passes over them: a
    // group whose source folder is the temporary-files folder would
    // otherwise pack the file it is being written into.
    void NoteOwnFile(const std::string& path) { ownFiles_.push_back(path); }
    // True when folder + name is one of the noted files.
    bool IsOwnFile(const std::string& folder, const std::string& name);

    // A message formatted with printf rules.
    void Message(MessageKind kind, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    // The message for a project file that ends early or holds a damaged record.
    void ProjectReadError();
    // The message for a temporary file of the build that cannot be made,
    // written or read back, with the system's reason, and kErrorTempFile.
    void TempFileError();

  private:
    BuildHost& host_;
    uint32_t firstError_ = 0;
    std::vector<std::string> ownFiles_;
};

// A temporary file of the build, noted as the build's own and deleted when
// its owner goes (on every path, failures included).
class BuildTempFile {
  public:
    explicit BuildTempFile(BuildContext& build) : build_(build) {}
    ~BuildTempFile() { Remove(); }
    BuildTempFile(const BuildTempFile&) = delete;
    BuildTempFile& operator=(const BuildTempFile&) = delete;

    // Makes the file; false (holding none) when it cannot be made.
    bool Create();
    const std::string& path() const { return path_; }
    // Deletes the file now; idempotent.
    void Remove();

  private:
    BuildContext& build_;
    std::string path_;
};

}  // namespace builder
