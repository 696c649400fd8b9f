// The program in front of a one-file installer (zekmake --single-file): it
// unpacks the files appended to itself into a fresh folder of the
// temporary-files directory, checks each against the size and CRC-32 of the
// directory, runs setup.exe there with this program's own command-line tail,
// removes the folder and ends with setup.exe's exit code. A cut or damaged
// file is told in a message box and ends with 0, leaving nothing behind.
//
// No C runtime: the entry point is StubEntry, and only KERNEL32, USER32 and
// the memory functions of MSVCRT are imported, so that the stub stays a few
// kilobytes.
#include <windows.h>

#include "package/bytes.h"
#include "package/one_file.h"
#include "uninstaller/command_tail.h"

namespace {

// Exit codes of the stub itself; any other comes from setup.exe.
enum StubExit : UINT { kRefused = 0 };

constexpr char kCaption[] = "Installation Error";
constexpr char kDamaged[] =
    "This installer file is damaged or incomplete.\n"
    "Please download or copy it again.";
constexpr char kNoRoom[] =
    "The installer cannot unpack its files into the temporary-files folder.\n"
    "Free some space there and start it again.";
constexpr char kNoStart[] = "The installer cannot start setup.exe (error %lu).";
constexpr DWORD kBlockSize = 64 * 1024;

bool ReadAt(void* context, uint64_t offset, uint8_t* buffer, size_t len) {
    // The plain forms of the file functions: the ...Ex ones are missing
    // before Windows 2000, and a one file stays below 4 GiB.
    HANDLE file = static_cast<HANDLE>(context);
    LONG high = (LONG)(offset >> 32);
    DWORD got = 0;
    SetLastError(NO_ERROR);
    if (SetFilePointer(file, (LONG)(DWORD)offset, &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return false;
    return ReadFile(file, buffer, (DWORD)len, &got, nullptr) && got == len;
}

// The unpacked files and their folder; Remove deletes what was made.
struct Folder {
    char path[MAX_PATH];
    char files[package::kOneFileMaxEntries][MAX_PATH];
    size_t fileCount;

    bool Create() {
        char temp[MAX_PATH];
        DWORD len = GetTempPathA(MAX_PATH, temp);
        if (len == 0 || len >= MAX_PATH || !GetTempFileNameA(temp, "ZKO", 0, path)) return false;
        // The unique name was made as a file; the folder takes its place.
        return DeleteFileA(path) && CreateDirectoryA(path, nullptr);
    }
    void Remove() {
        for (size_t i = 0; i < fileCount; ++i) DeleteFileA(files[i]);
        RemoveDirectoryA(path);
    }
};

enum class Unpacked { kDone, kDamaged, kNoRoom };

// Copies one entry's bytes into its file in the folder, checking the CRC-32.
Unpacked UnpackEntry(HANDLE self, const package::OneFileEntry& entry, uint8_t* block,
                     Folder* folder) {
    char* target = folder->files[folder->fileCount];
    if (!package::JoinPath(target, MAX_PATH, folder->path, entry.name)) return Unpacked::kNoRoom;
    HANDLE out = CreateFileA(target, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return Unpacked::kNoRoom;
    ++folder->fileCount;
    Unpacked result = Unpacked::kDone;
    uint32_t crc = 0;
    for (uint32_t done = 0; done < entry.size && result == Unpacked::kDone;) {
        DWORD len = entry.size - done < kBlockSize ? entry.size - done : kBlockSize;
        DWORD written = 0;
        if (!ReadAt(self, (uint64_t)entry.offset + done, block, len))
            result = Unpacked::kDamaged;
        else if (!WriteFile(out, block, len, &written, nullptr) || written != len)
            result = Unpacked::kNoRoom;
        crc = package::Crc32(crc, block, len);
        done += len;
    }
    if (!CloseHandle(out) && result == Unpacked::kDone) result = Unpacked::kNoRoom;
    if (result == Unpacked::kDone && crc != entry.crc) result = Unpacked::kDamaged;
    return result;
}

UINT Refuse(const char* text) {
    MessageBoxA(nullptr, text, kCaption, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    return kRefused;
}

// Starts setup.exe in the folder with tail behind its quoted path and waits.
bool RunSetup(const Folder& folder, const char* tail, DWORD* exitCode) {
    char program[MAX_PATH];
    if (!package::JoinPath(program, MAX_PATH, folder.path, package::kOneFileProgram)) return false;
    size_t programLen = lstrlenA(program), tailLen = lstrlenA(tail);
    HANDLE heap = GetProcessHeap();
    char* line = static_cast<char*>(HeapAlloc(heap, 0, programLen + tailLen + 4));
    if (!line) return false;
    line[0] = '"';
    lstrcpyA(line + 1, program);
    lstrcpyA(line + 1 + programLen, tailLen ? "\" " : "\"");
    lstrcatA(line, tail);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    BOOL started = CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, folder.path,
                                  &startup, &process);
    HeapFree(heap, 0, line);
    if (!started) return false;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, exitCode);
    CloseHandle(process.hProcess);
    return true;
}

UINT Run() {
    char self[MAX_PATH];
    DWORD selfLen = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (selfLen == 0 || selfLen >= MAX_PATH) return Refuse(kDamaged);
    HANDLE file = CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Refuse(kDamaged);
    DWORD sizeHigh = 0;
    SetLastError(NO_ERROR);
    DWORD sizeLow = GetFileSize(file, &sizeHigh);
    uint64_t size = (uint64_t)sizeHigh << 32 | sizeLow;
    package::OneFileEntry entries[package::kOneFileMaxEntries];
    size_t count = 0;
    if ((sizeLow == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) ||
        !package::ReadOneFileDirectory(ReadAt, file, size, entries, &count)) {
        CloseHandle(file);
        return Refuse(kDamaged);
    }

    Folder folder = {};
    HANDLE heap = GetProcessHeap();
    uint8_t* block = static_cast<uint8_t*>(HeapAlloc(heap, 0, kBlockSize));
    Unpacked unpacked = block && folder.Create() ? Unpacked::kDone : Unpacked::kNoRoom;
    for (size_t i = 0; i < count && unpacked == Unpacked::kDone; ++i)
        unpacked = UnpackEntry(file, entries[i], block, &folder);
    CloseHandle(file);
    if (block) HeapFree(heap, 0, block);
    if (unpacked != Unpacked::kDone) {
        folder.Remove();
        return Refuse(unpacked == Unpacked::kDamaged ? kDamaged : kNoRoom);
    }

    DWORD exitCode = kRefused;
    bool ran = RunSetup(folder, uninstaller::CommandTail(GetCommandLineA()), &exitCode);
    DWORD error = GetLastError();
    folder.Remove();
    if (ran) return exitCode;
    char text[sizeof kNoStart + 16];
    wsprintfA(text, kNoStart, error);
    return Refuse(text);
}

}  // namespace

extern "C" void StubEntry() { ExitProcess(Run()); }
