#include "builder/project_writer.h"

#include "package/bytes.h"

namespace builder {

namespace {

constexpr size_t kMaxByteCount = 255;
constexpr size_t kMaxShortCount = 32767;

void Append(std::vector<uint8_t>* out, const uint8_t* bytes, size_t size) {
    out->insert(out->end(), bytes, bytes + size);
}

// A registry text: the skipped field, then the text and its NUL.
void AppendRegText(std::vector<uint8_t>* out, const std::string& text) {
    const uint8_t skip[kRegTextSkipSize] = {};
    Append(out, skip, sizeof skip);
    Append(out, reinterpret_cast<const uint8_t*>(text.c_str()), text.size() + 1);
}

void AppendRegEntry(std::vector<uint8_t>* out, const RegEntry& entry) {
    RegEntryHead head = {entry.root, entry.type, (uint32_t)entry.key.size() + 1,
                         (uint32_t)entry.name.size() + 1, (uint32_t)entry.data.size() + 1};
    uint8_t bytes[kRegEntryHeadSize];
    EncodeRegEntryHead(head, bytes);
    Append(out, bytes, sizeof bytes);
    AppendRegText(out, entry.key);
    AppendRegText(out, entry.name);
    AppendRegText(out, entry.data);
}

void AppendRunPack(std::vector<uint8_t>* out, const RunPack& pack) {
    ProjectRunPack record = pack.record;
    record.extraCount = (int16_t)pack.extraPaths.size();
    uint8_t bytes[kProjectRunPackSize];
    EncodeProjectRunPack(record, bytes);
    Append(out, bytes, sizeof bytes);
    for (const std::string& path : pack.extraPaths) {
        uint8_t field[kRunPackPathSize];
        package::WriteTextField(field, sizeof field, path.c_str());
        Append(out, field, sizeof field);
    }
}

bool CountsFit(const Project& p) {
    for (size_t size : {p.groups.size(), p.setupTypes.size(), p.registry.size(),
                        p.beforePacks.size(), p.afterPacks.size()})
        if (size > kMaxByteCount) return false;
    if (p.desktopLinks.size() > kMaxShortCount || p.startMenuLinks.size() > kMaxShortCount)
        return false;
    for (const auto* list : {&p.beforePacks, &p.afterPacks})
        for (const RunPack& pack : *list)
            if (pack.extraPaths.size() > kMaxShortCount) return false;
    return true;
}

}  // namespace

bool EncodeProject(const Project& p, std::vector<uint8_t>* out) {
    if (!CountsFit(p)) return false;
    ProjectHeader header = p.header;
    header.groupCount = (uint8_t)p.groups.size();
    header.setupTypeCount = (uint8_t)p.setupTypes.size();
    header.desktopCount = (int16_t)p.desktopLinks.size();
    header.startMenuCount = (int16_t)p.startMenuLinks.size();
    header.registryCount = (uint8_t)p.registry.size();
    header.beforeCount = (uint8_t)p.beforePacks.size();
    header.afterCount = (uint8_t)p.afterPacks.size();

    std::vector<uint8_t> bytes(kProjectHeaderSize);
    EncodeProjectHeader(header, bytes.data());
    for (const ProjectGroup& group : p.groups) {
        uint8_t record[kProjectGroupSize];
        EncodeProjectGroup(group, record);
        Append(&bytes, record, sizeof record);
    }
    for (const package::SetupTypeRecord& type : p.setupTypes) {
        uint8_t record[package::kSetupTypeRecordSize];
        package::EncodeSetupTypeRecord(type, record);
        Append(&bytes, record, sizeof record);
    }
    for (const auto* links : {&p.desktopLinks, &p.startMenuLinks}) {
        for (const ProjectLink& link : *links) {
            uint8_t record[kProjectLinkSize];
            EncodeProjectLink(link, record);
            Append(&bytes, record, sizeof record);
        }
    }
    for (const RegEntry& entry : p.registry) AppendRegEntry(&bytes, entry);
    for (const RunPack& pack : p.beforePacks) AppendRunPack(&bytes, pack);
    for (const RunPack& pack : p.afterPacks) AppendRunPack(&bytes, pack);
    *out = std::move(bytes);
    return true;
}

}  // namespace builder
