#include "tests/support/test_package.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

#include "package/bytes.h"

namespace testpkg {


namespace {

void AppendEntry(Bytes* out, const StoredFile& file) {
    package::FileEntry entry = {};
    package::CopyText(entry.name, sizeof entry.name, file.name.c_str());
    entry.size = (uint32_t)file.data.size();
    uint8_t bytes[package::kFileEntrySize];
    package::EncodeFileEntry(entry, bytes);
    out->insert(out->end(), bytes, bytes + sizeof bytes);
}

}  // namespace

Bytes GroupBlock(uint8_t flags, const std::string& subfolder, const std::vector<StoredFile>& files) {
    package::GroupHeader header = {};
    package::CopyText(header.subfolder, sizeof header.subfolder, subfolder.c_str());
    header.flags = flags;
    header.fileCount = (uint32_t)files.size();
    for (const StoredFile& file : files) header.totalBytes += (uint32_t)file.data.size();
    Bytes out(package::kGroupHeaderSize);
    package::EncodeGroupHeader(header, out.data());
    for (const StoredFile& file : files) AppendEntry(&out, file);
    for (const StoredFile& file : files) out.insert(out.end(), file.data.begin(), file.data.end());
    return out;
}

Bytes RunPackBlock(const std::string& program, bool wait, const std::vector<StoredFile>& files) {
    package::RunPackHeader header = {};
    package::CopyText(header.packName, sizeof header.packName, "pack");
    package::CopyText(header.programName, sizeof header.programName, program.c_str());
    header.waitFlag = wait ? 1 : 0;
    header.fileCount = (uint32_t)files.size();
    Bytes out(package::kRunPackHeaderSize);
    package::EncodeRunPackHeader(header, out.data());
    for (const StoredFile& file : files) {
        AppendEntry(&out, file);
        out.insert(out.end(), file.data.begin(), file.data.end());
    }
    return out;
}

uint32_t PackageBody::Append(const void* data, size_t size) {
    uint32_t offset = (uint32_t)(package::kPackageHeaderSize + blocks.size());
    const uint8_t* p = static_cast<const uint8_t*>(data);
    blocks.resize(blocks.size() + size);
    if (size) memcpy(blocks.data() + blocks.size() - size, p, size);
    return offset;
}

Bytes PackageBody::Finish() const {
    Bytes body(package::kPackageHeaderSize);
    package::EncodePackageHeader(header, body.data());
    body.insert(body.end(), blocks.begin(), blocks.end());
    return body;
}

void PackageBody::SetLicence(const std::string& text) {
    header.licenceFlag = 1;
    header.licenceOffset = Append(text);
    header.licenceSize = (uint32_t)text.size();
}

void PackageBody::SetReadme(const std::string& text) {
    header.readmeFlag = 1;
    header.readmeOffset = Append(text);
    header.readmeSize = (uint32_t)text.size();
}

void PackageBody::AddGroup(uint8_t flags, const std::vector<StoredFile>& files,
                           const char* subfolder) {
    uint32_t offset = Append(GroupBlock(flags, subfolder, files));
    if (header.groupCount++ == 0) header.groupsOffset = offset;
    header.groupsSize = (uint32_t)(package::kPackageHeaderSize + blocks.size()) - header.groupsOffset;
}

void PackageBody::AddSetupType(const char* name, uint32_t groupMask) {
    package::SetupTypeRecord type = {};
    package::CopyText(type.name, sizeof type.name, name);
    type.groupMask = groupMask;
    uint8_t bytes[package::kSetupTypeRecordSize];
    package::EncodeSetupTypeRecord(type, bytes);
    uint32_t offset = Append(bytes, sizeof bytes);
    if (header.setupTypeCount++ == 0) header.setupTypesOffset = offset;
    header.setupTypesSize = header.setupTypeCount * (uint32_t)package::kSetupTypeRecordSize;
}

void PackageBody::SetRunPacks(bool before, const std::vector<Bytes>& packs) {
    uint32_t offset = (uint32_t)(package::kPackageHeaderSize + blocks.size());
    for (const Bytes& pack : packs) Append(pack);
    (before ? header.beforeCount : header.afterCount) = (uint8_t)packs.size();
    (before ? header.beforeOffset : header.afterOffset) = packs.empty() ? 0 : offset;
}

void PackageBody::SetLinks(bool desktop, const std::vector<package::LinkRecord>& records) {
    uint32_t offset = (uint32_t)(package::kPackageHeaderSize + blocks.size());
    for (const package::LinkRecord& record : records) {
        uint8_t bytes[package::kLinkRecordSize];
        package::EncodeLinkRecord(record, bytes);
        Append(bytes, sizeof bytes);
    }
    uint32_t size = (uint32_t)(records.size() * package::kLinkRecordSize);
    (desktop ? header.desktopCount : header.startMenuCount) = (uint8_t)records.size();
    (desktop ? header.desktopOffset : header.startMenuOffset) = records.empty() ? 0 : offset;
    (desktop ? header.desktopSize : header.startMenuSize) = size;
}

void PackageBody::SetRegistryText(const std::string& text) {
    header.registryOffset = Append(text);
    header.registrySize = (uint32_t)text.size();
}

void PackageBody::SetRunPacks(bool before, const char* program, uint32_t waitFlag,
                              const std::vector<StoredFile>& files) {
    SetRunPacks(before, {RunPackBlock(program, waitFlag != 0, files)});
}

package::LinkRecord Link(uint8_t desktopFlag, uint8_t kind, uint8_t group, const std::string& name,
                         const std::string& target, const std::string& folder) {
    package::LinkRecord r = {};
    r.desktopFlag = desktopFlag;
    r.entryKind = kind;
    r.targetGroup = group;
    package::CopyText(r.linkName, sizeof r.linkName, name.c_str());
    package::CopyText(r.targetName, sizeof r.targetName, target.c_str());
    package::CopyText(r.folderPath, sizeof r.folderPath, folder.c_str());
    return r;
}

PackageBody EmptyPackage(const char* appName) {
    PackageBody body;
    package::CopyText(body.header.appName, sizeof body.header.appName, appName);
    package::CopyText(body.header.version, sizeof body.header.version, "1.0");
    body.header.allowedSystems = 0x37;
    body.header.groupsOffset = (uint32_t)package::kPackageHeaderSize;
    body.header.setupTypesOffset = (uint32_t)package::kPackageHeaderSize;
    body.header.registryOffset = body.Append("REGEDIT4\r\n\r\n");
    body.header.registrySize = 12;
    return body;
}

PackageBody FullPackage() {
    PackageBody body;
    body.SetLicence("licence text");
    body.SetReadme("readme text");
    body.AddGroup(0x11, {{"a.txt", Bytes(10, 'a')}, {"b.txt", Bytes(3, 'b')}});
    body.AddGroup(0x12, {});
    body.AddGroup(0x11, {{"empty.txt", {}}});
    body.AddSetupType("Typical", 1);
    body.AddSetupType("Full", 7);
    body.header.desktopCount = 1;
    body.header.desktopOffset =
        body.Append(Bytes(package::kLinkRecordSize, 0).data(), package::kLinkRecordSize);
    body.header.startMenuCount = 2;
    body.header.startMenuOffset =
        body.Append(Bytes(2 * package::kLinkRecordSize, 0).data(), 2 * package::kLinkRecordSize);
    body.header.registryOffset = body.Append("REGEDIT4\r\n\r\n");
    body.header.registrySize = 12;
    body.SetRunPacks(true, {RunPackBlock("first.exe", true,
                                         {{"data.bin", Bytes(5, 'd')}, {"first.exe", Bytes(7, 'x')}})});
    body.SetRunPacks(false, {RunPackBlock("last.exe", false, {{"last.exe", {}}})});
    return body;
}

namespace {

// A damage done to FullPackage's header fields (end: the body's size).
struct HeaderDamage {
    const char* name;
    void (*apply)(PackageBody* body, uint32_t end);
};

const HeaderDamage kHeaderDamages[] = {
    {"LicenceEndsBeyondTheBody", [](PackageBody* b, uint32_t end) {
         b->header.licenceOffset = end - 4, b->header.licenceSize = 5;
     }},
    {"LicenceStartsBeyondTheBody", [](PackageBody* b, uint32_t end) {
         b->header.licenceOffset = end + 1, b->header.licenceSize = 0;
     }},
    {"LicenceWrapsAroundIn32Bits", [](PackageBody* b, uint32_t) {
         b->header.licenceOffset = 0xFFFFFF00u, b->header.licenceSize = 0x200;
     }},
    {"LicenceAboveTheTextBound", [](PackageBody* b, uint32_t) {
         b->header.licenceOffset = b->Append(Bytes(package::kMaxTextBlockSize + 1, 'L'));
         b->header.licenceSize = package::kMaxTextBlockSize + 1;
     }},
    {"ReadmeOfAlmost4GiB", [](PackageBody* b, uint32_t) { b->header.readmeSize = 0xFFFFFFF0u; }},
    {"ReadmeAboveTheTextBound", [](PackageBody* b, uint32_t) {
         b->header.readmeOffset = b->Append(Bytes(package::kMaxTextBlockSize + 1, 'R'));
         b->header.readmeSize = package::kMaxTextBlockSize + 1;
     }},
    {"GroupsStartAtTheEnd", [](PackageBody* b, uint32_t end) { b->header.groupsOffset = end; }},
    {"GroupHeaderCutByTheEnd",
     [](PackageBody* b, uint32_t end) { b->header.groupsOffset = end - 100; }},
    {"MoreGroupsThanStored", [](PackageBody* b, uint32_t) { b->header.groupCount = 30; }},
    {"SetupTypesBeyondTheEnd",
     [](PackageBody* b, uint32_t end) { b->header.setupTypesOffset = end - 32; }},
    {"SetupTypeCount255", [](PackageBody* b, uint32_t) { b->header.setupTypeCount = 255; }},
    {"DesktopRecordCutByTheEnd",
     [](PackageBody* b, uint32_t end) { b->header.desktopOffset = end - 323; }},
    {"StartMenuCount255", [](PackageBody* b, uint32_t) { b->header.startMenuCount = 255; }},
    {"RegistryTextEndsBeyondTheBody", [](PackageBody* b, uint32_t end) {
         b->header.registryOffset = end - 12, b->header.registrySize = 13;
     }},
    {"RegistryTextOf4GiB", [](PackageBody* b, uint32_t) { b->header.registrySize = 0xFFFFFFFFu; }},
    {"BeforePacksAtAHugeOffset",
     [](PackageBody* b, uint32_t) { b->header.beforeOffset = 0xFFFFFFF0u; }},
    {"MoreAfterPacksThanStored", [](PackageBody* b, uint32_t) { b->header.afterCount = 2; }},
    {"AppNameClimbsOut",
     [](PackageBody* b, uint32_t) { package::CopyText(b->header.appName, 24, "..\\..\\x"); }},
    {"AppNameWithASlash",
     [](PackageBody* b, uint32_t) { package::CopyText(b->header.appName, 24, "../x"); }},
    {"AppNameWithADrive",
     [](PackageBody* b, uint32_t) { package::CopyText(b->header.appName, 24, "C:x"); }},
    {"AppNameOfDotsOnly",
     [](PackageBody* b, uint32_t) { package::CopyText(b->header.appName, 24, ". ."); }},
    {"AppNameIsADevice",
     [](PackageBody* b, uint32_t) { package::CopyText(b->header.appName, 24, "CON"); }},
    {"AppNameIsADeviceWithAnExtension",
     [](PackageBody* b, uint32_t) { package::CopyText(b->header.appName, 24, "nul.app"); }},
    {"AppNameIsComSuperscriptOne",
     [](PackageBody* b, uint32_t) { package::CopyText(b->header.appName, 24, "COM\xB9"); }},
    {"AppNameIsLptSuperscriptThree",
     [](PackageBody* b, uint32_t) { package::CopyText(b->header.appName, 24, "lpt\xB3.x"); }},
};

// A damage done to FullPackage's bytes (at: FullPackage's block offsets).
struct ByteDamage {
    const char* name;
    void (*apply)(Bytes* bytes, const package::PackageHeader& at);
};

const ByteDamage kByteDamages[] = {
    // The decoder cuts the field to 23 characters, still climbing out.
    {"AppNameUnterminated", [](Bytes* b, const package::PackageHeader&) {
         for (size_t i = 0; i < 24; ++i) (*b)[8 + i] = "..\\"[i % 3];
     }},
    {"BodyCutInsideTheFirstGroup", [](Bytes* b, const package::PackageHeader& at) {
         b->resize(at.groupsOffset + package::kGroupHeaderSize + 100);
     }},
    {"BodyCutToTheHeader",
     [](Bytes* b, const package::PackageHeader&) { b->resize(package::kPackageHeaderSize); }},
    {"BodyShorterThanAHeader",
     [](Bytes* b, const package::PackageHeader&) { b->resize(package::kPackageHeaderSize - 1); }},
    {"BodyCutInsideTheLastPack", [](Bytes* b, const package::PackageHeader&) { b->pop_back(); }},
    {"GroupFileCountPastTheEnd", [](Bytes* b, const package::PackageHeader& at) {
         (*b)[at.groupsOffset + 256 + 3] = 0x7F;
     }},
    {"GroupTotalMissingItsEntries", [](Bytes* b, const package::PackageHeader& at) {
         (*b)[at.groupsOffset + 260] += 1;
     }},
    {"GroupFileOf2GiB", [](Bytes* b, const package::PackageHeader& at) {
         (*b)[at.groupsOffset + package::kGroupHeaderSize + 260 + 3] = 0x7F;
     }},
    {"PackFileCountPastTheEnd", [](Bytes* b, const package::PackageHeader& at) {
         (*b)[at.beforeOffset + 68 + 3] = 0x7F;
     }},
    {"PackFileOf2GiB", [](Bytes* b, const package::PackageHeader& at) {
         (*b)[at.beforeOffset + package::kRunPackHeaderSize + 260 + 3] = 0x7F;
     }},
};

}  // namespace

std::vector<DamagedBody> DamagedBodies() {
    std::vector<DamagedBody> out;
    PackageBody full = FullPackage();
    uint32_t end = (uint32_t)full.Finish().size();
    for (const HeaderDamage& damage : kHeaderDamages) {
        PackageBody body = full;
        damage.apply(&body, end);
        out.push_back({damage.name, body.Finish()});
    }
    for (const ByteDamage& damage : kByteDamages) {
        Bytes bytes = full.Finish();
        damage.apply(&bytes, full.header);
        out.push_back({damage.name, std::move(bytes)});
    }
    return out;
}

Bytes Pattern(size_t size, uint32_t seed) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        b[i] = (uint8_t)(seed >> 16);
    }
    return b;
}

Bytes Gzip(const Bytes& body) {
    z_stream z = {};
    // 15 window bits + 16: a gzip wrapper, as gzopen(..., "wb") writes.
    deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&z, (uLong)body.size()) + 32);
    z.next_in = const_cast<Bytef*>(body.data());
    z.avail_in = (uInt)body.size();
    z.next_out = out.data();
    z.avail_out = (uInt)out.size();
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

Bytes Gunzip(const Bytes& gz) {
    z_stream z = {};
    inflateInit2(&z, 15 + 16);
    z.next_in = const_cast<Bytef*>(gz.data());
    z.avail_in = (uInt)gz.size();
    Bytes out;
    uint8_t chunk[16384];
    int rc;
    do {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        rc = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - z.avail_out));
    } while (rc == Z_OK);
    inflateEnd(&z);
    return rc == Z_STREAM_END ? out : Bytes();
}

uint32_t Crc32(const Bytes& bytes) {
    return (uint32_t)crc32(crc32(0, nullptr, 0), bytes.data(), (uInt)bytes.size());
}

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

Bytes ReadFileBytes(const std::string& path) {
    Bytes bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return bytes;
    uint8_t chunk[65536];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

}  // namespace testpkg
