// Package files made by hand for tests: a body laid out from records, then
// gzip-compressed as the builder does it, with the CRC-32 for setup.inf.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package/records.h"

namespace testpkg {

using Bytes = std::vector<uint8_t>;

// A file stored in a group or a run pack.
struct StoredFile {
    std::string name;
    Bytes data;
};

// A package body under construction: the header's fields are filled by the
// test, blocks are appended behind the 328 header bytes.
struct PackageBody {
    package::PackageHeader header = {};
    Bytes blocks;

    // Appends bytes and returns the body offset they start at.
    uint32_t Append(const void* data, size_t size);
    uint32_t Append(const std::string& text) { return Append(text.data(), text.size()); }
    uint32_t Append(const Bytes& bytes) { return Append(bytes.data(), bytes.size()); }
    // The whole body: the encoded header followed by the blocks.
    Bytes Finish() const;

    // Each Set/Add appends its block and fills the header fields that locate
    // it. Groups must be added one directly after the other.
    void SetLicence(const std::string& text);
    void SetReadme(const std::string& text);
    void AddGroup(uint8_t flags, const std::vector<StoredFile>& files, const char* subfolder = "");
    void AddSetupType(const char* name, uint32_t groupMask);
    // A run pack list: the packs (from RunPackBlock) one after the other.
    void SetRunPacks(bool before, const std::vector<Bytes>& packs);
    // A run pack list of one pack; the last file is the program.
    void SetRunPacks(bool before, const char* program, uint32_t waitFlag,
                     const std::vector<StoredFile>& files);
    // The desktop or Start-menu block of link records.
    void SetLinks(bool desktop, const std::vector<package::LinkRecord>& records);
    // The REGEDIT4 text the installer imports, in place of the current one.
    void SetRegistryText(const std::string& text);
};

// A body with nothing to install: the registry block is the bare "REGEDIT4"
// header, everything else is absent.
PackageBody EmptyPackage(const char* appName);

// A body using every block once, laid out as the builder lays it out, in
// this order: licence, readme, three groups, two setup types, one desktop
// and two Start-menu records, the registry text, one "before" pack, one
// "after" pack (the body's last block). No application name.
PackageBody FullPackage();

// A body of FullPackage's damaged so that the installer's start-up check
// must refuse it, although the CRC of its package matches: blocks cut
// short, counts and offsets past the end, sizes beyond their bounds, and
// application names that are not plain names (see package/file_name.h).
struct DamagedBody {
    std::string name;
    Bytes body;
};
std::vector<DamagedBody> DamagedBodies();

// A group block: the header (flags, subfolder, count and total from files),
// the file entries, then the files' data.
Bytes GroupBlock(uint8_t flags, const std::string& subfolder, const std::vector<StoredFile>& files);
// A run pack: its header, then each file's entry directly followed by its
// data. The program is named separately; the builder stores it last.
Bytes RunPackBlock(const std::string& program, bool wait, const std::vector<StoredFile>& files);

// A link record: kind 0 is a folder entry, any other a shortcut.
package::LinkRecord Link(uint8_t desktopFlag, uint8_t kind, uint8_t group, const std::string& name,
                         const std::string& target, const std::string& folder);

// size bytes of a reproducible pseudo-random pattern.
Bytes Pattern(size_t size, uint32_t seed);

Bytes Gzip(const Bytes& body);
Bytes Gunzip(const Bytes& gz);  // empty on any error
uint32_t Crc32(const Bytes& bytes);

Bytes TextBytes(const std::string& text);
Bytes ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const Bytes& bytes);

}  // namespace testpkg
