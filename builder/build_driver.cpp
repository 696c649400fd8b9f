#include "builder/build_driver.h"

#include <windows.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "builder/append_file.h"
#include "builder/build_dialog.h"
#include "builder/build_state.h"
#include "builder/compression.h"
#include "builder/group_writer.h"
#include "builder/link_record.h"
#include "builder/project_reader.h"
#include "builder/registry_export.h"
#include "builder/run_pack_writer.h"
#include "builder/zek2dat_api.h"
#include "package/bytes.h"
#include "package/limits.h"
#include "package/records.h"
#include "win32/temp_file.h"
#include "win32/unique_handle.h"

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

// The build window lives exactly as long as the build.
struct BuildDialogScope {
    BuildDialogScope() { OpenBuildDialog(); }
    ~BuildDialogScope() { CloseBuildDialog(); }
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

bool LinkCountFits(int count, const char* kind) {
    if (count >= 0 && count <= kMaxLinks) return true;
    ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                       "Too many %s links (%d) : at most %d can be packed !", kind, count, kMaxLinks);
    return false;
}

// The licence or readme block. A file that cannot be opened leaves the block
// absent and the build goes on; one that fails while it is read stops it.
bool AppendText(FILE* body, int16_t flag, const char* path, uint32_t* offset, uint32_t* size) {
    if (!flag) return true;
    AppendResult result = AppendFile(body, path, offset, size);
    if (result == AppendResult::kDone || result == AppendResult::kMissing) return true;
    ShowAppendFailure(result, path);
    return false;
}

bool WriteGroups(FILE* body, FILE* project, unsigned count) {
    std::unique_ptr<uint8_t, FreeDeleter> records(
        static_cast<uint8_t*>(calloc(count ? count : 1, kProjectGroupSize)));
    if (!records) return ReportBuildError(kErrorNoMemory), false;
    if (!ReadBytes(project, records.get(), count * kProjectGroupSize))
        return ShowProjectReadError(), false;

    SetBuildStatus("Writing groups...");
    bool failed = false;
    for (unsigned i = 0; i < count && !BuildCancelled(); ++i) {
        ProjectGroup group;
        if (!DecodeProjectGroup(records.get() + i * kProjectGroupSize, kProjectGroupSize, &group))
            return ShowProjectReadError(), false;
        SetBuildDetail(("Group : " + std::string(group.name)).c_str());
        if (i % 5 != 0) ServiceBuildDialog();
        // Every group is tried, so that each unlistable folder is found.
        if (!WriteGroup(body, group)) failed = true;
    }
    return !failed && !BuildCancelled();
}

bool WriteSetupTypes(FILE* body, FILE* project, unsigned count, package::PackageHeader* h) {
    std::vector<uint8_t> records;
    if (!ReadSetupTypes(project, count, &records)) return ShowProjectReadError(), false;
    fwrite(records.data(), 1, records.size(), body);
    h->setupTypesSize = (uint32_t)records.size();
    return true;
}

bool WriteLinks(FILE* body, FILE* project, int count, const char* status, uint32_t* offset,
                uint32_t* size, ProjectLink* link) {
    *size = (uint32_t)(count * package::kLinkRecordSize);
    *offset = *size ? Position(body) : 0;
    SetBuildStatus(status);
    SetBuildDetail("");
    for (int i = 0; i < count && !BuildCancelled(); ++i) {
        if (!ReadProjectLink(project, link)) return ShowProjectReadError(), false;
        WriteLinkRecord(body, *link);
    }
    return !BuildCancelled();
}

bool WriteRegistry(FILE* body, FILE* project, unsigned count, package::PackageHeader* h) {
    SetBuildStatus("Writing desktop Registry Entries");
    SetBuildDetail("");
    h->registryOffset = Position(body);
    win32::TempFile text;
    uint32_t offset;
    if (!ExportRegistry(project, count, &text)) return false;
    AppendResult result = AppendFile(body, text.path(), &offset, &h->registrySize);
    if (result == AppendResult::kMissing) return ShowTempFileError(), false;
    if (result != AppendResult::kDone) return ShowAppendFailure(result, text.path()), false;
    return !BuildCancelled();
}

