#include <cstdio>

#include "package/bytes.h"
#include "tools/zekmake/description.h"

namespace zekmake {

void AddUninstallGroup(const std::string& folder, builder::Project* project) {
    builder::ProjectGroup group = {};
    package::CopyText(group.name, sizeof group.name, "Uninstaller");
    package::CopyText(group.sourceFolder, sizeof group.sourceFolder, folder.c_str());
    group.flags = 0x11;  // plain files, into the installation folder
    uint32_t bit = 1u << project->groups.size();
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

std::string BuildFailureText(uint32_t code) {
    switch (code) {
        case 0x20000001:
            return "the project file could not be read or the package file not be created";
        case 0x20000005:
            return "the builder ran out of memory";
        case 0x20000006:
            return "a group's source folder could not be listed";
        default: {
            char hex[16];
            snprintf(hex, sizeof hex, "%08X", (unsigned)code);
            return code ? std::string("the builder stopped with code 0x") + hex
                        : "the build was cancelled, or stopped after a message of its own";
        }
    }
}

}  // namespace zekmake
