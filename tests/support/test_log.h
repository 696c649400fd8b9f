// Uninstall logs written for tests through wendlo.dll, as setup.exe records
// an installation.
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace testpkg {

// The texts of one list of a log, read back through wendlo's LogReadList.
std::vector<std::string> ReadLogList(const std::string& log, const std::string& section,
                                     const std::string& prefix);

class TestLog {
  public:
    explicit TestLog(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }
    // [main] AppName, as the uninstall registration writes it.
    void SetAppName(const std::string& name) const;
    // kind: 1 created folder, 2 copied file, 3 shared DLL, 4 self-registering
    // file, 5 shell link.
    void Add(int kind, const std::string& text) const;
    // Records key (root name, backslash, sub-key path) with its value names
    // ("@" for the default value) as the next registry key; keys are counted
    // by this object, so it must record every key of its log.
    void AddKey(const std::string& key, std::initializer_list<const char*> values);
  private:
    // wendlo keeps the log it last appended to open until it appends to
    // another one; setup.exe has ended long before drevok.exe deletes the
    // log. Called after each record.
    static void ReleaseLog();

    std::string path_;
    int keys_ = 0;
};

}  // namespace testpkg
