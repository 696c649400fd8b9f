#include "builder/build_driver.h"

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "builder/append_file.h"
#include "builder/build_context.h"
#include "builder/build_errors.h"
#include "builder/compression.h"
#include "builder/group_writer.h"
#include "builder/link_record.h"
#include "builder/project_reader.h"
#include "builder/registry_export.h"
#include "builder/run_pack_writer.h"
#include "package/bytes.h"
#include "package/limits.h"
#include "package/records.h"

namespace builder {

namespace {

// The package holds a link count in one byte.
constexpr int kMaxLinks = (int)package::kMaxCountedEntries;

struct FreeDeleter {
    void operator()(void* p) const { free(p); }
};

// The records of one build, zero-filled in one allocation whose failure is
// reported with its own code.
struct WorkingMemory {
    ProjectHeader project;
    package::PackageHeader package;
    ProjectLink link;
};

uint32_t Position(FILE* body) { return (uint32_t)ftell(body); }

void WriteHeader(FILE* body, const package::PackageHeader& header) {
    uint8_t bytes[package::kPackageHeaderSize];
    package::EncodePackageHeader(header, bytes);
    fwrite(bytes, 1, sizeof bytes, body);
}

// The header fields taken from the project; texts longer than their package
// field are cut to fit.
void CopyProjectFields(const ProjectHeader& p, package::PackageHeader* h) {
    package::CopyText(h->appName, sizeof h->appName, p.appName);
    package::CopyText(h->secondName, sizeof h->secondName, p.secondName);
    package::CopyText(h->version, sizeof h->version, p.version);
    package::CopyText(h->title, sizeof h->title, p.title);
    h->projectValue = p.projectValue;
    h->uninstall = p.uninstall;
    h->reboot = p.reboot;
    h->projectFlag = p.projectFlag;
    h->licenceFlag = (uint8_t)p.licenceFlag;
    h->readmeFlag = (uint8_t)p.readmeFlag;
    h->startMenuCount = (uint8_t)p.startMenuCount;
    h->desktopCount = (uint8_t)p.desktopCount;
    h->groupCount = p.groupCount;
    h->setupTypeCount = p.setupTypeCount;
    h->allowedSystems = p.allowedSystems;
}

bool LinkCountFits(BuildContext& build, int count, const char* kind) {
    if (count >= 0 && count <= kMaxLinks) return true;
    build.Message(MessageKind::kInput, "Too many %s links (%d) : at most %d can be packed !", kind,
                  count, kMaxLinks);
    return false;
}

// The licence or readme block. A file that cannot be opened leaves the block
// absent and the build goes on; one that fails while it is read stops it.
bool AppendText(BuildContext& build, FILE* body, int16_t flag, const char* path, uint32_t* offset,
                uint32_t* size) {
    if (!flag) return true;
    AppendResult result = AppendFile(build, body, path, offset, size);
    if (result == AppendResult::kDone || result == AppendResult::kMissing) return true;
    ShowAppendFailure(build, result, path);
    return false;
}

bool WriteGroups(BuildContext& build, FILE* body, FILE* project, unsigned count) {
    std::unique_ptr<uint8_t, FreeDeleter> records(
        static_cast<uint8_t*>(calloc(count ? count : 1, kProjectGroupSize)));
    if (!records) return build.ReportError(kErrorNoMemory), false;
    if (!ReadBytes(project, records.get(), count * kProjectGroupSize))
        return build.ProjectReadError(), false;

    build.host().SetStatus("Writing groups...");
    bool failed = false;
    for (unsigned i = 0; i < count && !build.Cancelled(); ++i) {
        ProjectGroup group;
        if (!DecodeProjectGroup(records.get() + i * kProjectGroupSize, kProjectGroupSize, &group))
            return build.ProjectReadError(), false;
        build.host().SetDetail(("Group : " + std::string(group.name)).c_str());
        if (i % 5 != 0) build.host().Service();
        // Every group is tried, so that each unlistable folder is found.
        if (!WriteGroup(build, body, group)) failed = true;
    }
    return !failed && !build.Cancelled();
}

bool WriteSetupTypes(BuildContext& build, FILE* body, FILE* project, unsigned count, package::PackageHeader* h) {
    std::vector<uint8_t> records;
    if (!ReadSetupTypes(project, count, &records)) return build.ProjectReadError(), false;
    fwrite(records.data(), 1, records.size(), body);
    h->setupTypesSize = (uint32_t)records.size();
    return true;
}

bool WriteLinks(BuildContext& build, FILE* body, FILE* project, int count, const char* status, uint32_t* offset,
                uint32_t* size, ProjectLink* link) {
    *size = (uint32_t)(count * package::kLinkRecordSize);
    *offset = *size ? Position(body) : 0;
    build.host().SetStatus(status);
    build.host().SetDetail("");
    for (int i = 0; i < count && !build.Cancelled(); ++i) {
        if (!ReadProjectLink(project, link)) return build.ProjectReadError(), false;
        WriteLinkRecord(body, *link);
    }
    return !build.Cancelled();
}

bool WriteRegistry(BuildContext& build, FILE* body, FILE* project, unsigned count,
                   package::PackageHeader* h) {
    build.host().SetStatus("Writing desktop Registry Entries");
    build.host().SetDetail("");
    h->registryOffset = Position(body);
    BuildTempFile text(build);
    uint32_t offset;
    if (!ExportRegistry(build, project, count, &text)) return false;
    AppendResult result = AppendFile(build, body, text.path(), &offset, &h->registrySize);
    if (result == AppendResult::kMissing) return build.TempFileError(), false;
    if (result != AppendResult::kDone) return ShowAppendFailure(build, result, text.path()), false;
    return !build.Cancelled();
}

int Build(BuildContext& build, const char* projectPath, const char* outputPath) {
    std::unique_ptr<WorkingMemory, FreeDeleter> work(
        static_cast<WorkingMemory*>(calloc(1, sizeof(WorkingMemory))));
    if (!work) return build.ReportError(kErrorNoMemory), 0;
    BuildHost& host = build.host();

    if (!projectPath || !outputPath) return build.ReportError(kErrorCannotOpen), 0;
    File project(host.OpenFile(projectPath, "rb"));
    if (!project) return build.ReportError(kErrorCannotOpen), 0;
    if (!File(host.OpenFile(outputPath, "wb"))) return build.ReportError(kErrorCannotOpen), 0;
    BuildTempFile bodyFile(build);
    if (!bodyFile.Create()) return build.TempFileError(), 0;
    File body(host.OpenFile(bodyFile.path(), "wb"));
    if (!body) return build.TempFileError(), 0;

    ProjectHeader& p = work->project;
    package::PackageHeader& h = work->package;
    if (!ReadProjectHeader(project.get(), &p)) return build.ProjectReadError(), 0;
    if (!LinkCountFits(build, p.desktopCount, "desktop") ||
        !LinkCountFits(build, p.startMenuCount, "Start Menu"))
        return 0;

    host.SetStatus("Creating DAT header...");
    CopyProjectFields(p, &h);
    WriteHeader(body.get(), h);

    host.SetStatus("Including Licence file...");
    host.SetDetail(p.licencePath);
    if (!AppendText(build, body.get(), p.licenceFlag, p.licencePath, &h.licenceOffset,
                    &h.licenceSize))
        return 0;
    host.SetDetail(p.readmePath);
    if (!AppendText(build, body.get(), p.readmeFlag, p.readmePath, &h.readmeOffset, &h.readmeSize))
        return 0;

    h.groupsOffset = Position(body.get());
    if (!WriteGroups(build, body.get(), project.get(), p.groupCount)) return 0;
    h.groupsSize = Position(body.get()) - h.groupsOffset;
    h.setupTypesOffset = Position(body.get());
    if (!WriteSetupTypes(build, body.get(), project.get(), p.setupTypeCount, &h)) return 0;
    if (!WriteLinks(build, body.get(), project.get(), p.desktopCount, "Writing desktop Links",
                    &h.desktopOffset, &h.desktopSize, &work->link) ||
        !WriteLinks(build, body.get(), project.get(), p.startMenuCount, "Writing Start Menu Links",
                    &h.startMenuOffset, &h.startMenuSize, &work->link))
        return 0;
    if (!WriteRegistry(build, body.get(), project.get(), p.registryCount, &h)) return 0;
    if (!WriteRunPacks(build, body.get(), project.get(), &h, p)) return 0;

    // Positions are recorded in 32 bits and measured as signed ones.
    long end = ftell(body.get());
    if (end < 0 || (uint64_t)end > kMaxOutputSize) {
        ShowAppendFailure(build, AppendResult::kTooLarge, "its end");
        return 0;
    }
    if (fseek(body.get(), 0, SEEK_SET) != 0) return build.TempFileError(), 0;
    WriteHeader(body.get(), h);
    if (ferror(body.get()) || fclose(body.release()) != 0) return build.TempFileError(), 0;
    project.reset();
    return CompressPackage(build, bodyFile.path(), outputPath) ? 1 : 0;
}

}  // namespace

int BuildPackage(BuildHost& host, const char* projectPath, const char* outputPath,
                 uint32_t* firstError) {
    BuildContext build(host);
    int result = Build(build, projectPath, outputPath);
    *firstError = build.firstError();
    return result;
}

}  // namespace builder
