#include "builder/append_file.h"

#include <io.h>

#include <memory>

#include "builder/build_dialog.h"
#include "builder/build_state.h"
#include "builder/zek2dat_api.h"
#include "win32/unique_handle.h"

namespace builder {

namespace {

constexpr size_t kBlockSize = 4096;

}  // namespace

AppendResult AppendFile(FILE* out, const char* path, uint32_t* offset, uint32_t* size) {
    win32::UniqueFile in(fopen(path, "rb"));
    if (!in) return AppendResult::kMissing;
    long start = ftell(out);
    if (start < 0) return AppendResult::kTooLarge;
    long long length = _filelengthi64(_fileno(in.get()));

    auto block = std::make_unique<uint8_t[]>(kBlockSize);
    uint64_t copied = 0;
    for (;;) {
        size_t got = fread(block.get(), 1, kBlockSize, in.get());
        if (BuildCancelled()) return AppendResult::kCancelled;
        if ((uint64_t)start + copied + got > kMaxOutputSize) return AppendResult::kTooLarge;
        if (got > 0 && fwrite(block.get(), 1, got, out) != got) return AppendResult::kWriteFailed;
        copied += got;
        if (got < kBlockSize) break;
        SetBuildProgress(ProgressPercent(copied, length > 0 ? (uint64_t)length : 0));
    }
    if (ferror(in.get())) return AppendResult::kReadFailed;
    if (copied > 0) SetBuildProgress(100);
    *offset = (uint32_t)start;
    *size = (uint32_t)copied;
    return AppendResult::kDone;
}

void ShowAppendFailure(AppendResult result, const char* path) {
    switch (result) {
        case AppendResult::kReadFailed:
            ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING, "Error reading file %s !", path);
            return ReportBuildError(kErrorCannotRead);
        case AppendResult::kWriteFailed:
            return ShowTempFileError();
        case AppendResult::kTooLarge:
            ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                               "Package too large at %s : it must stay below 2 GB !", path);
            return ReportBuildError(kErrorTooLarge);
        default:
            return;
    }
}

}  // namespace builder
