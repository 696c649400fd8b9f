#include "installer/shortcuts.h"

#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "package/file_name.h"
#include "package/records.h"
#include "uninstall_log/wendlo.h"
#include "win32/com.h"

namespace installer {

namespace {

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, csidl, &items))) {
        SHGetPathFromIDListA(items, path);
        CoTaskMemFree(items);
    }
    return path;
}

// base + "\" + relative, where an empty relative path is base itself (a
// top-level shortcut stands directly in the special folder).
std::string Join(const std::string& base, const char* relative) {
    return *relative ? base + "\\" + relative : base;
}

}  // namespace

void CreateShortcutBlock(FILE* stream, unsigned count, uint32_t groupMask,
                         const ShortcutContext& context) {
    if (count == 0) return;
    size_t blockSize = count * package::kLinkRecordSize;
    auto block = std::make_unique<uint8_t[]>(blockSize);
    if (fread(block.get(), 1, blockSize, stream) != blockSize) return;

    package::LinkRecord record;
    package::DecodeLinkRecord(block.get(), blockSize, &record);
    std::string special = SpecialFolder(record.desktopFlag ? CSIDL_DESKTOPDIRECTORY : CSIDL_PROGRAMS);
    if (special.empty()) return;

    for (unsigned i = 0; i < count; ++i) {
        package::DecodeLinkRecord(block.get() + i * package::kLinkRecordSize,
                                  package::kLinkRecordSize, &record);
        if (!(groupMask & (1u << (record.targetGroup % 32)))) continue;
        // The records come from the package: what they name must stay inside
        // the special folder.
        if (!package::IsPlainRelativePath(record.folderPath) ||
            (record.entryKind != 0 && !package::IsPlainName(record.linkName)))
            continue;
        std::string folder = Join(special, record.folderPath);
        if (record.entryKind == 0) {
            // A folder record without a path would name the special folder itself.
            if (!record.folderPath[0]) continue;
            if (context.logPath) LogAddEntry(context.logPath, folder.c_str(), kLogCreatedDir);
            CreateDirectoryA(folder.c_str(), nullptr);
            continue;
        }
        // A shortcut needs its group's folder for a target.
        const char* groupDir = record.targetGroup < context.groupDirCount
                                   ? context.groupDirs[record.targetGroup]
                                   : nullptr;
        if (!groupDir || !groupDir[0]) continue;
        std::string target = std::string(groupDir) + record.targetName;
        std::string link = folder + "\\" + record.linkName + ".lnk";
        if (context.logPath) LogAddEntry(context.logPath, link.c_str(), kLogShellLink);
        CreateShellLink(target.c_str(), link.c_str(), record.linkName);
    }
}

HRESULT CreateShellLink(const char* target, const char* linkPath, const char* description) {
    win32::ComScope com;
    win32::ComRef<IShellLinkA> link;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.out());
    if (FAILED(result)) return result;
    link->SetPath(target);
    link->SetDescription(description);
    win32::ComRef<IPersistFile> file;
    result = link->QueryInterface(IID_IPersistFile, file.out());
    if (FAILED(result)) return result;
    WCHAR widePath[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH);
    return file->Save(widePath, TRUE);
}

}  // namespace installer
