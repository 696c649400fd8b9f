// Writes a whole project file in the layout the builder reads. Used by the
// authoring tool and by the builder's tests. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "builder/project_reader.h"
#include "package/records.h"

namespace builder {

// A project in memory. The header's section counts are not taken from it:
// they are set from the lists.
struct Project {
    ProjectHeader header;
    std::vector<ProjectGroup> groups;
    std::vector<package::SetupTypeRecord> setupTypes;
    std::vector<ProjectLink> desktopLinks;
    std::vector<ProjectLink> startMenuLinks;
    std::vector<RegEntry> registry;
    std::vector<RunPack> beforePacks;
    std::vector<RunPack> afterPacks;
};

// Encodes the project into *out. Returns false, with *out untouched, when a
// list is longer than its count field can say (255 for the byte counts,
// 32767 for the link counts and a pack's extra files).
bool EncodeProject(const Project& project, std::vector<uint8_t>* out);

}  // namespace builder
