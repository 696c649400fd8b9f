#include "tests/builder/project_helpers.h"

#include <cstdlib>

#include "package/bytes.h"

namespace testproj {

using package::CopyText;

builder::ProjectHeader Header(const char* appName) {
    builder::ProjectHeader h = {};
    CopyText(h.appName, sizeof h.appName, appName);
    CopyText(h.version, sizeof h.version, "1.0");
    h.allowedSystems = 0x37;
    return h;
}

builder::ProjectGroup Group(const char* name, uint8_t flags, const std::string& folder,
                            const std::string& subfolder) {
    builder::ProjectGroup g = {};
    CopyText(g.name, sizeof g.name, name);
    g.flags = flags;
    CopyText(g.sourceFolder, sizeof g.sourceFolder, folder.c_str());
    CopyText(g.subfolder, sizeof g.subfolder, subfolder.c_str());
    return g;
}

builder::ProjectLink Shortcut(const char* name, const char* path, const char* target, int16_t group,
                              int16_t desktopFlag) {
    builder::ProjectLink l = {};
    CopyText(l.name, sizeof l.name, name);
    CopyText(l.path, sizeof l.path, path);
    CopyText(l.target, sizeof l.target, target);
    l.targetGroup = group;
    l.desktopFlag = desktopFlag;
    l.kind = -1;
    return l;
}

builder::ProjectLink Folder(const char* name, const char* path, int16_t desktopFlag) {
    builder::ProjectLink l = {};
    CopyText(l.name, sizeof l.name, name);
    CopyText(l.path, sizeof l.path, path);
    l.desktopFlag = desktopFlag;
    return l;
}

builder::RegEntry Reg(uint32_t root, uint32_t type, const std::string& key, const std::string& name,
                      const std::string& data) {
    return builder::RegEntry{root, type, key, name, data};
}

builder::RunPack Pack(const char* name, const std::string& program, int16_t orderKey,
                      int16_t waitField, const std::vector<std::string>& extras) {
    builder::RunPack p = {};
    CopyText(p.record.name, sizeof p.record.name, name);
    CopyText(p.record.programPath, sizeof p.record.programPath, program.c_str());
    p.record.orderKey = orderKey;
    p.record.waitField = waitField;
    p.extraPaths = extras;
    return p;
}

package::SetupTypeRecord SetupType(const char* name, uint32_t mask) {
    package::SetupTypeRecord t = {};
    CopyText(t.name, sizeof t.name, name);
    t.groupMask = mask;
    return t;
}

std::vector<uint8_t> Encode(const builder::Project& project) {
    std::vector<uint8_t> bytes;
    if (!builder::EncodeProject(project, &bytes)) abort();
    return bytes;
}

Stream::Stream(const std::vector<uint8_t>& bytes) : file_(tmpfile()) {
    if (!file_ || (!bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()))
        abort();
    rewind(file_);
}

Stream::~Stream() { fclose(file_); }

}  // namespace testproj
