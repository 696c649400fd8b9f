#include "tools/zekmake/one_file_writer.h"

#include <cstdint>
#include <cstdio>
#include <memory>

#include "package/file_name.h"
#include "package/one_file.h"

namespace zekmake {

namespace {

struct FileCloser {
    void operator()(FILE* f) const { fclose(f); }
};
using File = std::unique_ptr<FILE, FileCloser>;

// Appends the file at path to out; sizes and CRC-32 of what was copied.
bool Append(const std::string& path, FILE* out, uint64_t* size, uint32_t* crc) {
    File in(fopen(path.c_str(), "rb"));
    if (!in) return false;
    uint8_t block[64 * 1024];
    size_t got;
    *size = 0;
    *crc = 0;
    while ((got = fread(block, 1, sizeof block, in.get())) > 0) {
        if (fwrite(block, 1, got, out) != got) return false;
        *crc = package::Crc32(*crc, block, got);
        *size += got;
    }
    return !ferror(in.get());
}

}  // namespace

bool WriteOneFile(const std::string& stubPath, const std::vector<OneFilePart>& parts,
                  const std::string& outPath, std::string* problem) {
    if (parts.empty() || parts.size() > package::kOneFileMaxEntries)
        return *problem = "a one file holds 1 to 8 files", false;
    File out(fopen(outPath.c_str(), "wb"));
    if (!out) return *problem = "cannot create " + outPath, false;
    uint64_t at = 0;
    uint32_t ignored;
    if (!Append(stubPath, out.get(), &at, &ignored)) return *problem = "cannot copy " + stubPath, false;
    std::vector<uint8_t> directory;
    for (const OneFilePart& part : parts) {
        package::OneFileEntry entry = {};
        if (part.name.size() >= sizeof entry.name || !package::IsPlainName(part.name.c_str()))
            return *problem = "\"" + part.name + "\" cannot be stored in a one file", false;
        part.name.copy(entry.name, sizeof entry.name - 1);
        uint64_t size = 0;
        if (!Append(part.path, out.get(), &size, &entry.crc))
            return *problem = "cannot copy " + part.path + " into " + outPath, false;
        entry.offset = (uint32_t)at;
        entry.size = (uint32_t)size;
        at += size;
        if (at >= 0xFFFFFFFFu) return *problem = "the one file would reach 4 GiB", false;
        uint8_t bytes[package::kOneFileEntrySize];
        package::EncodeOneFileEntry(entry, bytes);
        directory.insert(directory.end(), bytes, bytes + sizeof bytes);
    }
    // Zeros in front of the directory make the whole a multiple of 8 bytes,
    // so that a signature is appended without padding of its own.
    size_t tail = directory.size() + package::kOneFileTrailerSize;
    size_t padding = (8 - (at + tail) % 8) % 8;
    directory.insert(directory.begin(), padding, 0);
    uint8_t trailer[package::kOneFileTrailerSize];
    package::EncodeOneFileTrailer({(uint32_t)(at + padding), (uint32_t)parts.size()}, trailer);
    directory.insert(directory.end(), trailer, trailer + sizeof trailer);
    if (at + directory.size() >= 0xFFFFFFFFu) return *problem = "the one file would reach 4 GiB", false;
    if (fwrite(directory.data(), 1, directory.size(), out.get()) != directory.size() ||
        fclose(out.release()) != 0)
        return *problem = "cannot write " + outPath, false;
    return true;
}

}  // namespace zekmake
