// Projects for the builder's tests: records filled field by field, and the
// whole project file as bytes or as a stdio stream. Portable.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "builder/project_writer.h"

namespace testproj {

builder::ProjectHeader Header(const char* appName);
builder::ProjectGroup Group(const char* name, uint8_t flags, const std::string& folder,
                            const std::string& subfolder = "");
builder::ProjectLink Shortcut(const char* name, const char* path, const char* target,
                              int16_t group, int16_t desktopFlag);
builder::ProjectLink Folder(const char* name, const char* path, int16_t desktopFlag);
builder::RegEntry Reg(uint32_t root, uint32_t type, const std::string& key, const std::string& name,
                      const std::string& data);
builder::RunPack Pack(const char* name, const std::string& program, int16_t orderKey,
                      int16_t waitField, const std::vector<std::string>& extras = {});
package::SetupTypeRecord SetupType(const char* name, uint32_t mask);

std::vector<uint8_t> Encode(const builder::Project& project);

// A temporary stdio stream holding bytes, positioned at its start; closed
// (and gone) with the object.
class Stream {
  public:
    explicit Stream(const std::vector<uint8_t>& bytes);
    ~Stream();
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;
    FILE* get() const { return file_; }

  private:
    FILE* file_;
};

}  // namespace testproj
