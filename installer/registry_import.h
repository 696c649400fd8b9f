// The package's registry entries: noted in the uninstall log, then applied by
// the program Windows associates with .reg files.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "package/registry_text.h"

namespace installer {

// Writes the registry block (size bytes at offset of the package stream) to
// installDir\<appName>.reg; when logPath names the uninstall log, notes its
// keys and values after those already in notes and records all of them;
// then has the file imported by its associated program, which deletes it.
// When the file cannot be written, the system's error text is shown and
// only the notes already in notes are recorded.
void ImportRegistryBlock(FILE* stream, const char* appName, HWND statusWindow, uint32_t offset,
                         uint32_t size, const char* installDir, const char* logPath,
                         package::RegistryLogList* notes);

// Records every noted key and its value names in the uninstall log. Keys
// are numbered in list order from 1, or after the keys the log holds
// already (a second installation into the same folder).
void LogRegistryNotes(const char* logPath, const package::RegistryLogList& notes);

// Opens the document fileName in dir (full path docPath) with its associated
// program, waits for that program to end and deletes the document. Shows the
// system's error text when the program cannot be started (the document then
// stays) or the document cannot be deleted.
void RunAssociated(const char* fileName, const char* dir, const char* docPath);

}  // namespace installer
