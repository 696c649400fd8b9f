// Process-wide state of the builder, which makes one build at a time per
// process: the module's instance, the cancel flag and the first error code
// of the running build.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace builder {

void SetModuleInstance(HINSTANCE instance);
HINSTANCE ModuleInstance();

// Starts a build: not cancelled, no error code.
void ResetBuildState();
void CancelBuild();
bool BuildCancelled();

// Sets code as the thread's last error (SetLastErrorEx, SLE_ERROR) when it is
// the build's first code; once a build has a code, later ones are ignored.
void ReportBuildError(DWORD code);
// The build's first code, 0 when none was reported.
DWORD FirstBuildError();

// The temporary files of the running build. A group listing passes over
// them: a group whose source folder is the temporary-files folder would
// otherwise pack the file it is being written into.
void NoteOwnFile(const char* path);
// True when folder\name is one of the files noted since ResetBuildState.
bool IsOwnFile(const std::string& folder, const char* name);

// done * 100 / total in whole percent, formed without overflow, at most 100;
// 100 when total is 0.
int ProgressPercent(uint64_t done, uint64_t total);

}  // namespace builder
