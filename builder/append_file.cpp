#include "builder/append_file.h"

#include <memory>

#include "builder/build_errors.h"
#include "package/zlib_api.h"

namespace builder {

AppendResult AppendFile(BuildContext& build, FILE* out, const std::string& path, uint32_t* offset,
                        uint32_t* size) {
    File in(build.host().OpenFile(path, "rb"));
    if (!in) return AppendResult::kMissing;
    long start = ftell(out);
    if (start < 0) return AppendResult::kTooLarge;
    uint64_t length = 0;
    build.host().FileLength(in.get(), &length);

    auto block = std::make_unique<uint8_t[]>(package::kBlockSize);
    uint64_t copied = 0;
    for (;;) {
        size_t got = fread(block.get(), 1, package::kBlockSize, in.get());
        if (build.Cancelled()) return AppendResult::kCancelled;
        if ((uint64_t)start + copied + got > kMaxOutputSize) return AppendResult::kTooLarge;
        if (got > 0 && fwrite(block.get(), 1, got, out) != got) return AppendResult::kWriteFailed;
        copied += got;
        if (got < package::kBlockSize) break;
        build.host().SetProgress(package::ProgressPercent(copied, length));
    }
    if (ferror(in.get())) return AppendResult::kReadFailed;
    if (copied > 0) build.host().SetProgress(100);
    *offset = (uint32_t)start;
    *size = (uint32_t)copied;
    return AppendResult::kDone;
}

void ShowAppendFailure(BuildContext& build, AppendResult result, const std::string& path) {
    switch (result) {
        case AppendResult::kReadFailed:
            build.Message(MessageKind::kSystem, "Error reading file %s !", path.c_str());
            return build.ReportError(kErrorCannotRead);
        case AppendResult::kWriteFailed:
            return build.TempFileError();
        case AppendResult::kTooLarge:
            build.Message(MessageKind::kInput, "Package too large at %s : it must stay below 2 GB !",
                          path.c_str());
            return build.ReportError(kErrorTooLarge);
        default:
            return;
    }
}

}  // namespace builder
