// The group loop of the installation: every group's directory, the chosen
// groups' files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "installer/group_directory.h"
#include "package/records.h"

namespace installer {

// Reads the package's groups in order from header.groupsOffset (at most
// kMaxGroups of them). Every group's directory is resolved into table
// (installDir and logPath as ResolveGroupDirectory takes them); group
// i is installed with CopyGroup when bit i of groupMask is set (all ones
// installs every group) and skipped exactly otherwise. Stops after a group
// that CopyGroup refused (it has told the user) and at a group header the
// package does not hold whole.
struct GroupsInstalled {
    uint64_t bytes = 0;     // the sizes of the files of the groups installed
    bool complete = false;  // every group was installed or skipped
};
GroupsInstalled InstallGroups(FILE* stream, const package::PackageHeader& header, uint32_t groupMask,
                   HWND statusWindow, const char* installDir, const char* logPath,
                   GroupPathTable* table);

}  // namespace installer
