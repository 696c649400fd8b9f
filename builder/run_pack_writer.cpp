#include "builder/run_pack_writer.h"

#include <io.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "builder/append_file.h"
#include "builder/build_dialog.h"
#include "builder/build_state.h"
#include "builder/file_name.h"
#include "builder/project_reader.h"
#include "package/bytes.h"
#include "win32/unique_handle.h"

namespace builder {

namespace {

// A program name longer than this cannot be given whole to the installer.
constexpr size_t kMaxProgramNameLen = 30;

// One file of a pack: its entry, then its data.
bool WritePackFile(FILE* body, const std::string& path, const char* packName) {
    long long length;
    {
        win32::UniqueFile file(fopen(path.c_str(), "rb"));
        if (!file) {
            ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING, "File %s not found in run pack %s !",
                               path.c_str(), packName);
            return false;
        }
        length = _filelengthi64(_fileno(file.get()));
    }
    package::FileEntry entry = {};
    package::CopyText(entry.name, sizeof entry.name, FileNameOf(path.c_str()));
    entry.size = (uint32_t)length;
    uint8_t bytes[package::kFileEntrySize];
    package::EncodeFileEntry(entry, bytes);
    fwrite(bytes, 1, sizeof bytes, body);

    uint32_t offset, size;
    AppendResult result = AppendFile(body, path.c_str(), &offset, &size);
    if (result == AppendResult::kDone && size == length) return true;
    if (result == AppendResult::kCancelled) return false;
    if (result != AppendResult::kDone && result != AppendResult::kMissing)
        return ShowAppendFailure(result, path.c_str()), false;
    ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                       "File %s changed while packing run pack %s !", path.c_str(), packName);
    return false;
}

bool WritePack(FILE* body, const RunPack& pack) {
    const ProjectRunPack& record = pack.record;
    SetBuildDetail(record.name);
    const char* programName = FileNameOf(record.programPath);
    if (strlen(programName) > kMaxProgramNameLen) {
        ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING, "Program name %s too long in run pack %s !",
                           programName, record.name);
        return false;
    }
    package::RunPackHeader header = {};
    package::CopyText(header.packName, sizeof header.packName, record.name);
    package::CopyText(header.programName, sizeof header.programName, programName);
    header.waitFlag = record.waitField == 1 ? 1 : 0;
    header.fileCount = (uint32_t)pack.extraPaths.size() + 1;
    uint8_t bytes[package::kRunPackHeaderSize];
    package::EncodeRunPackHeader(header, bytes);
    fwrite(bytes, 1, sizeof bytes, body);

    for (const std::string& path : pack.extraPaths)
        if (!WritePackFile(body, path, record.name)) return false;
    return WritePackFile(body, record.programPath, record.name);
}

bool WriteList(FILE* body, FILE* project, unsigned count, uint32_t* offset) {
    *offset = 0;
    if (count == 0) return true;
    std::vector<RunPack> packs;
    if (!ReadRunPackList(project, count, &packs)) return ShowProjectReadError(), false;
    std::stable_sort(packs.begin(), packs.end(), [](const RunPack& a, const RunPack& b) {
        return a.record.orderKey > b.record.orderKey;
    });
    *offset = (uint32_t)ftell(body);
    for (const RunPack& pack : packs)
        if (BuildCancelled() || !WritePack(body, pack)) return false;
    return true;
}

}  // namespace

bool WriteRunPacks(FILE* body, FILE* project, package::PackageHeader* header,
                   const ProjectHeader& projectHeader) {
    SetBuildStatus("Adding files to be executed...");
    header->beforeCount = projectHeader.beforeCount;
    header->afterCount = projectHeader.afterCount;
    return WriteList(body, project, projectHeader.beforeCount, &header->beforeOffset) &&
           WriteList(body, project, projectHeader.afterCount, &header->afterOffset);
}

}  // namespace builder
