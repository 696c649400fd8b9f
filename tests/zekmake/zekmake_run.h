// Runs the real zekmake.exe under Wine and decodes what it wrote.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "package/records.h"
#include "tests/support/test_package.h"

namespace zektest {

struct Run {
    int exitCode = -1;  // -1: did not end within a minute (then ended)
    std::string out;
    std::string err;
};

// Starts exe with args in workDir and tempDir as its temporary-files folder;
// its standard output and error pass through files of workDir.
Run RunProgram(const std::string& exe, const std::string& args, const std::string& workDir,
               const std::string& tempDir);

struct Group {
    package::GroupHeader header;
    std::vector<testpkg::StoredFile> files;  // sorted by name
};
struct Pack {
    package::RunPackHeader header;
    std::vector<testpkg::StoredFile> files;  // in stored order
};

// The blocks of a package body, read by the offsets and counts of its
// header. False when a block lies outside the body.
struct Package {
    package::PackageHeader header = {};
    testpkg::Bytes licence, readme;
    std::vector<Group> groups;
    std::vector<package::SetupTypeRecord> setupTypes;
    std::vector<package::LinkRecord> desktop, startMenu;
    std::string registry;
    std::vector<Pack> before, after;
};
bool DecodePackage(const testpkg::Bytes& body, Package* out);

}  // namespace zektest