int Build(const char* projectPath, const char* outputPath) {
    std::unique_ptr<WorkingMemory, FreeDeleter> work(
        static_cast<WorkingMemory*>(calloc(1, sizeof(WorkingMemory))));
    if (!work) return ReportBuildError(kErrorNoMemory), 0;
    BuildDialogScope dialog;

    if (!projectPath || !outputPath) return ReportBuildError(kErrorCannotOpen), 0;
    win32::UniqueFile project(fopen(projectPath, "rb"));
    if (!project) return ReportBuildError(kErrorCannotOpen), 0;
    if (!win32::UniqueFile(fopen(outputPath, "wb"))) return ReportBuildError(kErrorCannotOpen), 0;
    win32::TempFile bodyFile;
    if (!bodyFile.Create("Z2D")) return ShowTempFileError(), 0;
    NoteOwnFile(bodyFile.path());
    win32::UniqueFile body(fopen(bodyFile.path(), "wb"));
    if (!body) return ShowTempFileError(), 0;

    ProjectHeader& p = work->project;
    package::PackageHeader& h = work->package;
    if (!ReadProjectHeader(project.get(), &p)) return ShowProjectReadError(), 0;
    if (!LinkCountFits(p.desktopCount, "desktop") || !LinkCountFits(p.startMenuCount, "Start Menu"))
        return 0;

    SetBuildStatus("Creating DAT header...");
    CopyProjectFields(p, &h);
    WriteHeader(body.get(), h);

    SetBuildStatus("Including Licence file...");
    SetBuildDetail(p.licencePath);
    if (!AppendText(body.get(), p.licenceFlag, p.licencePath, &h.licenceOffset, &h.licenceSize))
        return 0;
    SetBuildDetail(p.readmePath);
    if (!AppendText(body.get(), p.readmeFlag, p.readmePath, &h.readmeOffset, &h.readmeSize))
        return 0;

    h.groupsOffset = Position(body.get());
    if (!WriteGroups(body.get(), project.get(), p.groupCount)) return 0;
    h.groupsSize = Position(body.get()) - h.groupsOffset;
    h.setupTypesOffset = Position(body.get());
    if (!WriteSetupTypes(body.get(), project.get(), p.setupTypeCount, &h)) return 0;
    if (!WriteLinks(body.get(), project.get(), p.desktopCount, "Writing desktop Links",
                    &h.desktopOffset, &h.desktopSize, &work->link) ||
        !WriteLinks(body.get(), project.get(), p.startMenuCount, "Writing Start Menu Links",
                    &h.startMenuOffset, &h.startMenuSize, &work->link))
        return 0;
    if (!WriteRegistry(body.get(), project.get(), p.registryCount, &h)) return 0;
    if (!WriteRunPacks(body.get(), project.get(), &h, p)) return 0;

    // Positions are recorded in 32 bits and measured as signed ones.
    long end = ftell(body.get());
    if (end < 0 || (uint64_t)end > kMaxOutputSize) {
        ShowAppendFailure(AppendResult::kTooLarge, "its end");
        return 0;
    }
    if (fseek(body.get(), 0, SEEK_SET) != 0) return ShowTempFileError(), 0;
    WriteHeader(body.get(), h);
    if (ferror(body.get()) || fclose(body.release()) != 0) return ShowTempFileError(), 0;
    project.reset();
    return CompressPackage(bodyFile.path(), outputPath) ? 1 : 0;
}

}  // namespace

int Zek2Dat(const char* projectPath, const char* outputPath) {
    ResetBuildState();
    int result = Build(projectPath, outputPath);
    // Closing files, deleting temporary ones and destroying the window all
    // succeed after the step that reported a code and overwrite the thread's
    // last error: the caller must still find the first code.
    if (DWORD code = FirstBuildError()) SetLastErrorEx(code, SLE_ERROR);
    return result;
}

}  // namespace builder
