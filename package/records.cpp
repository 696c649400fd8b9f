#include "package/records.h"

#include <cstring>

#include "package/bytes.h"

namespace package {

const uint8_t kPackageMagic[8] = {'[', 'Z', 'K', 'D', 'A', 'T', ']', 0};

namespace {

// The struct arrays are exactly as wide as their fields, so a text that
// fills its array without a NUL is cut by one character, never over-read.
template <size_t N>
void PutText(uint8_t* out, const char (&text)[N], size_t fieldSize) {
    WriteTextField(out, fieldSize, text);
}

template <size_t N>
void GetText(const uint8_t* in, size_t fieldSize, char (&text)[N]) {
    ReadTextField(in, fieldSize, text, N);
}

}  // namespace

void EncodePackageHeader(const PackageHeader& r, uint8_t out[kPackageHeaderSize]) {
    memset(out, 0, kPackageHeaderSize);
    memcpy(out, kPackageMagic, sizeof kPackageMagic);
    PutText(out + 8, r.appName, 24);
    PutText(out + 32, r.secondName, 24);
    PutText(out + 56, r.version, 8);
    PutU32LE(out + 64, r.projectValue);
    PutText(out + 68, r.title, 62);
    out[130] = r.uninstall;
    out[131] = r.reboot;
    out[132] = r.projectFlag;
    out[133] = r.licenceFlag;
    out[134] = r.readmeFlag;
    out[135] = r.startMenuCount;
    out[136] = r.desktopCount;
    out[137] = r.groupCount;
    out[138] = r.setupTypeCount;
    out[139] = r.allowedSystems;
    PutU32LE(out + 140, r.licenceOffset);
    PutU32LE(out + 144, r.licenceSize);
    PutU32LE(out + 148, r.readmeOffset);
    PutU32LE(out + 152, r.readmeSize);
    PutU32LE(out + 156, r.groupsOffset);
    PutU32LE(out + 160, r.groupsSize);
    PutU32LE(out + 164, r.setupTypesOffset);
    PutU32LE(out + 168, r.setupTypesSize);
    PutU32LE(out + 172, r.startMenuOffset);
    PutU32LE(out + 176, r.startMenuSize);
    PutU32LE(out + 180, r.desktopOffset);
    PutU32LE(out + 184, r.desktopSize);
    PutU32LE(out + 188, r.registryOffset);
    PutU32LE(out + 192, r.registrySize);
    out[196] = r.beforeCount;
    out[197] = r.afterCount;
    PutU32LE(out + 200, r.beforeOffset);
    PutU32LE(out + 204, r.afterOffset);
}

bool DecodePackageHeader(const uint8_t* in, size_t len, PackageHeader* r) {
    if (len < kPackageHeaderSize) return false;
    GetText(in + 8, 24, r->appName);
    GetText(in + 32, 24, r->secondName);
    GetText(in + 56, 8, r->version);
    r->projectValue = GetU32LE(in + 64);
    GetText(in + 68, 62, r->title);
    r->uninstall = in[130];
    r->reboot = in[131];
    r->projectFlag = in[132];
    r->licenceFlag = in[133];
    r->readmeFlag = in[134];
    r->startMenuCount = in[135];
    r->desktopCount = in[136];
    r->groupCount = in[137];
    r->setupTypeCount = in[138];
    r->allowedSystems = in[139];
    r->licenceOffset = GetU32LE(in + 140);
    r->licenceSize = GetU32LE(in + 144);
    r->readmeOffset = GetU32LE(in + 148);
    r->readmeSize = GetU32LE(in + 152);
    r->groupsOffset = GetU32LE(in + 156);
    r->groupsSize = GetU32LE(in + 160);
    r->setupTypesOffset = GetU32LE(in + 164);
    r->setupTypesSize = GetU32LE(in + 168);
    r->startMenuOffset = GetU32LE(in + 172);
    r->startMenuSize = GetU32LE(in + 176);
    r->desktopOffset = GetU32LE(in + 180);
    r->desktopSize = GetU32LE(in + 184);
    r->registryOffset = GetU32LE(in + 188);
    r->registrySize = GetU32LE(in + 192);
    r->beforeCount = in[196];
    r->afterCount = in[197];
    r->beforeOffset = GetU32LE(in + 200);
    r->afterOffset = GetU32LE(in + 204);
    return true;
}

void EncodeGroupHeader(const GroupHeader& r, uint8_t out[kGroupHeaderSize]) {
    PutText(out, r.subfolder, 255);
    out[255] = r.flags;
    PutU32LE(out + 256, r.fileCount);
    PutU32LE(out + 260, r.totalBytes);
}

bool DecodeGroupHeader(const uint8_t* in, size_t len, GroupHeader* r) {
    if (len < kGroupHeaderSize) return false;
    GetText(in, 255, r->subfolder);
    r->flags = in[255];
    r->fileCount = GetU32LE(in + 256);
    r->totalBytes = GetU32LE(in + 260);
    return true;
}

void EncodeFileEntry(const FileEntry& r, uint8_t out[kFileEntrySize]) {
    PutText(out, r.name, 260);
    PutU32LE(out + 260, r.size);
}

bool DecodeFileEntry(const uint8_t* in, size_t len, FileEntry* r) {
    if (len < kFileEntrySize) return false;
    GetText(in, 260, r->name);
    r->size = GetU32LE(in + 260);
    return true;
}

void EncodeSetupTypeRecord(const SetupTypeRecord& r, uint8_t out[kSetupTypeRecordSize]) {
    PutText(out, r.name, 28);
    PutU32LE(out + 28, r.groupMask);
}

bool DecodeSetupTypeRecord(const uint8_t* in, size_t len, SetupTypeRecord* r) {
    if (len < kSetupTypeRecordSize) return false;
    GetText(in, 28, r->name);
    r->groupMask = GetU32LE(in + 28);
    return true;
}

void EncodeLinkRecord(const LinkRecord& r, uint8_t out[kLinkRecordSize]) {
    out[0] = r.desktopFlag;
    out[1] = r.entryKind;
    out[2] = r.targetGroup;
    out[3] = 0;
    PutText(out + 4, r.linkName, 32);
    PutText(out + 36, r.targetName, 32);
    PutText(out + 68, r.folderPath, 256);
}

bool DecodeLinkRecord(const uint8_t* in, size_t len, LinkRecord* r) {
    if (len < kLinkRecordSize) return false;
    r->desktopFlag = in[0];
    r->entryKind = in[1];
    r->targetGroup = in[2];
    GetText(in + 4, 32, r->linkName);
    GetText(in + 36, 32, r->targetName);
    GetText(in + 68, 256, r->folderPath);
    return true;
}

void EncodeRunPackHeader(const RunPackHeader& r, uint8_t out[kRunPackHeaderSize]) {
    PutText(out, r.packName, 32);
    PutText(out + 32, r.programName, 32);
    PutU32LE(out + 64, r.waitFlag);
    PutU32LE(out + 68, r.fileCount);
}

bool DecodeRunPackHeader(const uint8_t* in, size_t len, RunPackHeader* r) {
    if (len < kRunPackHeaderSize) return false;
    GetText(in, 32, r->packName);
    GetText(in + 32, 32, r->programName);
    r->waitFlag = GetU32LE(in + 64);
    r->fileCount = GetU32LE(in + 68);
    return true;
}

}  // namespace package
