#include "installer/run_pack.h"

#include <cstring>

#include "installer/extract.h"
#include "package/bytes.h"
#include "package/file_name.h"
#include "package/records.h"
#include "win32/message_box.h"
#include "win32/temp_file.h"
#include "win32/unique_handle.h"

namespace installer {

namespace {

void ReportDamagedList(HWND owner) {
    win32::ShowMessage(owner, "Error while reading the runpack header !", "Setup Error",
                MB_OK | MB_ICONWARNING);
}

// Each pack gets a folder of its own: a program that ends early clears only
// its own files, never those of a pack extracted after it.
bool MakeExtractionDirectory(char* directory, HWND owner) {
    if (win32::NewTempFolder("zkd", directory)) return true;
    DWORD error = GetLastError();
    char tempDir[MAX_PATH] = {};
    if (!directory[0]) GetTempPathA(MAX_PATH, tempDir);
    char text[MAX_PATH + 96];
    snprintf(text, sizeof text, "Failed to create directory : %s\nGetLastError returned: %d",
             directory[0] ? directory : tempDir, (int)error);
    win32::ShowMessage(owner, text, "RunPack Extraction Error", MB_OK | MB_ICONWARNING);
    return false;
}

// Extracts one stored file of a pack into directory. A file that cannot be
// made (or whose name would leave the folder) is skipped over, so the next
// entry is still read from its place. False when the package ends first.
bool ExtractPackFile(FILE* stream, const char* directory) {
    uint8_t bytes[package::kFileEntrySize];
    package::FileEntry entry;
    if (fread(bytes, 1, sizeof bytes, stream) != sizeof bytes) return false;
    package::DecodeFileEntry(bytes, sizeof bytes, &entry);
    if (StreamBytesLeft(stream) < entry.size) return false;

    int64_t dataStart = _ftelli64(stream);
    char path[MAX_PATH];
    if (package::IsPlainName(entry.name) && package::JoinPath(path, sizeof path, directory, entry.name))
        ExtractToFile(stream, entry.size, nullptr, path);
    return _fseeki64(stream, dataStart + entry.size, SEEK_SET) == 0;
}

DWORD WINAPI RunPackThread(void* request) {
    RunPackProgram(std::unique_ptr<RunRequest>(static_cast<RunRequest*>(request)));
    return 0;
}

void RemoveExtraction(const char* directory) {
    ClearDirectoryFiles(directory);
    RemoveDirectoryA(directory);
}

bool RunPack(FILE* stream, HWND owner) {
    uint8_t bytes[package::kRunPackHeaderSize];
    package::RunPackHeader header;
    if (fread(bytes, 1, sizeof bytes, stream) != sizeof bytes)
        return ReportDamagedList(owner), false;
    package::DecodeRunPackHeader(bytes, sizeof bytes, &header);

    auto request = std::make_unique<RunRequest>();
    if (!MakeExtractionDirectory(request->directory, owner)) return false;
    for (uint32_t i = 0; i < header.fileCount; ++i) {
        if (!ExtractPackFile(stream, request->directory)) {
            RemoveExtraction(request->directory);
            return ReportDamagedList(owner), false;
        }
    }
    package::CopyText(request->program, sizeof request->program, header.programName);

    if (header.waitFlag) {
        RunPackProgram(std::move(request));
        return true;
    }
    // The thread owns the request; nobody waits for it, also not at exit.
    win32::UniqueKernelObject thread(CreateThread(nullptr, 0, RunPackThread, request.get(), 0, nullptr));
    if (thread)
        request.release();
    else
        RunPackProgram(std::move(request));  // no thread to be had: run it here
    return true;
}

}  // namespace

bool RunPackList(FILE* stream, unsigned packCount, uint32_t firstOffset, HWND owner) {
    int64_t noted = _ftelli64(stream);
    _fseeki64(stream, firstOffset, SEEK_SET);
    bool ok = true;
    for (unsigned i = 0; ok && i < packCount; ++i) ok = RunPack(stream, owner);
    _fseeki64(stream, noted, SEEK_SET);
    return ok;
}

void RunPackProgram(std::unique_ptr<RunRequest> request) {
    char program[MAX_PATH];
    if (package::IsPlainName(request->program) &&
        package::JoinPath(program, sizeof program, request->directory, request->program)) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        // No handles are inherited: the program would otherwise hold the
        // package stream open and setup could not delete its temporary copy.
        if (CreateProcessA(program, nullptr, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                           nullptr, request->directory, &startup, &info)) {
            win32::UniqueKernelObject process(info.hProcess);
            CloseHandle(info.hThread);
            WaitForSingleObject(process.get(), INFINITE);
        }
    }
    RemoveExtraction(request->directory);
}

void ClearDirectoryFiles(const char* directory) {
    char pattern[MAX_PATH];
    if (!package::JoinPath(pattern, sizeof pattern, directory, "*.*")) return;
    WIN32_FIND_DATAA found;
    win32::UniqueFindHandle find(FindFirstFileA(pattern, &found));
    if (!find) return;
    do {
        if (strcmp(found.cFileName, ".") == 0 || strcmp(found.cFileName, "..") == 0) continue;
        char path[MAX_PATH];
        if (package::JoinPath(path, sizeof path, directory, found.cFileName)) DeleteFileA(path);
    } while (FindNextFileA(find.get(), &found));
}

}  // namespace installer
