// The records of the binary project file that the authoring tool writes and
// the builder reads. Integers are little-endian; texts are fixed-width ANSI
// fields with their NUL inside the field. Portable: no platform headers.
//
// File order: ProjectHeader, ProjectGroup x group count, SetupTypeRecord x
// setup-type count (package layout), ProjectLink x desktop count, ProjectLink
// x Start-menu count, registry entries x registry count, run packs x
// "before" count, run packs x "after" count. Nothing follows.
#pragma once

#include <cstddef>
#include <cstdint>

namespace builder {

// Project header: 676 bytes.
//   +0   8 bytes   not read
//   +8   char[24]  application name
//   +32  char[24]  second name
//   +56  char[8]   version
//   +64  int16     licence flag (non-zero: include the licence file)
//   +66  int16     readme flag (non-zero: include the readme file)
//   +68  uint32    project value
//   +72  char[256] licence file path
//   +328 char[256] readme file path
//   +584 char[64]  setup title
//   +648 int16     Start-menu link count
//   +650 int16     desktop link count
//   +652 1 byte    not read
//   +653 uint8     project flag
//   +654 uint8     uninstall support
//   +655 uint8     allowed systems
//   +656 uint8     setup-type count
//   +657 uint8     group count
//   +658 uint8     registry entry count
//   +659 uint8     reboot question
//   +660 uint8     "before" run pack count
//   +661 uint8     "after" run pack count
//   +662 14 bytes  not read
struct ProjectHeader {
    char appName[24];
    char secondName[24];
    char version[8];
    int16_t licenceFlag;
    int16_t readmeFlag;
    uint32_t projectValue;
    char licencePath[256];
    char readmePath[256];
    char title[64];
    int16_t startMenuCount;
    int16_t desktopCount;
    uint8_t projectFlag;
    uint8_t uninstall;
    uint8_t allowedSystems;
    uint8_t setupTypeCount;
    uint8_t groupCount;
    uint8_t registryCount;
    uint8_t reboot;
    uint8_t beforeCount;
    uint8_t afterCount;
};
constexpr size_t kProjectHeaderSize = 676;

// Project group: 544 bytes.
//   +0   char[31]  group name (shown while the group is written)
//   +31  uint8     flags, copied to the package's group header
//   +32  char[256] source folder, without a trailing backslash
//   +288 char[256] subfolder name (read only with flags bit 3)
struct ProjectGroup {
    char name[31];
    uint8_t flags;
    char sourceFolder[256];
    char subfolder[256];
};
constexpr size_t kProjectGroupSize = 544;

// Project link: 328 bytes, the same for desktop and Start-menu entries.
//   +0   char[32]  link name
//   +32  char[32]  target file name (read only for shortcuts)
//   +64  char[256] path: folder path, a backslash and the link name; a
//                  top-level entry may hold only its name
//   +320 int16     target group index (shortcuts)
//   +322 int16     desktop flag
//   +324 2 bytes   not read
//   +326 int16     kind: 0 folder entry, -1 shortcut
struct ProjectLink {
    char name[32];
    char target[32];
    char path[256];
    int16_t targetGroup;
    int16_t desktopFlag;
    int16_t kind;
};
constexpr size_t kProjectLinkSize = 328;
constexpr uint8_t kShortcutKind = 0xFF;  // low byte of kind -1

// Registry entry head: 20 bytes, then the key, the value name and the value
// data, each as a 2-byte field the builder skips followed by as many bytes
// as its length gives, the terminating NUL included.
//   +0   uint32    root: 0x80000000 HKCR, 0x80000001 HKCU, 0x80000002 HKLM
//   +4   uint32    type: 0 text, 1 number (decimal or "0x" hexadecimal text)
//   +8   uint32    key length
//   +12  uint32    value name length
//   +16  uint32    value data length
struct RegEntryHead {
    uint32_t root;
    uint32_t type;
    uint32_t keyLength;
    uint32_t nameLength;
    uint32_t dataLength;
};
constexpr size_t kRegEntryHeadSize = 20;
constexpr size_t kRegTextSkipSize = 2;
// The longest registry text (NUL included) a project may hold: far beyond
// any value an installation sets, and small enough to hold in memory.
constexpr uint32_t kMaxRegTextLength = 1u << 20;

// Run pack: 294 bytes, then extra count paths of 256 bytes each.
//   +0   char[32]  pack name
//   +32  char[256] program path (the pack's last file)
//   +288 int16     extra file count
//   +290 int16     order key (highest is written first)
//   +292 int16     wait field (1: the installer waits for the program)
struct ProjectRunPack {
    char name[32];
    char programPath[256];
    int16_t extraCount;
    int16_t orderKey;
    int16_t waitField;
};
constexpr size_t kProjectRunPackSize = 294;
constexpr size_t kRunPackPathSize = 256;

// Each Decode returns false, leaving *r untouched, when len is shorter than
// the record or a text field the builder uses holds no NUL. Each Encode
// writes exactly the record's size, zero-fills the bytes the builder does not
// read, and cuts a text that does not fit its field.
bool DecodeProjectHeader(const uint8_t* in, size_t len, ProjectHeader* r);
void EncodeProjectHeader(const ProjectHeader& r, uint8_t out[kProjectHeaderSize]);
bool DecodeProjectGroup(const uint8_t* in, size_t len, ProjectGroup* r);
void EncodeProjectGroup(const ProjectGroup& r, uint8_t out[kProjectGroupSize]);
bool DecodeProjectLink(const uint8_t* in, size_t len, ProjectLink* r);
void EncodeProjectLink(const ProjectLink& r, uint8_t out[kProjectLinkSize]);
bool DecodeRegEntryHead(const uint8_t* in, size_t len, RegEntryHead* r);
void EncodeRegEntryHead(const RegEntryHead& r, uint8_t out[kRegEntryHeadSize]);
bool DecodeProjectRunPack(const uint8_t* in, size_t len, ProjectRunPack* r);
void EncodeProjectRunPack(const ProjectRunPack& r, uint8_t out[kProjectRunPackSize]);

// True when a field of fieldSize bytes holds its terminating NUL.
bool HasTerminator(const uint8_t* field, size_t fieldSize);

}  // namespace builder
