#include "tests/support/test_log.h"

#include <windows.h>

#include "uninstall_log/wendlo.h"

namespace testpkg {

namespace {

// wendlo keeps the log it last appended to open until it appends to another
// one; setup.exe has ended long before drevok.exe deletes the log. A log
// whose name cannot be a file makes it let go without leaving a file.
void ReleaseLog() { LogAddEntry("C:\\<no log>", "-", 2); }

}  // namespace

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

std::vector<std::string> TestLog::List(const char* section, const char* prefix) const {
    char** items = nullptr;
    int count = 0;
    LogReadList(path_.c_str(), section, prefix, &items, &count);
    std::vector<std::string> texts(items, items + count);
    LogFreeList(items, count);
    return texts;
}

}  // namespace testpkg
