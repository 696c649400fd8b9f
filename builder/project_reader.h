// Reading the project file front to back through one stdio stream opened for
// binary reading; the file is never sought. Every reader returns false when
// the file ends before the section does or when a text the builder uses has
// no NUL; the stream's position is then unspecified and the build stops.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "builder/project_records.h"
#include "package/registry_text.h"

namespace builder {

// One registry entry with its three texts (each without its NUL).
using RegEntry = package::RegistryEntry;

// One run pack with the full paths of the files it needs beside its program.
struct RunPack {
    ProjectRunPack record;
    std::vector<std::string> extraPaths;
};

// Reads exactly size bytes.
bool ReadBytes(FILE* project, void* out, size_t size);

bool ReadProjectHeader(FILE* project, ProjectHeader* header);

// Reads count setup-type records (32 bytes each, package layout) as they are
// stored; each type name must hold its NUL.
bool ReadSetupTypes(FILE* project, unsigned count, std::vector<uint8_t>* records);

bool ReadProjectLink(FILE* project, ProjectLink* link);

// Reads one registry entry. A text's length counts its NUL, which must lie
// within it, and is at most kMaxRegTextLength; bytes after the first NUL are
// read but never stored.
bool ReadRegEntry(FILE* project, RegEntry* entry);

// Reads count run packs, each with its extra paths, in project order.
bool ReadRunPackList(FILE* project, unsigned count, std::vector<RunPack>* packs);

}  // namespace builder
