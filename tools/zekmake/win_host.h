// What the description reader asks of Windows: files, folders and the
// conversion of UTF-8 texts to the ANSI code page.
#pragma once

#include "tools/zekmake/description.h"

namespace zekmake {

class WinHost : public Host {
  public:
    bool IsFile(const std::string& path) const override;
    bool IsFolder(const std::string& path) const override;
    std::vector<std::string> Subfolders(const std::string& path) const override;
    std::vector<std::string> Files(const std::string& path) const override;
    bool ReadFile(const std::string& path, std::string* bytes) const override;
    bool ToAnsi(std::string_view utf8, std::string* ansi) const override;
};

}  // namespace zekmake
