#include "tests/builder/builder_fixture.h"

#include <atomic>
#include <thread>

#include "tools/dialog_driver/dialog_driver.h"

namespace buildtest {

namespace {

constexpr char kBoxCaption[] = "Zek2Dat DLL";

// Answers every builder box with OK until stop is set.
void AnswerBoxes(const std::atomic<bool>* stop, std::vector<Box>* boxes) {
    dlgdrive::Driver driver;
    if (!driver.Attach(GetCurrentProcessId())) return;
    while (!*stop) {
        HWND box = driver.WaitWindow(kBoxCaption, 50);
        if (!box) continue;
        Box seen;
        seen.text = driver.Text(box, 0xFFFF);
        if (HWND build = driver.WaitWindow(kBuildCaption, 1)) {
            seen.status = driver.Text(build, 1005);
            seen.detail = driver.Text(build, 1006);
        }
        boxes->push_back(seen);
        driver.Click(box, IDOK);
        driver.WaitGone(box);
    }
}

}  // namespace

Zek2DatDll::Zek2DatDll() {
    SetDllDirectoryA(SUITE_BIN_DIR);
    module = LoadLibraryA((std::string(SUITE_BIN_DIR) + "\\zek2dat.dll").c_str());
    if (!module) return;
    zek2dat = reinterpret_cast<builder::Zek2DatFn>(
        reinterpret_cast<void*>(GetProcAddress(module, builder::kZek2DatExport)));
    doCrc32 = reinterpret_cast<builder::DoCrc32Fn>(
        reinterpret_cast<void*>(GetProcAddress(module, builder::kDoCrc32Export)));
}

Zek2DatDll::~Zek2DatDll() {
    if (module) FreeLibrary(module);
    SetDllDirectoryA(nullptr);
}

void BuilderTest::SetUp() {
    ASSERT_TRUE(dll_.loaded()) << SUITE_BIN_DIR;
    tmp_ = MakeFolder("tmp");
    tmpOverride_.Set(tmp_);
    output_ = dir_ / "setup.dat";
    projectPath_ = dir_ / "project.zek";
}


void BuilderTest::SetZlibFolder(const std::string& folder) { SetDllDirectoryA(folder.c_str()); }

BuildRun BuilderTest::Build(const builder::Project& project) {
    EXPECT_TRUE(testpkg::WriteFileBytes(projectPath_, testproj::Encode(project)));
    return BuildFile(projectPath_, output_);
}

BuildRun BuilderTest::BuildFile(const std::string& projectPath, const std::string& outputPath) {
    BuildRun run;
    std::atomic<bool> stop(false);
    std::thread answer(AnswerBoxes, &stop, &run.boxes);
    SetLastError(0xDEADBEEF);
    run.result = dll_.zek2dat(projectPath.c_str(), outputPath.c_str());
    run.error = GetLastError();
    stop = true;
    answer.join();
    return run;
}

std::string BuilderTest::MakeFolder(const std::string& relativePath) {
    return dir_.MakeFolder(relativePath);
}

std::string BuilderTest::MakeFile(const std::string& relativePath, const testpkg::Bytes& data) {
    std::string path = dir_.MakeFile(relativePath, data);
    EXPECT_NE("", path) << relativePath;
    return path;
}

testpkg::Bytes BuilderTest::Body() const { return testpkg::Gunzip(Output()); }

}  // namespace buildtest
