#include <cstdio>

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

std::string BuildFailureText(uint32_t code) {
    switch (code) {
        case 0x20000001:
            return "the project file could not be read or the package file not be created";
        case 0x20000005:
            return "the builder ran out of memory";
        case 0x20000006:
            return "a group's source folder could not be listed";
        case 0x20000007:
            return "a temporary file of the build could not be made or written (is the "
                   "temporary-files folder full or read-only?)";
        case 0x20000008:
            return "a file to pack could not be read";
        case 0x20000009:
            return "the package would reach 2 GB, more than a package can hold";
        case 0x2000000A:
            return "a file of a group has a name the package cannot hold (a character the ANSI "
                   "code page lacks, or a device name)";
        default: {
            char hex[16];
            snprintf(hex, sizeof hex, "%08X", (unsigned)code);
            return code ? std::string("the builder stopped with code 0x") + hex
                        : "the build was cancelled, or stopped after a message of its own";
        }
    }
}

}  // namespace zekmake
