#include "builder/group_writer.h"

#include <cstring>
#include <string>

#include "builder/append_file.h"
#include "builder/build_dialog.h"
#include "builder/build_state.h"
#include "builder/zek2dat_api.h"
#include "package/bytes.h"
#include "package/records.h"
#include "win32/temp_file.h"
#include "win32/unique_handle.h"

namespace builder {

namespace {

bool IsFolder(const WIN32_FIND_DATAA& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens the listing of pattern positioned at its first file, folders
// (".", ".." and subfolders alike) passed over. False when the folder
// cannot be listed or holds no file.
bool FirstFile(const std::string& pattern, win32::UniqueFindHandle* find, WIN32_FIND_DATAA* data,
               bool* listed) {
    find->reset(FindFirstFileA(pattern.c_str(), data));
    *listed = bool(*find);
    if (!*find) return false;
    while (IsFolder(*data))
        if (!FindNextFileA(find->get(), data)) return false;
    return true;
}

bool NextFile(const win32::UniqueFindHandle& find, WIN32_FIND_DATAA* data) {
    do {
        if (!FindNextFileA(find.get(), data)) return false;
    } while (IsFolder(*data));
    return true;
}

// First listing: one entry per file into the list file, counted and summed
// into the header.
bool WriteEntries(const std::string& pattern, FILE* list, package::GroupHeader* header) {
    win32::UniqueFindHandle find;
    WIN32_FIND_DATAA data;
    bool listed;
    bool more = FirstFile(pattern, &find, &data, &listed);
    if (!listed) return ReportBuildError(kErrorCannotList), false;
    for (; more && !BuildCancelled(); more = NextFile(find, &data)) {
        package::FileEntry entry = {};
        package::CopyText(entry.name, sizeof entry.name, data.cFileName);
        entry.size = data.nFileSizeLow;
        uint8_t bytes[package::kFileEntrySize];
        package::EncodeFileEntry(entry, bytes);
        fwrite(bytes, 1, sizeof bytes, list);
        ++header->fileCount;
        header->totalBytes += entry.size;
    }
    return !BuildCancelled() && fflush(list) == 0 && !ferror(list);
}

// Second listing: each file's data behind the entries. Every file must come
// in the same place with the size its entry promised; the entries are read
// back from the list file to check it.
bool WriteData(const std::string& folder, const std::string& pattern, const char* listPath,
               FILE* list, const package::GroupHeader& header, const char* groupName) {
    win32::UniqueFile entries(fopen(listPath, "rb"));
    if (!entries) return false;
    win32::UniqueFindHandle find;
    WIN32_FIND_DATAA data;
    bool listed;
    bool more = FirstFile(pattern, &find, &data, &listed);
    if (!listed) return ReportBuildError(kErrorCannotList), false;

    package::FileEntry entry = {};
    for (uint32_t i = 0; i < header.fileCount; ++i) {
        if (BuildCancelled()) return false;
        uint8_t bytes[package::kFileEntrySize];
        if (fread(bytes, 1, sizeof bytes, entries.get()) != sizeof bytes) return false;
        package::DecodeFileEntry(bytes, sizeof bytes, &entry);
        uint32_t offset, size;
        std::string path = folder + entry.name;
        if (!more || strcmp(entry.name, data.cFileName) != 0 ||
            AppendFile(list, path.c_str(), &offset, &size) != AppendResult::kDone ||
            size != entry.size) {
            if (BuildCancelled()) return false;
            ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                               "File %s changed while packing group %s !", path.c_str(), groupName);
            return false;
        }
        more = NextFile(find, &data);
    }
    if (more) {
        ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                           "File %s changed while packing group %s !",
                           (folder + data.cFileName).c_str(), groupName);
        return false;
    }
    return true;
}

}  // namespace

bool WriteGroup(FILE* body, const ProjectGroup& group) {
    package::GroupHeader header = {};
    header.flags = group.flags;
    if (group.flags & kGroupHasSubfolder) {
        if (!package::CopyText(header.subfolder, sizeof header.subfolder, group.subfolder)) {
            ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                               "Subfolder name too long in group %s !", group.name);
            return false;
        }
    }
    std::string folder = std::string(group.sourceFolder) + "\\";
    std::string pattern = folder + "*.*";

    win32::TempFile listFile;
    if (!listFile.Create("Z2D")) return false;
    win32::UniqueFile list(fopen(listFile.path(), "wb"));
    if (!list || !WriteEntries(pattern, list.get(), &header) ||
        !WriteData(folder, pattern, listFile.path(), list.get(), header, group.name))
        return false;
    if (fclose(list.release()) != 0) return false;

    uint8_t bytes[package::kGroupHeaderSize];
    package::EncodeGroupHeader(header, bytes);
    fwrite(bytes, 1, sizeof bytes, body);
    uint32_t offset, size;
    uint64_t expected = (uint64_t)header.fileCount * package::kFileEntrySize + header.totalBytes;
    return AppendFile(body, listFile.path(), &offset, &size) == AppendResult::kDone &&
           size == expected;
}

}  // namespace builder
