// Test folders under Wine: a unique folder per test, removed with everything
// in it when the test ends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testpkg {

class TempDir {
  public:
    // Makes a new empty folder below the temporary directory.
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

// Deletes a folder and everything below it; true when it is gone.
bool RemoveTree(const std::string& path);
// Names of the files and folders directly in path, sorted.
std::vector<std::string> ListDir(const std::string& path);
// True when a file or folder of that name exists.
bool FileExists(const std::string& path);
// Waits until nothing exists at path, woken by changes in its parent
// folder; false when it is still there after timeoutMs.
bool WaitUntilGone(const std::string& path, DWORD timeoutMs = 20000);

}  // namespace testpkg
