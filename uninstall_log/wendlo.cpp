#include "uninstall_log/wendlo.h"

#include <cstring>
#include <string>

#include "uninstall_log/log_format.h"
#include "win32/unique_handle.h"

namespace {

// The log this process writes stays open between records (one write per
// record is what keeps a long installation's log linear), and this process
// remembers what it appended last, so that records of one list that follow
// each other share one section header. Any other change to the file (the
// profile writer setting AppName, another process) shows as a different
// size, and the next record then starts with its header again. The handle
// shares reading, writing and deletion, so it is in nobody's way.
struct OpenLog {
    std::string path;
    win32::UniqueHandle file;
    ULONGLONG size = 0;
    std::string section;
} openLog;

bool OpenForAppend(const char* log) {
    if (openLog.file && _stricmp(openLog.path.c_str(), log) == 0) return true;
    openLog.file.reset(CreateFileA(log, FILE_APPEND_DATA,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    openLog.path = log;
    openLog.section.clear();
    return bool(openLog.file);
}

// True when the file's last byte is a line end (or the file is empty).
bool EndsWithLineEnd(const char* log, ULONGLONG size) {
    if (size == 0) return true;
    win32::UniqueHandle reader(CreateFileA(log, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
    char last = '\n';
    DWORD got = 0;
    LARGE_INTEGER at = {};
    at.QuadPart = (LONGLONG)size - 1;
    if (reader && SetFilePointerEx(reader.get(), at, nullptr, FILE_BEGIN))
        ReadFile(reader.get(), &last, 1, &got, nullptr);
    return last == '\n';
}

bool Append(const char* log, const std::string& section, const std::string& prefix,
            const std::string& text) {
    if (!OpenForAppend(log)) return false;
    LARGE_INTEGER size = {};
    GetFileSizeEx(openLog.file.get(), &size);
    bool continues = openLog.size == (ULONGLONG)size.QuadPart &&
                     _stricmp(openLog.section.c_str(), section.c_str()) == 0;
    std::string lines = uninstall_log::RecordLines(section, prefix, text, !continues);
    // A file written by someone else may lack its last line end.
    if (!continues && !EndsWithLineEnd(log, size.QuadPart)) lines = "\r\n" + lines;
    DWORD written = 0;
    if (!WriteFile(openLog.file.get(), lines.data(), (DWORD)lines.size(), &written, nullptr) ||
        written != lines.size()) {
        openLog.file.reset();
        return false;
    }
    openLog.size = (ULONGLONG)size.QuadPart + written;
    openLog.section = section;
    return true;
}

std::string ReadWholeFile(const char* path) {
    std::string text;
    win32::UniqueHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return text;
    char block[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), block, sizeof block, &got, nullptr) && got > 0) text.append(block, got);
    return text;
}

char* HeapCopy(const std::string& text) {
    char* copy = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, text.size() + 1));
    if (copy) memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

}  // namespace

extern "C" {

int WINAPI LogAddEntry(const char* log, const char* text, BYTE kind) {
    uninstall_log::ListName list = uninstall_log::ListForKind(kind);
    if (!log || !text || !list.section) return 0;
    return Append(log, list.section, list.prefix, text);
}

int WINAPI LogAddRegKey(const char* log, const char* key) {
    if (!log || !key) return 0;
    return Append(log, "Registry Keys", "RegKey", key);
}

int WINAPI LogAddRegValue(const char* log, int n, const char* name) {
    if (!log || !name || n < 1) return 0;
    return Append(log, "RegKey" + std::to_string(n), "Value", name);
}

void WINAPI LogReadList(const char* log, const char* section, const char* prefix, char*** items,
                        int* count) {
    *items = nullptr;
    *count = 0;
    if (!log || !section || !prefix) return;
    std::vector<std::string> texts =
        uninstall_log::ReadList(ReadWholeFile(log), section, prefix);
    if (texts.empty()) return;
    char** array = static_cast<char**>(HeapAlloc(GetProcessHeap(), 0, texts.size() * sizeof(char*)));
    if (!array) return;
    int made = 0;
    for (const std::string& text : texts) {
        if (!(array[made] = HeapCopy(text))) break;
        ++made;
    }
    *items = array;
    *count = made;
}

void WINAPI LogFreeList(char** items, int count) {
    if (!items) return;
    for (int i = 0; i < count; ++i) HeapFree(GetProcessHeap(), 0, items[i]);
    HeapFree(GetProcessHeap(), 0, items);
}

}  // extern "C"
