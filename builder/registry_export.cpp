#include "builder/registry_export.h"

#include <memory>
#include <string>

#include "builder/project_reader.h"
#include "package/registry_text.h"

namespace builder {

namespace {

bool Write(FILE* out, const std::string& text) {
    return fwrite(text.data(), 1, text.size(), out) == text.size();
}

bool RefuseEntry(BuildContext& build, const RegEntry& entry, package::RegEntryFault fault) {
    if (fault == package::RegEntryFault::kUnknownRoot)
        build.Message(MessageKind::kInput, "Unknown registry root 0x%08X for key %s !",
                      (unsigned)entry.root, entry.key.c_str());
    else
        build.Message(MessageKind::kInput, "Line break in registry entry %s\\%s !",
                      entry.key.c_str(), entry.name.c_str());
    return false;
}

}  // namespace

bool ExportRegistry(BuildContext& build, FILE* project, unsigned count, BuildTempFile* text) {
    if (!text->Create()) return build.TempFileError(), false;
    // Binary mode with explicit CR LF: the same bytes a text-mode stream
    // writes for each line feed, on any platform.
    File out(build.host().OpenFile(text->path(), "wb"));
    if (!out || !Write(out.get(), package::kRegistryTextStart)) return build.TempFileError(), false;
    for (unsigned i = 0; i < count && !build.Cancelled(); ++i) {
        RegEntry entry;
        if (!ReadRegEntry(project, &entry)) return build.ProjectReadError(), false;
        package::RegEntryFault fault = package::CheckRegEntry(entry);
        if (fault != package::RegEntryFault::kNone) return RefuseEntry(build, entry, fault);
        if (!Write(out.get(), package::FormatRegEntry(entry))) return build.TempFileError(), false;
    }
    if (fclose(out.release()) != 0) return build.TempFileError(), false;
    return true;
}

}  // namespace builder
