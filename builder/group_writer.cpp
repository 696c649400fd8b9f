#include "builder/group_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "builder/append_file.h"
#include "builder/build_errors.h"
#include "package/bytes.h"
#include "package/file_name.h"
#include "package/records.h"

namespace builder {

namespace {

// The files of folder in the listing order, the build's own temporary
// files left out. False when the folder cannot be listed.
bool ListGroup(BuildContext& build, const std::string& folder, std::vector<FoundFile>* files) {
    std::vector<FoundFile> found;
    if (!build.host().ListFiles(folder, &found)) return false;
    files->clear();
    for (FoundFile& file : found)
        if (!build.IsOwnFile(folder, file.name)) files->push_back(std::move(file));
    std::sort(files->begin(), files->end(), [](const FoundFile& a, const FoundFile& b) {
        return package::ListingOrderLess(a.name, b.name);
    });
    return true;
}

// A name the package can store and the installer accepts. A listing shows a
// character of the real name that the code page lacks as "?".
bool CheckFileName(BuildContext& build, const std::string& folder, const std::string& name,
                   const char* groupName) {
    if (package::IsPlainName(name.c_str()) && !strpbrk(name.c_str(), "?*<>|\"")) return true;
    build.Message(MessageKind::kInput,
                  "File name %s%s in group %s cannot be packed : it holds a character the "
                  "ANSI code page cannot store, or is a device name !",
                  folder.c_str(), name.c_str(), groupName);
    build.ReportError(kErrorFileName);
    return false;
}

void Changed(BuildContext& build, const std::string& path, const char* groupName) {
    build.Message(MessageKind::kInput, "File %s changed while packing group %s !", path.c_str(),
                  groupName);
}

// First listing: one entry per file into the list file, counted and summed
// into the header.
bool WriteEntries(BuildContext& build, const std::string& folder, FILE* list,
                  package::GroupHeader* header, const char* groupName) {
    std::vector<FoundFile> files;
    if (!ListGroup(build, folder, &files)) return build.ReportError(kErrorCannotList), false;
    for (const FoundFile& file : files) {
        if (build.Cancelled()) return false;
        if (!CheckFileName(build, folder, file.name, groupName)) return false;
        package::FileEntry entry = {};
        package::CopyText(entry.name, sizeof entry.name, file.name.c_str());
        entry.size = (uint32_t)file.size;
        uint8_t bytes[package::kFileEntrySize];
        package::EncodeFileEntry(entry, bytes);
        if (fwrite(bytes, 1, sizeof bytes, list) != sizeof bytes) return build.TempFileError(), false;
        ++header->fileCount;
        header->totalBytes += entry.size;
    }
    if (build.Cancelled()) return false;
    if (fflush(list) != 0 || ferror(list)) return build.TempFileError(), false;
    return true;
}

// Second listing: each file's data behind the entries. Every file must come
// in the same place with the size its entry promised; the entries are read
// back from the list file to check it.
bool WriteData(BuildContext& build, const std::string& folder, const std::string& listPath,
               FILE* list, const package::GroupHeader& header, const char* groupName) {
    File entries(build.host().OpenFile(listPath, "rb"));
    if (!entries) return build.TempFileError(), false;
    std::vector<FoundFile> files;
    if (!ListGroup(build, folder, &files)) return build.ReportError(kErrorCannotList), false;

    package::FileEntry entry = {};
    for (uint32_t i = 0; i < header.fileCount; ++i) {
        if (build.Cancelled()) return false;
        uint8_t bytes[package::kFileEntrySize];
        if (fread(bytes, 1, sizeof bytes, entries.get()) != sizeof bytes)
            return build.TempFileError(), false;
        package::DecodeFileEntry(bytes, sizeof bytes, &entry);
        std::string path = folder + entry.name;
        if (i >= files.size() || files[i].name != entry.name) return Changed(build, path, groupName), false;
        uint32_t offset, size;
        AppendResult result = AppendFile(build, list, path, &offset, &size);
        if (result == AppendResult::kCancelled) return false;
        if (result != AppendResult::kDone && result != AppendResult::kMissing)
            return ShowAppendFailure(build, result, path), false;
        if (result == AppendResult::kMissing || size != entry.size)
            return Changed(build, path, groupName), false;
    }
    if (files.size() > header.fileCount)
        return Changed(build, folder + files[header.fileCount].name, groupName), false;
    return true;
}

}  // namespace

bool WriteGroup(BuildContext& build, FILE* body, const ProjectGroup& group) {
    package::GroupHeader header = {};
    header.flags = group.flags;
    if (package::HasSubfolder(group.flags)) {
        if (!package::CopyText(header.subfolder, sizeof header.subfolder, group.subfolder)) {
            build.Message(MessageKind::kInput, "Subfolder name too long in group %s !", group.name);
            return false;
        }
    }
    std::string folder = std::string(group.sourceFolder) + "\\";

    BuildTempFile listFile(build);
    if (!listFile.Create()) return build.TempFileError(), false;
    File list(build.host().OpenFile(listFile.path(), "wb"));
    if (!list) return build.TempFileError(), false;
    if (!WriteEntries(build, folder, list.get(), &header, group.name) ||
        !WriteData(build, folder, listFile.path(), list.get(), header, group.name))
        return false;
    if (fclose(list.release()) != 0) return build.TempFileError(), false;

    uint8_t bytes[package::kGroupHeaderSize];
    package::EncodeGroupHeader(header, bytes);
    fwrite(bytes, 1, sizeof bytes, body);
    uint32_t offset, size;
    uint64_t expected = (uint64_t)header.fileCount * package::kFileEntrySize + header.totalBytes;
    AppendResult result = AppendFile(build, body, listFile.path(), &offset, &size);
    if (result == AppendResult::kMissing) return build.TempFileError(), false;
    if (result != AppendResult::kDone) return ShowAppendFailure(build, result, group.name), false;
    if (size == expected) return true;
    build.Message(MessageKind::kInput, "Group %s changed while packing !", group.name);
    return false;
}

}  // namespace builder
