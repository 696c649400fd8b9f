#include "installer/extract.h"

#include <io.h>

#include "installer/resource.h"
#include "win32/unique_handle.h"

namespace installer {

namespace {

constexpr uint32_t kChunkSize = 4096;

bool CopyChunks(FILE* stream, uint32_t size, win32::ProgressDisplay* display, FILE* out) {
    char chunk[kChunkSize];
    uint32_t left = size;
    for (uint64_t k = 0; left > 0; ++k) {
        uint32_t length = left > kChunkSize ? kChunkSize : left;
        if (left > kChunkSize && display) {
            // Wide enough for any 32-bit size: 100 * size overflows 32 bits
            // from 43 MB on and the bar would jump back.
            display->SetPercent((int)(100 * (kChunkSize * k + 1) / size));
        }
        if (fread(chunk, 1, length, stream) != length) return false;
        if (fwrite(chunk, 1, length, out) != length) return false;
        left -= length;
    }
    return true;
}

}  // namespace

bool ExtractToFileShowing(FILE* stream, uint32_t size, win32::ProgressDisplay* display,
                          const char* path) {
    win32::UniqueFile out(fopen(path, "wb"));
    if (!out) return false;
    bool copied = CopyChunks(stream, size, display, out.get());
    if (fclose(out.release()) != 0) copied = false;
    if (!copied) {
        DeleteFileA(path);
        return false;
    }
    if (display) display->SetPercent(100);
    return true;
}

bool ExtractToFile(FILE* stream, uint32_t size, HWND progressWindow, const char* path) {
    win32::ProgressDisplay display;
    display.Attach(progressWindow ? GetDlgItem(progressWindow, IDC_STATUS_PROGRESS) : nullptr);
    return ExtractToFileShowing(stream, size, &display, path);
}

uint64_t StreamBytesLeft(FILE* stream) {
    int64_t position = _ftelli64(stream);
    int64_t length = _filelengthi64(_fileno(stream));
    if (position < 0 || length < position) return 0;
    return (uint64_t)(length - position);
}

}  // namespace installer
