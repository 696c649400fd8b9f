#include "builder/group_writer.h"

#include <cstring>
#include <string>

#include "builder/append_file.h"
#include "builder/build_dialog.h"
#include "builder/build_state.h"
#include "builder/zek2dat_api.h"
#include "package/bytes.h"
#include "package/file_name.h"
#include "package/records.h"
#include "win32/temp_file.h"
#include "win32/unique_handle.h"

namespace builder {

namespace {

// Folders (".", ".." and subfolders alike) and the build's own temporary
// files are passed over by both listings.
bool Skipped(const std::string& folder, const WIN32_FIND_DATAA& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
           IsOwnFile(folder, data.cFileName);
}

// Opens the listing of folder positioned at its first file. False when the
// folder cannot be listed or holds no file.
bool FirstFile(const std::string& folder, win32::UniqueFindHandle* find, WIN32_FIND_DATAA* data,
               bool* listed) {
    find->reset(FindFirstFileA((folder + "*.*").c_str(), data));
    *listed = bool(*find);
    if (!*find) return false;
    while (Skipped(folder, *data))
        if (!FindNextFileA(find->get(), data)) return false;
    return true;
}

bool NextFile(const std::string& folder, const win32::UniqueFindHandle& find,
              WIN32_FIND_DATAA* data) {
    do {
        if (!FindNextFileA(find.get(), data)) return false;
    } while (Skipped(folder, *data));
    return true;
}

// A name the package can store and the installer accepts. The ANSI listing
// shows a character of the real name that the code page lacks as "?".
bool CheckFileName(const std::string& folder, const char* name, const char* groupName) {
    if (package::IsPlainName(name) && !strpbrk(name, "?*<>|\"")) return true;
    ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                       "File name %s%s in group %s cannot be packed : it holds a character the "
                       "ANSI code page cannot store, or is a device name !",
                       folder.c_str(), name, groupName);
    ReportBuildError(kErrorFileName);
    return false;
}

// First listing: one entry per file into the list file, counted and summed
// into the header.
bool WriteEntries(const std::string& folder, FILE* list, package::GroupHeader* header,
                  const char* groupName) {
    win32::UniqueFindHandle find;
    WIN32_FIND_DATAA data;
    bool listed;
    bool more = FirstFile(folder, &find, &data, &listed);
    if (!listed) return ReportBuildError(kErrorCannotList), false;
    for (; more && !BuildCancelled(); more = NextFile(folder, find, &data)) {
        if (!CheckFileName(folder, data.cFileName, groupName)) return false;
        package::FileEntry entry = {};
        package::CopyText(entry.name, sizeof entry.name, data.cFileName);
        entry.size = data.nFileSizeLow;
        uint8_t bytes[package::kFileEntrySize];
        package::EncodeFileEntry(entry, bytes);
        if (fwrite(bytes, 1, sizeof bytes, list) != sizeof bytes) return ShowTempFileError(), false;
        ++header->fileCount;
        header->totalBytes += entry.size;
    }
    if (BuildCancelled()) return false;
    if (fflush(list) != 0 || ferror(list)) return ShowTempFileError(), false;
    return true;
}

// Second listing: each file's data behind the entries. Every file must come
// in the same place with the size its entry promised; the entries are read
// back from the list file to check it.
bool WriteData(const std::string& folder, const char* listPath, FILE* list,
               const package::GroupHeader& header, const char* groupName) {
    win32::UniqueFile entries(fopen(listPath, "rb"));
    if (!entries) return ShowTempFileError(), false;
    win32::UniqueFindHandle find;
    WIN32_FIND_DATAA data;
    bool listed;
    bool more = FirstFile(folder, &find, &data, &listed);
    if (!listed) return ReportBuildError(kErrorCannotList), false;

    package::FileEntry entry = {};
    for (uint32_t i = 0; i < header.fileCount; ++i) {
        if (BuildCancelled()) return false;
        uint8_t bytes[package::kFileEntrySize];
        if (fread(bytes, 1, sizeof bytes, entries.get()) != sizeof bytes)
            return ShowTempFileError(), false;
        package::DecodeFileEntry(bytes, sizeof bytes, &entry);
        std::string path = folder + entry.name;
        if (!more || strcmp(entry.name, data.cFileName) != 0) {
            ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                               "File %s changed while packing group %s !", path.c_str(), groupName);
            return false;
        }
        uint32_t offset, size;
        AppendResult result = AppendFile(list, path.c_str(), &offset, &size);
        if (result == AppendResult::kCancelled) return false;
        if (result != AppendResult::kDone && result != AppendResult::kMissing)
            return ShowAppendFailure(result, path.c_str()), false;
        if (result == AppendResult::kMissing || size != entry.size) {
            ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                               "File %s changed while packing group %s !", path.c_str(), groupName);
            return false;
        }
        more = NextFile(folder, find, &data);
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
    if (package::HasSubfolder(group.flags)) {
        if (!package::CopyText(header.subfolder, sizeof header.subfolder, group.subfolder)) {
            ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                               "Subfolder name too long in group %s !", group.name);
            return false;
        }
    }
    std::string folder = std::string(group.sourceFolder) + "\\";

    win32::TempFile listFile;
    if (!listFile.Create("Z2D")) return ShowTempFileError(), false;
    NoteOwnFile(listFile.path());
    win32::UniqueFile list(fopen(listFile.path(), "wb"));
    if (!list) return ShowTempFileError(), false;
    if (!WriteEntries(folder, list.get(), &header, group.name) ||
        !WriteData(folder, listFile.path(), list.get(), header, group.name))
        return false;
    if (fclose(list.release()) != 0) return ShowTempFileError(), false;

    uint8_t bytes[package::kGroupHeaderSize];
    package::EncodeGroupHeader(header, bytes);
    fwrite(bytes, 1, sizeof bytes, body);
    uint32_t offset, size;
    uint64_t expected = (uint64_t)header.fileCount * package::kFileEntrySize + header.totalBytes;
    AppendResult result = AppendFile(body, listFile.path(), &offset, &size);
    if (result == AppendResult::kMissing) return ShowTempFileError(), false;
    if (result != AppendResult::kDone) return ShowAppendFailure(result, group.name), false;
    if (size == expected) return true;
    ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING, "Group %s changed while packing !",
                       group.name);
    return false;
}

}  // namespace builder
