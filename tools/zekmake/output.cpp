#include "package/bytes.h"
#include "package/records.h"
#include "tools/zekmake/description.h"

namespace zekmake {

void AddUninstallGroup(const std::string& folder, builder::Project* project) {
    builder::ProjectGroup group = {};
    package::CopyText(group.name, sizeof group.name, "Uninstaller");
    package::CopyText(group.sourceFolder, sizeof group.sourceFolder, folder.c_str());
    group.flags = package::MakeGroupFlags(package::Destination::kInstall, false, package::CopyMode::kPlain);
    // A mask names 32 groups; the reader leaves the last of them free.
    uint32_t bit = project->groups.size() < 32 ? 1u << project->groups.size() : 0;
    project->groups.push_back(group);
    for (package::SetupTypeRecord& type : project->setupTypes) type.groupMask |= bit;
}

std::string FormatMistake(const std::string& file, const Mistake& mistake, bool warning) {
    std::string where = mistake.line ? file + ":" + std::to_string(mistake.line) : file;
    return where + (warning ? ": warning: " : ": error: ") + mistake.problem + ". Fix: " + mistake.fix + ".";
}

std::string SettingsText(uint32_t crc, uint32_t backColor, bool dithered) {
    return "[main]\r\nCRC32=" + std::to_string(crc) + "\r\nBackColor=" + std::to_string(backColor) +
           "\r\nDithered=" + (dithered ? "1" : "0") + "\r\n";
}

}  // namespace zekmake
