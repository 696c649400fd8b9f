// Uninstall logs written for tests through wendlo.dll, as setup.exe records
// an installation, and read back the same way.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

namespace testpkg {

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
    // ("@" for the default value) as the next registry key.
    void AddKey(const std::string& key, std::initializer_list<const char*> values);
    std::vector<std::string> List(const char* section, const char* prefix) const;

  private:
    std::string path_;
    int keys_ = 0;
};

}  // namespace testpkg
