// Builds under Wine through the real zek2dat.dll, bound by name as the
// authoring tool binds it: the build runs on the test's thread while a
// second thread answers the builder's message boxes and notes what the
// build window showed at that moment. Each test has its own folder and its
// own temporary-files folder, so leftovers of the builder can be seen.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "builder/project_writer.h"
#include "builder/zek2dat_api.h"
#include "tests/builder/project_helpers.h"
#include "tests/support/test_package.h"
#include "tests/support/win_test_dir.h"

namespace buildtest {

constexpr char kBuildCaption[] = "Building Dat File...";

// A message box of the builder, with the build window's status and detail
// lines while it was shown.
struct Box {
    std::string text;
    std::string status;
    std::string detail;
};

struct BuildRun {
    int result = -1;
    DWORD error = 0;  // GetLastError() right after the call
    std::vector<Box> boxes;
};

// zek2dat.dll from the suite's bin folder, bound by name; zlib.dll is then
// looked for in that folder too.
class Zek2DatDll {
  public:
    Zek2DatDll();
    ~Zek2DatDll();
    Zek2DatDll(const Zek2DatDll&) = delete;
    Zek2DatDll& operator=(const Zek2DatDll&) = delete;
    bool loaded() const { return zek2dat && doCrc32; }

    HMODULE module = nullptr;
    builder::Zek2DatFn zek2dat = nullptr;
    builder::DoCrc32Fn doCrc32 = nullptr;
};

class BuilderTest : public ::testing::Test {
  protected:
    void SetUp() override;

    // Writes the project file and builds it into output_.
    BuildRun Build(const builder::Project& project);
    BuildRun BuildFile(const std::string& projectPath, const std::string& outputPath);

    // Makes a file below the test folder (folders included); returns its path.
    std::string MakeFile(const std::string& relativePath, const testpkg::Bytes& data);
    std::string MakeFolder(const std::string& relativePath);
    // The package body inside output_ (empty when it is no gzip stream).
    testpkg::Bytes Body() const;
    testpkg::Bytes Output() const { return testpkg::ReadFileBytes(output_); }
    // What the builder left in the temporary-files folder.
    std::vector<std::string> TempFiles() const { return testpkg::ListDir(tmp_); }
    // Lets the builder find zlib.dll in folder (the suite's bin folder by default).
    void SetZlibFolder(const std::string& folder);

    testpkg::TempDir dir_;
    std::string tmp_;
    std::string output_;
    std::string projectPath_;
    Zek2DatDll dll_;

  private:
    testpkg::TmpOverride tmpOverride_;
};

using testpkg::Pattern;

}  // namespace buildtest
