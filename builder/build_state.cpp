#include "builder/build_state.h"

#include <vector>

#include "win32/unique_handle.h"

namespace builder {

namespace {

HINSTANCE g_instance = nullptr;
int g_cancelled = 0;
DWORD g_firstError = 0;
std::vector<std::string> g_ownFiles;

const char* NameOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

// Whether two paths name one file, however each is spelt (short names,
// case, another route to the folder): the same volume and file index.
bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    for (auto [path, info] : {std::pair{&a, &infoA}, std::pair{&b, &infoB}}) {
        win32::UniqueHandle file(CreateFileA(path->c_str(), 0,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
        if (!file || !GetFileInformationByHandle(file.get(), info)) return false;
    }
    return infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

}  // namespace

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE ModuleInstance() { return g_instance; }

void ResetBuildState() {
    g_cancelled = 0;
    g_firstError = 0;
    g_ownFiles.clear();
}

void NoteOwnFile(const char* path) { g_ownFiles.emplace_back(path); }

bool IsOwnFile(const std::string& folder, const char* name) {
    // Only a file of the same name is opened: the listing stays cheap.
    for (const std::string& own : g_ownFiles)
        if (lstrcmpiA(NameOf(own), name) == 0 && SameFile(own, folder + name)) return true;
    return false;
}

void CancelBuild() { g_cancelled = 1; }
bool BuildCancelled() { return g_cancelled != 0; }

void ReportBuildError(DWORD code) {
    if (g_firstError) return;
    g_firstError = code;
    SetLastErrorEx(code, SLE_ERROR);
}

DWORD FirstBuildError() { return g_firstError; }

int ProgressPercent(uint64_t done, uint64_t total) {
    if (total == 0 || done >= total) return 100;
    return (int)(done * 100 / total);
}

}  // namespace builder
