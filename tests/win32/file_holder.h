// Another process that keeps a file in use, as a running program does:
// held open (sharing reads only) or loaded as a DLL, until the holder goes.
#pragma once

#include <string>

#include "tools/dialog_driver/dialog_driver.h"

namespace wintest {

class FileHolder {
  public:
    enum Mode { kOpen, kLoad };
    FileHolder(Mode mode, const std::string& path);
    ~FileHolder();  // lets the file go and waits for the process to end
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    // True once the other process holds the file.
    bool holding() const { return box_ != nullptr; }
    std::string Transcript() const { return driver_.Transcript(); }

  private:
    dlgdrive::Driver driver_;
    HWND box_ = nullptr;
};

}  // namespace wintest
