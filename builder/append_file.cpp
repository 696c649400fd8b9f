#include "builder/append_file.h"

#include <io.h>

#include <memory>

#include "builder/build_dialog.h"
#include "builder/build_state.h"
#include "win32/unique_handle.h"

namespace builder {

namespace {

constexpr size_t kBlockSize = 4096;

}  // namespace

AppendResult AppendFile(FILE* out, const char* path, uint32_t* offset, uint32_t* size) {
    win32::UniqueFile in(fopen(path, "rb"));
    if (!in) return AppendResult::kMissing;
    long start = ftell(out);
    long long length = _filelengthi64(_fileno(in.get()));

    auto block = std::make_unique<uint8_t[]>(kBlockSize);
    uint64_t copied = 0;
    for (;;) {
        size_t got = fread(block.get(), 1, kBlockSize, in.get());
        if (BuildCancelled()) return AppendResult::kFailed;
        if (got > 0 && fwrite(block.get(), 1, got, out) != got) return AppendResult::kFailed;
        copied += got;
        if (got < kBlockSize) break;
        SetBuildProgress(ProgressPercent(copied, length > 0 ? (uint64_t)length : 0));
    }
    // A package records positions and sizes in 32 bits.
    if (ferror(in.get()) || start < 0 || copied > UINT32_MAX) return AppendResult::kFailed;
    if (copied > 0) SetBuildProgress(100);
    *offset = (uint32_t)start;
    *size = (uint32_t)copied;
    return AppendResult::kDone;
}

}  // namespace builder
