#include "builder/compression.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "package/zlib_api.h"

namespace builder {

namespace {

// An open gzip stream; closes a stream left open by a failure.
class GzStream {
  public:
    GzStream(const package::ZlibApi& zlib, package::GzFile file) : zlib_(zlib), file_(file) {}
    ~GzStream() {
        if (file_) zlib_.gzclose(file_);
    }
    GzStream(const GzStream&) = delete;
    GzStream& operator=(const GzStream&) = delete;
    package::GzFile get() const { return file_; }
    bool Write(const void* data, size_t size) const {
        return zlib_.gzwrite(file_, data, (unsigned)size) == (int)size;
    }
    // Finishes the stream; true when zlib wrote all of it.
    bool Close() { return zlib_.gzclose(std::exchange(file_, nullptr)) == package::kZOk; }

  private:
    const package::ZlibApi& zlib_;
    package::GzFile file_;
};

bool CopyToGzip(BuildContext& build, FILE* body, const GzStream& gz) {
    auto block = std::make_unique<uint8_t[]>(package::kBlockSize);
    uint64_t length = 0;
    build.host().FileLength(body, &length);
    uint64_t done = 0;
    for (;;) {
        size_t got = fread(block.get(), 1, package::kBlockSize, body);
        if (build.Cancelled() || ferror(body)) return false;
        done += got;
        if (got == package::kBlockSize) {
            if (build.host().SetProgress(package::ProgressPercent(done, length)))
                build.host().Repaint();
            if (!gz.Write(block.get(), got)) return false;
            continue;
        }
        if (got > 0) {
            build.host().Service();
            if (!gz.Write(block.get(), got)) return false;
            build.host().SetProgress(100);
        }
        return true;
    }
}

// The one byte of the gzip header that depends on the system zlib runs on.
bool FixOsByte(BuildContext& build, const std::string& outputPath) {
    File file(build.host().OpenFile(outputPath, "r+b"));
    if (!file || fseek(file.get(), kGzipOsOffset, SEEK_SET) != 0) return false;
    int os = fgetc(file.get());
    if (os == kGzipOsByte) return true;
    return os != EOF && fseek(file.get(), kGzipOsOffset, SEEK_SET) == 0 &&
           fputc(kGzipOsByte, file.get()) != EOF && fclose(file.release()) == 0;
}

bool WriteGzip(BuildContext& build, const package::ZlibApi& zlib, const std::string& bodyPath,
               const std::string& outputPath) {
    File body(build.host().OpenFile(bodyPath, "rb"));
    if (!body) return false;
    GzStream gz(zlib, zlib.gzopen(build.host().SystemPath(outputPath).c_str(), "wb"));
    if (!gz.get()) return false;
    return CopyToGzip(build, body.get(), gz) && gz.Close() && FixOsByte(build, outputPath);
}

}  // namespace

bool CompressPackage(BuildContext& build, const std::string& bodyPath, const std::string& outputPath) {
    build.host().SetStatus("Compressing temp file to DAT file");
    build.host().SetDetail("");
    build.host().Repaint();
    const package::ZlibApi* zlib = build.host().Zlib();
    if (!zlib) {
        build.Message(MessageKind::kNoZlib, "Error !\nzlib.dll not found in path!");
        return false;
    }
    if (WriteGzip(build, *zlib, bodyPath, outputPath)) return true;
    // An unfinished gzip stream must not pass for a package.
    File empty(build.host().OpenFile(outputPath, "wb"));
    return false;
}

}  // namespace builder
