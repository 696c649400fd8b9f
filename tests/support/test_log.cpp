#include "tests/support/test_log.h"

#include <windows.h>

#include "uninstall_log/wendlo.h"

namespace testpkg {

std::vector<std::string> ReadLogList(const std::string& log, const std::string& section,
                                     const std::string& prefix) {
    char** items = nullptr;
    int count = 0;
    LogReadList(log.c_str(), section.c_str(), prefix.c_str(), &items, &count);
    std::vector<std::string> texts(items, items + count);
    LogFreeList(items, count);
    return texts;
}

// A log whose name cannot be a file makes wendlo let go without leaving one.
void TestLog::ReleaseLog() { LogAddEntry("C:\\<no log>", "-", 2); }

void TestLog::SetAppName(const std::string& name) const {
    WritePrivateProfileStringA("main", "AppName", name.c_str(), path_.c_str());
}

void TestLog::Add(int kind, const std::string& text) const {
    LogAddEntry(path_.c_str(), text.c_str(), (BYTE)kind);
    ReleaseLog();
}

void TestLog::AddKey(const std::string& key, std::initializer_list<const char*> values) {
    LogAddRegKey(path_.c_str(), key.c_str());
    ++keys_;
    for (const char* value : values) LogAddRegValue(path_.c_str(), keys_, value);
    ReleaseLog();
}

}  // namespace testpkg
