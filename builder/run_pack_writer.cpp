#include "builder/run_pack_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "builder/append_file.h"
#include "builder/file_name.h"
#include "builder/project_reader.h"
#include "package/bytes.h"

namespace builder {

namespace {

// A program name longer than this cannot be given whole to the installer.
constexpr size_t kMaxProgramNameLen = 30;


// One file of a pack: its entry, then its data.
bool WritePackFile(BuildContext& build, FILE* body, const std::string& path, const char* packName) {
    uint64_t length = 0;
    {
        File file(build.host().OpenFile(path, "rb"));
        if (!file) {
            build.Message(MessageKind::kInput, "File %s not found in run pack %s !", path.c_str(),
                          packName);
            return false;
        }
        build.host().FileLength(file.get(), &length);
    }
    package::FileEntry entry = {};
    package::CopyText(entry.name, sizeof entry.name, FileNameOf(path.c_str()));
    entry.size = (uint32_t)length;
    uint8_t bytes[package::kFileEntrySize];
    package::EncodeFileEntry(entry, bytes);
    fwrite(bytes, 1, sizeof bytes, body);

    uint32_t offset, size;
    AppendResult result = AppendFile(build, body, path, &offset, &size);
    if (result == AppendResult::kDone && size == length) return true;
    if (result == AppendResult::kCancelled) return false;
    if (result != AppendResult::kDone && result != AppendResult::kMissing)
        return ShowAppendFailure(build, result, path), false;
    build.Message(MessageKind::kInput, "File %s changed while packing run pack %s !", path.c_str(),
                  packName);
    return false;
}

bool WritePack(BuildContext& build, FILE* body, const RunPack& pack) {
    const ProjectRunPack& record = pack.record;
    build.host().SetDetail(record.name);
    const char* programName = FileNameOf(record.programPath);
    if (strlen(programName) > kMaxProgramNameLen) {
        build.Message(MessageKind::kInput, "Program name %s too long in run pack %s !", programName,
                      record.name);
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
        if (!WritePackFile(build, body, path, record.name)) return false;
    return WritePackFile(build, body, record.programPath, record.name);
}

bool WriteList(BuildContext& build, FILE* body, FILE* project, unsigned count, uint32_t* offset) {
    *offset = 0;
    if (count == 0) return true;
    std::vector<RunPack> packs;
    if (!ReadRunPackList(project, count, &packs)) return build.ProjectReadError(), false;
    std::stable_sort(packs.begin(), packs.end(), [](const RunPack& a, const RunPack& b) {
        return a.record.orderKey > b.record.orderKey;
    });
    *offset = (uint32_t)ftell(body);
    for (const RunPack& pack : packs)
        if (build.Cancelled() || !WritePack(build, body, pack)) return false;
    return true;
}

}  // namespace

bool WriteRunPacks(BuildContext& build, FILE* body, FILE* project, package::PackageHeader* header,
                   const ProjectHeader& projectHeader) {
    build.host().SetStatus("Adding files to be executed...");
    header->beforeCount = projectHeader.beforeCount;
    header->afterCount = projectHeader.afterCount;
    return WriteList(build, body, project, projectHeader.beforeCount, &header->beforeOffset) &&
           WriteList(build, body, project, projectHeader.afterCount, &header->afterOffset);
}

}  // namespace builder
