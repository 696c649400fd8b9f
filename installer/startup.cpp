#include "installer/startup.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "installer/resource.h"
#include "package/bytes.h"
#include "package/decimal.h"
#include "win32/last_error.h"
#include "win32/message_box.h"
#include "win32/unique_handle.h"
#include "package/zlib_api.h"
#include "win32/library.h"

namespace installer {

namespace {

using package::kBlockSize;
constexpr char kSettingsName[] = "setup.inf";
constexpr char kSection[] = "main";

bool FileOpens(const char* path, const char* mode) {
    win32::UniqueFile file(fopen(path, mode));
    return bool(file);
}

INT_PTR CALLBACK UnpackingProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

}  // namespace

void ShowInstallError(UINT stringId, HINSTANCE instance) {
    char text[256] = {};
    LoadStringA(instance, stringId, text, sizeof text);
    win32::ShowMessage(nullptr, text, "Installation Error", MB_OK | MB_TASKMODAL | MB_ICONERROR);
}

bool EnterProgramFolder() {
    char path[MAX_PATH + 1] = {};
    DWORD len = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return false;
    char* slash = strrchr(path, '\\');
    if (!slash) return false;
    // A program at a drive's root keeps the backslash: "C:" alone would name
    // the drive's current folder.
    if (slash > path && slash[-1] == ':') ++slash;
    *slash = 0;
    return SetCurrentDirectoryA(path) != FALSE;
}

bool VerifyPackage(HINSTANCE instance, BackgroundSettings* settings) {
    if (!FileOpens(kSettingsName, "r")) return ShowInstallError(IDS_MISSING_INF, instance), false;
    if (!FileOpens("setup.dat", "rb")) return ShowInstallError(IDS_MISSING_DAT, instance), false;

    char currentDir[MAX_PATH] = {};
    char settingsPath[MAX_PATH + 16] = {};
    DWORD dirLen = GetCurrentDirectoryA(MAX_PATH, currentDir);
    if (dirLen >= MAX_PATH) currentDir[0] = 0;
    package::JoinPath(settingsPath, sizeof settingsPath, currentDir, kSettingsName);

    char crcText[256] = {};
    GetPrivateProfileStringA(kSection, "CRC32", "NOCRC", crcText, sizeof crcText, settingsPath);
    COLORREF backColor = GetPrivateProfileIntA(kSection, "BackColor", 0xFF0000, settingsPath);
    if (strcmp(crcText, "NOCRC") == 0) return ShowInstallError(IDS_NO_CRC, instance), false;

    uint32_t stored = package::ParseUnsignedDecimal(crcText);
    if (FileCrc32("setup.dat", instance) != stored)
        return ShowInstallError(IDS_CRC_FAILED, instance), false;

    settings->backColor = backColor;
    settings->dithered = (int)GetPrivateProfileIntA(kSection, "Dithered", 1, settingsPath);
    return true;
}

uint32_t FileCrc32(const char* path, HINSTANCE instance) {
    win32::UniqueModule zlib;
    package::ZlibApi api;
    if (!win32::LoadZlib(&zlib, &api)) return ShowInstallError(IDS_NO_ZLIB, instance), 0;
    if (!api.crc32) return ShowInstallError(IDS_NO_CRC32_FUNCTION, instance), 0;

    win32::UniqueFile file(fopen(path, "rb"));
    if (!file) return 0;
    auto block = std::make_unique<unsigned char[]>(kBlockSize);
    uint32_t crc = 0;
    package::StreamCrc32(api, file.get(), block.get(), &crc, [](uint64_t, size_t) {});
    return crc;
}

bool UnpackPackage(const char* packagePath, HINSTANCE instance, win32::TempFile* unpacked,
                   uint64_t maxBodySize, bool showWindow) {
    // Removed again on every failure below.
    win32::TempFile temp;
    if (!temp.Create("ZKS")) return win32::ShowLastError(), false;
    const char* tempName = temp.path();

    win32::UniqueModule zlib;
    package::ZlibApi api;
    if (!win32::LoadZlib(&zlib, &api) || !api.gzopen || !api.gzread || !api.gzclose ||
        !api.gzoffset)
        return ShowInstallError(IDS_NO_ZLIB, instance), false;

    // A package is one gzip stream. zlib would pass anything else through
    // unchanged, so a file without the gzip magic is refused here.
    uint64_t packageSize = 0;
    {
        win32::UniqueFile package(fopen(packagePath, "rb"));
        unsigned char magic[2] = {};
        if (!package || fread(magic, 1, 2, package.get()) != 2 || magic[0] != 0x1f ||
            magic[1] != 0x8b)
            return ShowInstallError(IDS_CRC_FAILED, instance), false;
        fseek(package.get(), 0, SEEK_END);
        packageSize = (uint32_t)ftell(package.get());
    }

    win32::UniqueFile out(fopen(tempName, "wb"));
    if (!out) return win32::ShowLastError(), false;
    package::GzFile gz = api.gzopen(packagePath, "rb");
    if (!gz) return ShowInstallError(IDS_CRC_FAILED, instance), false;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    win32::UniqueWindow window;
    if (showWindow) {
        window.reset(CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_UNPACKING), nullptr,
                                        UnpackingProc, 0));
        SetForegroundWindow(window.get());
    }
    HWND bar = GetDlgItem(window.get(), IDC_UNPACK_PROGRESS);
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));

    auto block = std::make_unique<unsigned char[]>(kBlockSize);
    bool damaged = false;
    bool written = true;
    // A few megabytes of compressed zeros unpack to gigabytes: stop as soon
    // as the body outgrows what the format allows, not when the disk is full.
    uint64_t bodySize = 0;
    for (;;) {
        int got = api.gzread(gz, block.get(), kBlockSize);
        if (got < 0 || (bodySize += (uint64_t)got) > maxBodySize) {
            damaged = true;
            break;
        }
        if (got > 0) written = fwrite(block.get(), 1, (size_t)got, out.get()) == (size_t)got;
        if (!written) break;
        if (got < (int)kBlockSize) {
            if (got > 0) SendMessageA(bar, PBM_SETPOS, 100, 0);
            break;
        }
        int percent = package::ProgressPercent((uint32_t)api.gzoffset(gz), packageSize);
        SendMessageA(bar, PBM_SETPOS, percent, 0);
    }
    // gzclose reports a stream that ended before its trailer.
    if (api.gzclose(gz) != package::kZOk) damaged = true;
    window.reset();
    if (fclose(out.release()) != 0) written = false;

    if (damaged) return ShowInstallError(IDS_CRC_FAILED, instance), false;
    if (!written) return win32::ShowLastError(), false;
    unpacked->Adopt(&temp);
    return true;
}

FILE* OpenPackageStream(const char* tempPath, package::PackageHeader* header) {
    win32::UniqueFile stream(fopen(tempPath, "rb"));
    if (!stream) return nullptr;
    uint8_t bytes[package::kPackageHeaderSize];
    if (fread(bytes, 1, sizeof bytes, stream.get()) != sizeof bytes) return nullptr;
    package::DecodePackageHeader(bytes, sizeof bytes, header);
    return stream.release();
}

}  // namespace installer
