#include "builder/project_records.h"

#include <cstring>

#include "package/bytes.h"
#include "package/records.h"

namespace builder {

using package::GetU32LE;
using package::PutU32LE;

namespace {

int16_t GetI16LE(const uint8_t* p) { return (int16_t)(uint16_t)(p[0] | (uint16_t)p[1] << 8); }

void PutI16LE(uint8_t* p, int16_t v) {
    p[0] = (uint8_t)(uint16_t)v;
    p[1] = (uint8_t)((uint16_t)v >> 8);
}

// Decoders check every used field first, so a damaged record leaves the
// output struct as it was.
template <size_t N>
void GetText(const uint8_t* in, char (&text)[N]) {
    package::ReadTextField(in, N, text, N);
}

template <size_t N>
void PutText(uint8_t* out, const char (&text)[N]) {
    package::WriteTextField(out, N, text);
}

}  // namespace

bool HasTerminator(const uint8_t* field, size_t fieldSize) {
    return memchr(field, 0, fieldSize) != nullptr;
}

bool DecodeProjectHeader(const uint8_t* in, size_t len, ProjectHeader* r) {
    if (len < kProjectHeaderSize) return false;
    if (!HasTerminator(in + 8, 24) || !HasTerminator(in + 32, 24) || !HasTerminator(in + 56, 8) ||
        !HasTerminator(in + 72, 256) || !HasTerminator(in + 328, 256) ||
        !HasTerminator(in + 584, 64))
        return false;
    GetText(in + 8, r->appName);
    GetText(in + 32, r->secondName);
    GetText(in + 56, r->version);
    r->licenceFlag = GetI16LE(in + 64);
    r->readmeFlag = GetI16LE(in + 66);
    r->projectValue = GetU32LE(in + 68);
    GetText(in + 72, r->licencePath);
    GetText(in + 328, r->readmePath);
    GetText(in + 584, r->title);
    r->startMenuCount = GetI16LE(in + 648);
    r->desktopCount = GetI16LE(in + 650);
    r->projectFlag = in[653];
    r->uninstall = in[654];
    r->allowedSystems = in[655];
    r->setupTypeCount = in[656];
    r->groupCount = in[657];
    r->registryCount = in[658];
    r->reboot = in[659];
    r->beforeCount = in[660];
    r->afterCount = in[661];
    return true;
}

void EncodeProjectHeader(const ProjectHeader& r, uint8_t out[kProjectHeaderSize]) {
    memset(out, 0, kProjectHeaderSize);
    PutText(out + 8, r.appName);
    PutText(out + 32, r.secondName);
    PutText(out + 56, r.version);
    PutI16LE(out + 64, r.licenceFlag);
    PutI16LE(out + 66, r.readmeFlag);
    PutU32LE(out + 68, r.projectValue);
    PutText(out + 72, r.licencePath);
    PutText(out + 328, r.readmePath);
    PutText(out + 584, r.title);
    PutI16LE(out + 648, r.startMenuCount);
    PutI16LE(out + 650, r.desktopCount);
    out[653] = r.projectFlag;
    out[654] = r.uninstall;
    out[655] = r.allowedSystems;
    out[656] = r.setupTypeCount;
    out[657] = r.groupCount;
    out[658] = r.registryCount;
    out[659] = r.reboot;
    out[660] = r.beforeCount;
    out[661] = r.afterCount;
}

bool DecodeProjectGroup(const uint8_t* in, size_t len, ProjectGroup* r) {
    if (len < kProjectGroupSize) return false;
    bool hasSubfolder = package::HasSubfolder(in[31]);
    if (!HasTerminator(in, 31) || !HasTerminator(in + 32, 256) ||
        (hasSubfolder && !HasTerminator(in + 288, 256)))
        return false;
    GetText(in, r->name);
    r->flags = in[31];
    GetText(in + 32, r->sourceFolder);
    if (hasSubfolder)
        GetText(in + 288, r->subfolder);
    else
        memset(r->subfolder, 0, sizeof r->subfolder);
    return true;
}

void EncodeProjectGroup(const ProjectGroup& r, uint8_t out[kProjectGroupSize]) {
    PutText(out, r.name);
    out[31] = r.flags;
    PutText(out + 32, r.sourceFolder);
    PutText(out + 288, r.subfolder);
}

bool DecodeProjectLink(const uint8_t* in, size_t len, ProjectLink* r) {
    if (len < kProjectLinkSize) return false;
    bool shortcut = in[326] == kShortcutKind;
    if (!HasTerminator(in, 32) || !HasTerminator(in + 64, 256) ||
        (shortcut && !HasTerminator(in + 32, 32)))
        return false;
    GetText(in, r->name);
    if (shortcut)
        GetText(in + 32, r->target);
    else
        memset(r->target, 0, sizeof r->target);
    GetText(in + 64, r->path);
    r->targetGroup = GetI16LE(in + 320);
    r->desktopFlag = GetI16LE(in + 322);
    r->kind = GetI16LE(in + 326);
    return true;
}

void EncodeProjectLink(const ProjectLink& r, uint8_t out[kProjectLinkSize]) {
    PutText(out, r.name);
    PutText(out + 32, r.target);
    PutText(out + 64, r.path);
    PutI16LE(out + 320, r.targetGroup);
    PutI16LE(out + 322, r.desktopFlag);
    PutI16LE(out + 324, 0);
    PutI16LE(out + 326, r.kind);
}

bool DecodeRegEntryHead(const uint8_t* in, size_t len, RegEntryHead* r) {
    if (len < kRegEntryHeadSize) return false;
    r->root = GetU32LE(in);
    r->type = GetU32LE(in + 4);
    r->keyLength = GetU32LE(in + 8);
    r->nameLength = GetU32LE(in + 12);
    r->dataLength = GetU32LE(in + 16);
    return true;
}

void EncodeRegEntryHead(const RegEntryHead& r, uint8_t out[kRegEntryHeadSize]) {
    PutU32LE(out, r.root);
    PutU32LE(out + 4, r.type);
    PutU32LE(out + 8, r.keyLength);
    PutU32LE(out + 12, r.nameLength);
    PutU32LE(out + 16, r.dataLength);
}

bool DecodeProjectRunPack(const uint8_t* in, size_t len, ProjectRunPack* r) {
    if (len < kProjectRunPackSize) return false;
    if (!HasTerminator(in, 32) || !HasTerminator(in + 32, 256)) return false;
    GetText(in, r->name);
    GetText(in + 32, r->programPath);
    r->extraCount = GetI16LE(in + 288);
    r->orderKey = GetI16LE(in + 290);
    r->waitField = GetI16LE(in + 292);
    return true;
}

void EncodeProjectRunPack(const ProjectRunPack& r, uint8_t out[kProjectRunPackSize]) {
    PutText(out, r.name);
    PutText(out + 32, r.programPath);
    PutI16LE(out + 288, r.extraCount);
    PutI16LE(out + 290, r.orderKey);
    PutI16LE(out + 292, r.waitField);
}

}  // namespace builder
