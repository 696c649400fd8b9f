#include "builder/build_state.h"

namespace builder {

namespace {

HINSTANCE g_instance = nullptr;
int g_cancelled = 0;
DWORD g_firstError = 0;

}  // namespace

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE ModuleInstance() { return g_instance; }

void ResetBuildState() {
    g_cancelled = 0;
    g_firstError = 0;
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
