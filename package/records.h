// The records of the package body. Every integer is little-endian; every text
// field is a fixed-width array of ANSI characters terminated by a NUL inside
// the field (a field of width N holds at most N-1 characters). Decoders always
// leave the struct's texts NUL-terminated; encoders zero-fill each field
// behind its text and cut a text that does not fit.
#pragma once

#include <cstddef>
#include <cstdint>

namespace package {

// Package header: 328 bytes at offset 0 of the body.
//   +0   char[8]   magic "[ZKDAT]\0" (written, never checked)
//   +8   char[24]  application name
//   +32  char[24]  second name
//   +56  char[8]   version
//   +64  uint32    project value
//   +68  char[62]  setup title (empty: the default title)
//   +130 uint8     uninstall support
//   +131 uint8     reboot question
//   +132 uint8     project flag
//   +133 uint8     licence flag
//   +134 uint8     readme flag
//   +135 uint8     Start-menu entry count
//   +136 uint8     desktop entry count
//   +137 uint8     group count
//   +138 uint8     setup-type count
//   +139 uint8     allowed systems (0x01 95, 0x02 98, 0x04 Me, 0x10 NT4, 0x20 NT5)
//   +140 uint32    licence offset        +144 uint32 licence size
//   +148 uint32    readme offset         +152 uint32 readme size
//   +156 uint32    groups offset         +160 uint32 groups size
//   +164 uint32    setup types offset    +168 uint32 setup types size
//   +172 uint32    Start-menu offset     +176 uint32 Start-menu size
//   +180 uint32    desktop offset        +184 uint32 desktop size
//   +188 uint32    registry offset       +192 uint32 registry size
//   +196 uint8     "before" run pack count
//   +197 uint8     "after" run pack count
//   +198 2 bytes   reserved, zero
//   +200 uint32    "before" run packs offset
//   +204 uint32    "after" run packs offset
//   +208 120 bytes reserved, zero
struct PackageHeader {
    char appName[24];
    char secondName[24];
    char version[8];
    uint32_t projectValue;
    char title[62];
    uint8_t uninstall;
    uint8_t reboot;
    uint8_t projectFlag;
    uint8_t licenceFlag;
    uint8_t readmeFlag;
    uint8_t startMenuCount;
    uint8_t desktopCount;
    uint8_t groupCount;
    uint8_t setupTypeCount;
    uint8_t allowedSystems;
    uint32_t licenceOffset, licenceSize;
    uint32_t readmeOffset, readmeSize;
    uint32_t groupsOffset, groupsSize;
    uint32_t setupTypesOffset, setupTypesSize;
    uint32_t startMenuOffset, startMenuSize;
    uint32_t desktopOffset, desktopSize;
    uint32_t registryOffset, registrySize;
    uint8_t beforeCount;
    uint8_t afterCount;
    uint32_t beforeOffset;
    uint32_t afterOffset;
};
constexpr size_t kPackageHeaderSize = 328;
// The most a licence or readme block may hold. Both are read whole into
// memory and shown in an edit control; a larger size marks a damaged package.
constexpr uint32_t kMaxTextBlockSize = 4u << 20;
// An unpacked body stays below 2 GiB: its offsets are read with a signed
// 32-bit ftell and fseek.
constexpr uint64_t kMaxBodySize = 0x7FFFFFFFu;
extern const uint8_t kPackageMagic[8];

// Group header: 264 bytes; its file entries and then their data follow.
//   +0   char[255] subfolder name (only with flags bit 3; zero otherwise)
//   +255 uint8     flags: low nibble destination kind, high nibble copy mode
//                  (see MakeGroupFlags below)
//   +256 uint32    file count
//   +260 uint32    total data bytes of the group's files
struct GroupHeader {
    char subfolder[255];
    uint8_t flags;
    uint32_t fileCount;
    uint32_t totalBytes;
};
constexpr size_t kGroupHeaderSize = 264;

// The group flags byte. Its low four bits name the group's base folder, with
// kGroupSubfolder set when the files go into the header's subfolder of that
// base; its high four bits choose what is done with each file. Values the
// enums do not name are kept as they stand: the installer has no folder or
// action for them and treats them as a damaged group would be treated.
enum class Destination : uint8_t { kInstall = 1, kWindows = 2, kSystem = 4 };
constexpr uint8_t kGroupSubfolder = 0x08;
enum class CopyMode : uint8_t {
    kPlain = 1,
    kSelfRegistering = 2,
    kSelfRegisteringToo = 4,  // an older value, installed as 2 is
    kSharedDll = 8,
};

constexpr uint8_t MakeGroupFlags(Destination destination, bool subfolder, CopyMode mode) {
    return (uint8_t)((uint8_t)mode << 4 | (uint8_t)destination | (subfolder ? kGroupSubfolder : 0));
}
// The base folder kind, without the subfolder bit.
constexpr Destination DestinationOf(uint8_t flags) {
    return (Destination)(flags & 0x0F & ~kGroupSubfolder);
}
constexpr bool HasSubfolder(uint8_t flags) { return (flags & kGroupSubfolder) != 0; }
constexpr CopyMode CopyModeOf(uint8_t flags) { return (CopyMode)(flags >> 4); }

// Stored file entry: 264 bytes (groups and run packs).
//   +0   char[260] file name without folder
//   +260 uint32    size of the data that belongs to the file
struct FileEntry {
    char name[260];
    uint32_t size;
};
constexpr size_t kFileEntrySize = 264;

// Setup type: 32 bytes.
//   +0   char[28]  type name
//   +28  uint32    group mask (bit i: group i is installed)
struct SetupTypeRecord {
    char name[28];
    uint32_t groupMask;
};
constexpr size_t kSetupTypeRecordSize = 32;

// Desktop or Start-menu entry: 324 bytes.
//   +0   uint8     desktop flag
//   +1   uint8     entry kind (0 folder, otherwise shortcut)
//   +2   uint8     target group index
//   +3   uint8     reserved, zero
//   +4   char[32]  link name
//   +36  char[32]  target file name
//   +68  char[256] folder path, relative to the desktop or Programs folder
struct LinkRecord {
    uint8_t desktopFlag;
    uint8_t entryKind;
    uint8_t targetGroup;
    char linkName[32];
    char targetName[32];
    char folderPath[256];
};
constexpr size_t kLinkRecordSize = 324;

// Run pack header: 72 bytes; each file's entry and data follow in turn.
//   +0   char[32]  pack name
//   +32  char[32]  program name (the pack's last file)
//   +64  uint32    wait flag (1: wait for the program)
//   +68  uint32    file count, program included
struct RunPackHeader {
    char packName[32];
    char programName[32];
    uint32_t waitFlag;
    uint32_t fileCount;
};
constexpr size_t kRunPackHeaderSize = 72;

// Each Encode writes exactly the record's size into out. Each Decode returns
// false (and leaves *r untouched) when len is shorter than the record.
void EncodePackageHeader(const PackageHeader& r, uint8_t out[kPackageHeaderSize]);
bool DecodePackageHeader(const uint8_t* in, size_t len, PackageHeader* r);
void EncodeGroupHeader(const GroupHeader& r, uint8_t out[kGroupHeaderSize]);
bool DecodeGroupHeader(const uint8_t* in, size_t len, GroupHeader* r);
void EncodeFileEntry(const FileEntry& r, uint8_t out[kFileEntrySize]);
bool DecodeFileEntry(const uint8_t* in, size_t len, FileEntry* r);
void EncodeSetupTypeRecord(const SetupTypeRecord& r, uint8_t out[kSetupTypeRecordSize]);
bool DecodeSetupTypeRecord(const uint8_t* in, size_t len, SetupTypeRecord* r);
void EncodeLinkRecord(const LinkRecord& r, uint8_t out[kLinkRecordSize]);
bool DecodeLinkRecord(const uint8_t* in, size_t len, LinkRecord* r);
void EncodeRunPackHeader(const RunPackHeader& r, uint8_t out[kRunPackHeaderSize]);
bool DecodeRunPackHeader(const uint8_t* in, size_t len, RunPackHeader* r);

}  // namespace package
