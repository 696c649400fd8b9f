#include "builder/registry_export.h"

#include <string>

#include "builder/build_dialog.h"
#include "builder/build_state.h"
#include "builder/project_reader.h"
#include "builder/registry_text.h"
#include "win32/unique_handle.h"

namespace builder {

namespace {

bool Write(FILE* out, const std::string& text) {
    return fwrite(text.data(), 1, text.size(), out) == text.size();
}

bool RefuseEntry(const RegEntry& entry, RegEntryFault fault) {
    if (fault == RegEntryFault::kUnknownRoot)
        ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                           "Unknown registry root 0x%08X for key %s !", entry.root, entry.key.c_str());
    else
        ShowBuilderMessage(BoxOwner::kNone, MB_ICONWARNING,
                           "Line break in registry entry %s\\%s !", entry.key.c_str(),
                           entry.name.c_str());
    return false;
}

}  // namespace

bool ExportRegistry(FILE* project, unsigned count, win32::TempFile* text) {
    if (!text->Create("Z2D")) return ShowTempFileError(), false;
    // Binary mode with explicit CR LF: the same bytes a text-mode stream
    // writes for each line feed, on any platform.
    win32::UniqueFile out(fopen(text->path(), "wb"));
    if (!out || !Write(out.get(), kRegistryTextStart)) return ShowTempFileError(), false;
    for (unsigned i = 0; i < count && !BuildCancelled(); ++i) {
        RegEntry entry;
        if (!ReadRegEntry(project, &entry)) return ShowProjectReadError(), false;
        RegEntryFault fault = CheckRegEntry(entry);
        if (fault != RegEntryFault::kNone) return RefuseEntry(entry, fault);
        if (!Write(out.get(), FormatRegEntry(entry))) return ShowTempFileError(), false;
    }
    if (fclose(out.release()) != 0) return ShowTempFileError(), false;
    return true;
}

}  // namespace builder
