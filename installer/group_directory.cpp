#include "installer/group_directory.h"

#include <cstring>

#include "package/bytes.h"
#include "package/file_name.h"
#include "uninstall_log/wendlo.h"

namespace installer {

namespace {

bool BaseDirectory(package::Destination base, const char* installDir, char* out) {
    UINT len = 0;
    switch (base) {
        case package::Destination::kInstall:
            return installDir[0] != 0 && package::CopyText(out, MAX_PATH, installDir);
        case package::Destination::kWindows: len = GetWindowsDirectoryA(out, MAX_PATH); break;
        case package::Destination::kSystem: len = GetSystemDirectoryA(out, MAX_PATH); break;
        default: return false;
    }
    return len > 0 && len < MAX_PATH;
}

// The group's directory without its final backslash; false when the group
// has none. The subfolder name comes from the package and may only name one
// folder inside the base.
bool GroupDirectory(const package::GroupHeader& group, const char* installDir, char* out) {
    char base[MAX_PATH] = {};
    if (!BaseDirectory(package::DestinationOf(group.flags), installDir, base)) return false;
    if (!package::HasSubfolder(group.flags)) return package::CopyText(out, MAX_PATH, base);
    return package::IsPlainName(group.subfolder) &&
           package::JoinPath(out, MAX_PATH, base, group.subfolder);
}

}  // namespace

void ResolveGroupDirectory(const package::GroupHeader& group, const char* installDir,
                           const char* logPath, GroupPathTable* table) {
    char directory[MAX_PATH] = {};
    bool resolved = GroupDirectory(group, installDir, directory);
    if (resolved && package::HasSubfolder(group.flags)) {
        CreateDirectoryA(directory, nullptr);
        if (logPath) LogAddEntry(logPath, directory, kLogCreatedDir);
    }
    char entry[MAX_PATH] = {};
    if (resolved) package::JoinPath(entry, sizeof entry, directory, "");
    if (table->count < kMaxGroups) strcpy(table->paths[table->count++], entry);
}

bool LookupGroupPath(const GroupPathTable& table, size_t index, char* out) {
    if (index >= kMaxGroups) return false;
    strcpy(out, index < table.count ? table.paths[index] : "");
    return true;
}

}  // namespace installer
