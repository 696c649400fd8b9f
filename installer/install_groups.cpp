#include "installer/install_groups.h"

#include "installer/copy_group.h"
#include "package/layout.h"

namespace installer {

GroupsInstalled InstallGroups(FILE* stream, const package::PackageHeader& header,
                              uint32_t groupMask, HWND statusWindow, const char* installDir,
                              const char* logPath, GroupPathTable* table) {
    GroupsInstalled installed;
    if (_fseeki64(stream, header.groupsOffset, SEEK_SET) != 0) return installed;
    size_t count = header.groupCount < kMaxGroups ? header.groupCount : kMaxGroups;
    for (size_t i = 0; i < count; ++i) {
        uint8_t bytes[package::kGroupHeaderSize];
        package::GroupHeader group;
        if (fread(bytes, 1, sizeof bytes, stream) != sizeof bytes) return installed;
        package::DecodeGroupHeader(bytes, sizeof bytes, &group);
        ResolveGroupDirectory(group, installDir, logPath, table);

        if (groupMask & (1u << i)) {
            char directory[MAX_PATH];
            LookupGroupPath(*table, i, directory);
            if (!CopyGroup(group, statusWindow, stream, directory, logPath)) return installed;
            installed.bytes += group.totalBytes;
        } else {
            if (_fseeki64(stream, (int64_t)package::GroupContentSize(group), SEEK_CUR) != 0)
                return installed;
        }
    }
    installed.complete = true;
    return installed;
}

}  // namespace installer
