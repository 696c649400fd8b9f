// The uninstall log library wendlo.dll, bound by ordinal. Every text is a
// NUL-terminated ANSI string; log is the path of uninst.log. The recording
// calls append one record and return 1 once it is in the file (0 when the
// file cannot be written); a record survives the recording process being
// killed right after the call.
#pragma once

#include <windows.h>

// The kinds of record LogAddEntry takes; each has its list in the log.
enum LogKind : BYTE {
    kLogCreatedDir = 1,
    kLogCopiedFile = 2,
    kLogSharedDll = 3,
    kLogOleFile = 4,
    kLogShellLink = 5,
};

extern "C" {

// Ordinal 2: appends text to the list of kind (a LogKind).
int WINAPI LogAddEntry(const char* log, const char* text, BYTE kind);
// Ordinal 3: releases what LogReadList returned; accepts a count of 0.
void WINAPI LogFreeList(char** items, int count);
// Ordinal 4: the texts of list section/prefix in recorded order; *count is 0
// (and *items null) for an empty or missing list or an unreadable log.
void WINAPI LogReadList(const char* log, const char* section, const char* prefix, char*** items,
                        int* count);
// Ordinal 10: appends a registry key text ("HKEY_LOCAL_MACHINE\\Sub\\Key").
int WINAPI LogAddRegKey(const char* log, const char* key);
// Ordinal 11: appends a value name ("@" for the default value) to the n-th
// recorded key, counting from 1.
int WINAPI LogAddRegValue(const char* log, int n, const char* name);
}
