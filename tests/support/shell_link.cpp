#include "tests/support/shell_link.h"

#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

namespace testpkg {

std::string LinkTarget(const std::string& linkPath) {
    CoInitialize(nullptr);
    std::string target;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        WCHAR wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (SUCCEEDED(file->Load(wide, STGM_READ))) {
                char path[MAX_PATH] = {};
                link->GetPath(path, MAX_PATH, nullptr, 0);
                target = path;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return target;
}

}  // namespace testpkg
