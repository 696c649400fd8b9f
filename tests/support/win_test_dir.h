// Test folders under Wine: a unique folder per test, removed with everything
// in it when the test ends.
#pragma once

#include <windows.h>

#include <cstdint>
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

    // Creates the folder relativePath ("a\\b") below this one, parents
    // first, and returns its full path.
    std::string MakeFolder(const std::string& relativePath) const;
    // Writes data to relativePath below this folder, making its folders;
    // returns the full path, or "" when the file cannot be written.
    std::string MakeFile(const std::string& relativePath, const std::vector<uint8_t>& data) const;

  private:
    std::string path_;
};

// Points TMP (what GetTempPathA reads) of this process at a test's folder
// and puts the old value back when it goes.
class TmpOverride {
  public:
    TmpOverride();
    ~TmpOverride();
    TmpOverride(const TmpOverride&) = delete;
    TmpOverride& operator=(const TmpOverride&) = delete;
    void Set(const std::string& path);

  private:
    std::string old_;
};

// A test's own folder with an "app" folder to install into and a "temp"
// folder that TMP points at while the test runs, so that the temporary files
// the code under test makes can be counted and go with the test's folder.
class InstallFolders {
  public:
    InstallFolders();

    TempDir dir_;
    std::string tempDir_ = dir_ / "temp";
    std::string appDir_ = dir_ / "app";

  private:
    TmpOverride tmp_;
};

// A top-level window of this process with exactly that caption, or null.
// (FindWindow would also find the windows of other test programs.)
HWND FindOwnWindow(const char* caption);

// A shell special folder (CSIDL_DESKTOPDIRECTORY, CSIDL_PROGRAMS, ...).
std::string SpecialFolder(int csidl);
// The target of a shell link as IShellLinkA reads it back; empty when the
// link cannot be loaded.
std::string ShellLinkTarget(const std::string& linkPath);

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
