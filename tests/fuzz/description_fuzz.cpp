// The project description as zekmake reads it, on a machine where every
// path is a file and a folder, every folder holds a file named as itself,
// every text file holds the description's bytes, and the code page holds
// Latin-1, so that every check past the TOML parser is reached.
#include <string>
#include <vector>

#include "tools/zekmake/description.h"

namespace {

class AnythingHost : public zekmake::Host {
  public:
    explicit AnythingHost(std::string_view description) : text(description) {}
    std::string text;
    bool IsFile(const std::string&) const override { return true; }
    bool IsFolder(const std::string&) const override { return true; }
    std::vector<std::string> Subfolders(const std::string&) const override { return {}; }
    std::vector<std::string> Files(const std::string& path) const override {
        return {path.substr(path.rfind('\\') + 1)};
    }
    // The description's own bytes stand for every text file.
    bool ReadFile(const std::string&, std::string* bytes) const override {
        *bytes = text;
        return true;
    }
    bool ToAnsi(std::string_view utf8, std::string* ansi) const override {
        ansi->clear();
        for (size_t i = 0; i < utf8.size(); ++i) {
            uint8_t c = (uint8_t)utf8[i];
            if (c < 0x80) {
                ansi->push_back((char)c);
            } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
                ansi->push_back((char)(((c & 0x03) << 6) | ((uint8_t)utf8[++i] & 0x3F)));
            } else {
                return false;
            }
        }
        return true;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    zekmake::Description d;
    std::vector<zekmake::Mistake> mistakes;
    if (zekmake::ReadDescription(text, "C:\\proj", AnythingHost(text), &d, &mistakes)) {
        if (d.project.header.uninstall) zekmake::AddUninstallGroup("C:\\tmp\\uninstall", &d.project);
        std::vector<uint8_t> project;
        builder::EncodeProject(d.project, &project);
    } else {
        for (const zekmake::Mistake& m : mistakes) zekmake::FormatMistake("d.toml", m);
    }
    return 0;
}
