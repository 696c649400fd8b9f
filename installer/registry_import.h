// The package's registry entries: noted in the uninstall log, then written.
// On Vista and later the installer writes them itself; before, the program
// Windows associates with .reg files imports them when there is one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "package/registry_text.h"

namespace installer {

// Reads the registry block (size bytes at offset of the package stream),
// notes its keys and values after those already in notes, together with
// every key on their paths that does not exist yet (outermost first, so the
// uninstaller removes them once empty); when logPath names the uninstall log,
// records all of them; then has the entries written. A block that cannot be
// read is reported with the system's error text and only the notes already
// in notes are recorded. Without associatedProgram the entries are always
// written here, never by a program that could ask its own question.
void ImportRegistryBlock(FILE* stream, const char* appName, uint32_t offset, uint32_t size,
                         const char* installDir, const char* logPath,
                         package::RegistryLogList* notes, bool associatedProgram = true);

// Notes the sections as ImportRegistryBlock does, with the keys the writing
// will create, probed in the registry now.
void NoteRegistryImport(const std::vector<package::RegistrySection>& sections,
                        package::RegistryLogList* notes);

// Writes the sections with the registry API, in the registry view of a
// 32-bit program (the one the uninstaller removes from). Keys under a root
// other than the three a package may name are left alone. Every entry is
// tried; the first failure is shown with the system's error text. True when
// nothing failed.
bool WriteRegistrySections(const std::vector<package::RegistrySection>& sections);

// Records every noted key and its value names in the uninstall log. Keys
// are numbered in list order from 1, or after the keys the log holds
// already (a second installation into the same folder).
void LogRegistryNotes(const char* logPath, const package::RegistryLogList& notes);

// Opens the document fileName in dir (full path docPath) with its associated
// program, waits for that program to end and deletes the document (showing
// the system's error text when that fails). False, with the document left
// where it is and nothing shown, when no program is associated or it cannot
// be started.
bool RunAssociated(const char* fileName, const char* dir, const char* docPath);

}  // namespace installer
