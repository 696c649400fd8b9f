// Builds of real projects under Wine through zek2dat.dll: the package body
// decoded field by field, offsets and block order included; the error codes,
// cancel, a missing zlib.dll, and projects that are damaged or that the
// package cannot hold, each of which must leave no package and no temporary
// file behind.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <thread>

#include "builder/resource.h"
#include "package/bytes.h"
#include "tests/builder/builder_fixture.h"
#include "tools/dialog_driver/dialog_driver.h"
#include "win32/progress_display.h"

using namespace buildtest;
using testpkg::Bytes;

namespace {

constexpr uint32_t kHkcu = 0x80000001, kHklm = 0x80000002;
constexpr char kReadError[] = "Error reading from zekfile !";

uint32_t U32At(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}

std::string TextAt(const Bytes& b, size_t at, size_t width) {
    std::string s;
    for (size_t i = 0; i < width && b[at + i]; ++i) s += (char)b[at + i];
    return s;
}

Bytes Slice(const Bytes& b, size_t at, size_t size) {
    if (at + size > b.size()) return Bytes();
    return Bytes(b.begin() + at, b.begin() + at + size);
}

std::string Str(const Bytes& b) { return std::string(b.begin(), b.end()); }

// A file entry and its data, in a group (data after all entries) or a run
// pack (data after each entry).
struct Stored {
    std::string name;
    uint32_t size;
};

class BuildTest : public BuilderTest {
  protected:
    // Reads count entries at at and returns them; at moves past them.
    std::vector<Stored> Entries(const Bytes& body, size_t* at, uint32_t count) {
        std::vector<Stored> entries;
        for (uint32_t i = 0; i < count; ++i, *at += 264)
            entries.push_back({TextAt(body, *at, 260), U32At(body, *at + 260)});
        return entries;
    }

    // A build that failed cleanly: no package, the output file empty as the
    // build created it, nothing left in the temporary folder.
    void ExpectNoPackage(const BuildRun& run) {
        EXPECT_EQ(0, run.result);
        EXPECT_TRUE(testpkg::FileExists(output_));
        EXPECT_EQ(0u, Output().size());
        EXPECT_EQ(std::vector<std::string>(), TempFiles());
        // Other test programs run side by side and show the same windows.
        EXPECT_EQ(nullptr, testpkg::FindOwnWindow(kBuildCaption));
    }
};

}  // namespace

TEST_F(BuildTest, FullProjectIsPackedFieldByField) {
    Bytes licence = {'L', 'i', 'c', '\r', '\n', 0, 'x'};
    Bytes readme(5000, 'r');
    builder::Project p = {};
    p.header = testproj::Header("Full App");
    package::CopyText(p.header.secondName, 24, "Second");
    package::CopyText(p.header.version, 8, "2.0");
    package::CopyText(p.header.title, 64, std::string(63, 'T').c_str());  // cut to 61
    package::CopyText(p.header.licencePath, 256, MakeFile("licence.txt", licence).c_str());
    package::CopyText(p.header.readmePath, 256, MakeFile("readme.txt", readme).c_str());
    p.header.licenceFlag = 0x0101;
    p.header.readmeFlag = 1;
    p.header.projectValue = 0x01020304;
    p.header.uninstall = 1;
    p.header.reboot = 2;
    p.header.projectFlag = 3;
    p.header.allowedSystems = 0x33;

    std::map<std::string, Bytes> g0 = {
        {"empty.bin", {}}, {"block.bin", Pattern(4096, 1)}, {"more.bin", Pattern(4097, 2)}};
    for (const auto& [name, data] : g0) MakeFile("g0\\" + name, data);
    MakeFile("g0\\sub\\inner.txt", Pattern(10, 3));  // a subfolder is not packed
    MakeFolder("g1");
    Bytes one = Pattern(300, 4);
    MakeFile("g2\\one.txt", one);
    p.groups = {testproj::Group("Program", 0x11, dir_ / "g0"),
                testproj::Group("Empty", 0x12, dir_ / "g1"),
                testproj::Group("Tools", 0x19, dir_ / "g2", "Tools Sub")};
    p.setupTypes = {testproj::SetupType("Typical", 7), testproj::SetupType("Minimal", 1)};
    p.desktopLinks = {testproj::Shortcut("App", "App", "block.bin", 0, 1),
                      testproj::Folder("Suite", "Suite", 1)};
    p.startMenuLinks = {testproj::Folder("Suite", "Suite", 0),
                        testproj::Shortcut("One", "Suite\\One", "one.txt", 2, 0),
                        testproj::Shortcut("More", "Suite\\Deep\\More", "more.bin", 0, 0)};
    p.registry = {testproj::Reg(kHkcu, 0, "Software\\Full", "Path", "C:\\A \"B\""),
                  testproj::Reg(kHklm, 1, "Software\\Full", "Count", "0x1a"),
                  testproj::Reg(kHklm, 2, "Software\\Full", "Other", "x"),
                  testproj::Reg(kHkcu, 0, "Software\\Full", "(Default)", "")};
    Bytes prep = Pattern(100, 5), dll = Pattern(4097, 6), check = Pattern(5000, 7);
    std::string prepPath = MakeFile("packs\\prep.exe", prep);
    std::string dllPath = MakeFile("packs\\helper.dll", dll);
    std::string cfgPath = MakeFile("packs\\data.cfg", {});
    std::string checkPath = MakeFile("packs\\check.exe", check);
    std::string donePath = MakeFile("packs\\done.exe", {'d'});
    p.beforePacks = {testproj::Pack("Five", prepPath, 5, 1, {dllPath}),
                     testproj::Pack("Nine", checkPath, 9, 0, {cfgPath, dllPath})};
    p.afterPacks = {testproj::Pack("Last", donePath, 0, 2)};

    BuildRun run = Build(p);
    ASSERT_EQ(1, run.result);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
    Bytes body = Body();
    ASSERT_GE(body.size(), 328u);

    // Header: copied fields.
    EXPECT_EQ(0, memcmp(body.data(), "[ZKDAT]\0", 8));
    EXPECT_EQ("Full App", TextAt(body, 8, 24));
    EXPECT_EQ("Second", TextAt(body, 32, 24));
    EXPECT_EQ("2.0", TextAt(body, 56, 8));
    EXPECT_EQ(0x01020304u, U32At(body, 64));
    EXPECT_EQ(std::string(61, 'T'), TextAt(body, 68, 62));
    EXPECT_EQ(0, body[129]);
    EXPECT_EQ((Bytes{1, 2, 3, 1, 1, 3, 2, 3, 2, 0x33}), Slice(body, 130, 10));
    EXPECT_EQ((Bytes{2, 1, 0, 0}), Slice(body, 196, 4));
    EXPECT_EQ(Bytes(120, 0), Slice(body, 208, 120));

    // Blocks in order, each starting where the previous one ends.
    size_t at = 328;
    EXPECT_EQ(at, U32At(body, 140));
    EXPECT_EQ(licence.size(), U32At(body, 144));
    EXPECT_EQ(licence, Slice(body, at, licence.size()));
    at += licence.size();
    EXPECT_EQ(at, U32At(body, 148));
    EXPECT_EQ(readme.size(), U32At(body, 152));
    EXPECT_EQ(readme, Slice(body, at, readme.size()));
    at += readme.size();

    EXPECT_EQ(at, U32At(body, 156));
    size_t groupsStart = at;
    {
        // Group 0: three files in listing order, their data after the entries.
        EXPECT_EQ(Bytes(255, 0), Slice(body, at, 255));
        EXPECT_EQ(0x11, body[at + 255]);
        EXPECT_EQ(3u, U32At(body, at + 256));
        EXPECT_EQ(4096u + 4097u, U32At(body, at + 260));
        at += 264;
        std::vector<Stored> entries = Entries(body, &at, 3);
        std::vector<std::string> names;
        for (const Stored& e : entries) {
            SCOPED_TRACE(e.name);
            names.push_back(e.name);
            ASSERT_EQ(1u, g0.count(e.name));
            EXPECT_EQ(g0[e.name].size(), e.size);
            EXPECT_EQ(g0[e.name], Slice(body, at, e.size));
            at += e.size;
        }
        std::sort(names.begin(), names.end());
        EXPECT_EQ((std::vector<std::string>{"block.bin", "empty.bin", "more.bin"}), names);

        // Group 1: an empty folder is a header alone.
        EXPECT_EQ(0x12, body[at + 255]);
        EXPECT_EQ(0u, U32At(body, at + 256));
        EXPECT_EQ(0u, U32At(body, at + 260));
        at += 264;

        // Group 2: with its subfolder name.
        EXPECT_EQ("Tools Sub", TextAt(body, at, 255));
        EXPECT_EQ(0x19, body[at + 255]);
        EXPECT_EQ(1u, U32At(body, at + 256));
        EXPECT_EQ(300u, U32At(body, at + 260));
        at += 264;
        std::vector<Stored> tools = Entries(body, &at, 1);
        EXPECT_EQ("one.txt", tools[0].name);
        EXPECT_EQ(one, Slice(body, at, 300));
        at += 300;
    }
    EXPECT_EQ(at - groupsStart, U32At(body, 160));

    EXPECT_EQ(at, U32At(body, 164));
    EXPECT_EQ(64u, U32At(body, 168));
    EXPECT_EQ("Typical", TextAt(body, at, 28));
    EXPECT_EQ(7u, U32At(body, at + 28));
    EXPECT_EQ("Minimal", TextAt(body, at + 32, 28));
    EXPECT_EQ(1u, U32At(body, at + 60));
    at += 64;

    // Desktop block before the Start-menu block.
    EXPECT_EQ(at, U32At(body, 180));
    EXPECT_EQ(2u * 324, U32At(body, 184));
    EXPECT_EQ((Bytes{1, 0xFF, 0, 0}), Slice(body, at, 4));
    EXPECT_EQ("App", TextAt(body, at + 4, 32));
    EXPECT_EQ("block.bin", TextAt(body, at + 36, 32));
    EXPECT_EQ("", TextAt(body, at + 68, 256));  // a top-level shortcut
    at += 324;
    EXPECT_EQ((Bytes{1, 0, 0, 0}), Slice(body, at, 4));
    EXPECT_EQ(Bytes(32, 0), Slice(body, at + 36, 32));
    EXPECT_EQ("Suite", TextAt(body, at + 68, 256));
    at += 324;
    EXPECT_EQ(at, U32At(body, 172));
    EXPECT_EQ(3u * 324, U32At(body, 176));
    EXPECT_EQ((Bytes{0, 0, 0, 0}), Slice(body, at, 4));
    EXPECT_EQ("Suite", TextAt(body, at + 68, 256));
    at += 324;
    EXPECT_EQ((Bytes{0, 0xFF, 2, 0}), Slice(body, at, 4));
    EXPECT_EQ("One", TextAt(body, at + 4, 32));
    EXPECT_EQ("one.txt", TextAt(body, at + 36, 32));
    EXPECT_EQ("Suite", TextAt(body, at + 68, 256));
    at += 324;
    EXPECT_EQ("Suite\\Deep", TextAt(body, at + 68, 256));
    at += 324;

    std::string registry =
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\Full]\r\n\"Path\"=\"C:\\\\A \\\"B\\\"\"\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Full]\r\n\"Count\"=dword:1A\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Full]\r\n\"Other\"=\r\n"
        "[HKEY_CURRENT_USER\\Software\\Full]\r\n@=\"\"\r\n";
    EXPECT_EQ(at, U32At(body, 188));
    EXPECT_EQ(registry.size(), U32At(body, 192));
    EXPECT_EQ(registry, Str(Slice(body, at, registry.size())));
    at += registry.size();

    // Run packs: "Nine" (key 9) before "Five" (key 5); each file's entry,
    // named by its last path component, directly followed by its data.
    auto expectPack = [&](const char* name, const char* program, uint32_t wait,
                          std::vector<std::pair<std::string, Bytes>> files) {
        SCOPED_TRACE(name);
        EXPECT_EQ(name, TextAt(body, at, 32));
        EXPECT_EQ(program, TextAt(body, at + 32, 32));
        EXPECT_EQ(wait, U32At(body, at + 64));
        EXPECT_EQ(files.size(), U32At(body, at + 68));
        at += 72;
        for (const auto& [fileName, data] : files) {
            EXPECT_EQ(fileName, TextAt(body, at, 260));
            EXPECT_EQ(data.size(), U32At(body, at + 260));
            at += 264;
            EXPECT_EQ(data, Slice(body, at, data.size()));
            at += data.size();
        }
    };
    EXPECT_EQ(at, U32At(body, 200));
    expectPack("Nine", "check.exe", 0, {{"data.cfg", {}}, {"helper.dll", dll}, {"check.exe", check}});
    expectPack("Five", "prep.exe", 1, {{"helper.dll", dll}, {"prep.exe", prep}});
    EXPECT_EQ(at, U32At(body, 204));
    expectPack("Last", "done.exe", 0, {{"done.exe", {'d'}}});
    EXPECT_EQ(body.size(), at);
}

// All counts 0, a licence flag whose file is missing, no readme flag.
TEST_F(BuildTest, ProjectWithoutBlocks) {
    builder::Project p = {};
    p.header = testproj::Header("Bare");
    p.header.licenceFlag = 1;
    package::CopyText(p.header.licencePath, 256, (dir_ / "missing.txt").c_str());
    BuildRun run = Build(p);
    ASSERT_EQ(1, run.result);
    Bytes body = Body();
    ASSERT_EQ(328u + 12u, body.size());
    EXPECT_EQ(1, body[133]);  // the flag stays as the project set it
    EXPECT_EQ(Bytes(16, 0), Slice(body, 140, 16));  // licence and readme absent
    EXPECT_EQ(328u, U32At(body, 156));
    EXPECT_EQ(0u, U32At(body, 160));
    EXPECT_EQ(328u, U32At(body, 164));
    EXPECT_EQ(Bytes(20, 0), Slice(body, 168, 20));  // no setup types, no links
    EXPECT_EQ(328u, U32At(body, 188));
    EXPECT_EQ(12u, U32At(body, 192));
    EXPECT_EQ(Bytes(12, 0), Slice(body, 196, 12));  // no run packs
    EXPECT_EQ("REGEDIT4\r\n\r\n", Str(Slice(body, 328, 12)));
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
}

TEST_F(BuildTest, DoCrc32IsTheCrcOfTheWholeFile) {
    for (size_t size : {1, 4095, 4096, 4097, 3 * 4096, 100000}) {
        SCOPED_TRACE(size);
        Bytes data = Pattern(size, (uint32_t)size);
        std::string path = MakeFile("crc.bin", data);
        EXPECT_EQ(testpkg::Crc32(data), dll_.doCrc32(path.c_str()));
    }
    EXPECT_EQ(0u, dll_.doCrc32(MakeFile("empty.bin", {}).c_str()));
    EXPECT_EQ(0u, dll_.doCrc32((dir_ / "missing.bin").c_str()));

    builder::Project p = {};
    p.header = testproj::Header("Crc");
    ASSERT_EQ(1, Build(p).result);
    EXPECT_EQ(testpkg::Crc32(Output()), dll_.doCrc32(output_.c_str()));

    // Without zlib.dll: 0 and no message.
    SetZlibFolder(MakeFolder("nozlib"));
    EXPECT_EQ(0u, dll_.doCrc32(output_.c_str()));
}

TEST_F(BuildTest, ProjectOrOutputThatCannotBeOpened) {
    BuildRun run = BuildFile(dir_ / "missing.zek", output_);
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(builder::kErrorCannotOpen, run.error);
    EXPECT_FALSE(testpkg::FileExists(output_));

    builder::Project p = {};
    p.header = testproj::Header("Out");
    ASSERT_TRUE(testpkg::WriteFileBytes(projectPath_, testproj::Encode(p)));
    run = BuildFile(projectPath_, dir_ / "no such folder\\setup.dat");
    EXPECT_EQ(0, run.result);
    EXPECT_EQ(builder::kErrorCannotOpen, run.error);
    EXPECT_EQ(std::vector<std::string>(), TempFiles());
    EXPECT_TRUE(run.boxes.empty());
}

// Every group is tried after one whose folder cannot be listed (the next
// one's refusal shows it), and the first code survives everything the build
// does afterwards.
TEST_F(BuildTest, GroupFolderThatCannotBeListed) {
    MakeFile("ok\\a.txt", Pattern(10, 1));
    builder::Project p = {};
    p.header = testproj::Header("Groups");
    p.groups = {testproj::Group("Ok", 0x11, dir_ / "ok"),
                testproj::Group("Gone", 0x11, dir_ / "gone"),
                testproj::Group("Long", 0x19, dir_ / "ok", std::string(255, 's')),
                testproj::Group("Ok again", 0x11, dir_ / "ok")};
    BuildRun run = Build(p);
    ExpectNoPackage(run);
    EXPECT_EQ(builder::kErrorCannotList, run.error);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Subfolder name too long in group Long !", run.boxes[0].text);
    EXPECT_EQ("Writing groups...", run.boxes[0].status);
    EXPECT_EQ("Group : Long", run.boxes[0].detail);
}

// The licence "file" is a pipe that a second thread serves: the build cannot
// get past its licence before that thread has posted a click on Cancel, so
// the click waits in the queue when the groups begin.
TEST_F(BuildTest, CancelDuringTheGroups) {
    std::string pipe = "\\\\.\\pipe\\zek2dat-cancel-" + std::to_string(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                                     1, 4096, 4096, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, server);
    builder::Project p = {};
    p.header = testproj::Header("Cancel");
    p.header.licenceFlag = 1;
    package::CopyText(p.header.licencePath, 256, pipe.c_str());
    MakeFile("g\\data.bin", Pattern(5000, 9));
    for (int i = 0; i < 10; ++i) p.groups.push_back(testproj::Group("G", 0x11, dir_ / "g"));

    std::atomic<bool> clicked(false);
    std::thread canceller([&clicked, server] {
        dlgdrive::Driver driver;
        ConnectNamedPipe(server, nullptr);
        if (!driver.Attach(GetCurrentProcessId())) return CloseHandle(server), void();
        if (HWND dialog = driver.WaitWindow(kBuildCaption))
            clicked = driver.Click(dialog, IDC_BUILD_CANCEL);
        DWORD written;
        WriteFile(server, "Licence", 7, &written, nullptr);
        CloseHandle(server);
    });
    BuildRun run = Build(p);
    canceller.join();
    ASSERT_TRUE(clicked);
    ExpectNoPackage(run);
    EXPECT_NE(builder::kErrorCannotOpen, run.error);
    EXPECT_NE(builder::kErrorNoMemory, run.error);
    EXPECT_NE(builder::kErrorCannotList, run.error);
    EXPECT_TRUE(run.boxes.empty());
}

TEST_F(BuildTest, MissingZlibIsReported) {
    builder::Project p = {};
    p.header = testproj::Header("No zlib");
    MakeFile("g\\a.bin", Pattern(5000, 1));
    p.groups = {testproj::Group("G", 0x11, dir_ / "g")};
    SetZlibFolder(MakeFolder("nozlib"));
    BuildRun run = Build(p);
    ExpectNoPackage(run);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("Error !\nzlib.dll not found in path!", run.boxes[0].text);
    EXPECT_EQ("Compressing temp file to DAT file", run.boxes[0].status);
    EXPECT_EQ("", run.boxes[0].detail);
}

// Projects that end early or hold a text without its NUL, in each section.
TEST_F(BuildTest, DamagedProjectsFailCleanly) {
    MakeFile("g\\a.bin", Pattern(10, 1));
    std::string program = MakeFile("run.exe", Pattern(10, 2));
    builder::Project p = {};
    p.header = testproj::Header("Damaged");
    p.groups = {testproj::Group("G", 0x11, dir_ / "g")};
    p.setupTypes = {testproj::SetupType("All", 1)};
    p.desktopLinks = {testproj::Folder("D", "D", 1)};
    p.startMenuLinks = {testproj::Folder("S", "S", 0)};
    p.registry = {testproj::Reg(kHkcu, 0, "K", "N", "D")};
    p.beforePacks = {testproj::Pack("B", program, 0, 0)};
    p.afterPacks = {testproj::Pack("A", program, 0, 0)};
    Bytes whole = testproj::Encode(p);
    size_t types = 676 + 544, desktop = types + 32, startMenu = desktop + 328;
    size_t registry = startMenu + 328, before = registry + 20 + 3 * (2 + 2);
    size_t after = before + 294;
    ASSERT_EQ(after + 294, whole.size());

    struct Case {
        const char* what;
        size_t cut;
        const char* status;
    } cases[] = {
        {"header", 675, ""},
        {"groups", types - 1, "Including Licence file..."},
        {"setup types", desktop - 1, "Writing groups..."},
        {"desktop links", startMenu - 1, "Writing desktop Links"},
        {"Start-menu links", registry - 1, "Writing Start Menu Links"},
        {"registry", before - 1, "Writing desktop Registry Entries"},
        {"before packs", after - 1, "Adding files to be executed..."},
        {"after packs", whole.size() - 1, "Adding files to be executed..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(testpkg::WriteFileBytes(projectPath_, Bytes(whole.begin(), whole.begin() + c.cut)));
        BuildRun run = BuildFile(projectPath_, output_);
        ExpectNoPackage(run);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(kReadError, run.boxes[0].text);
        EXPECT_EQ(c.status, run.boxes[0].status);
    }

    // The application name filling its field without a NUL.
    Bytes noNul = whole;
    memset(&noNul[8], 'A', 24);
    ASSERT_TRUE(testpkg::WriteFileBytes(projectPath_, noNul));
    BuildRun run = BuildFile(projectPath_, output_);
    ExpectNoPackage(run);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(kReadError, run.boxes[0].text);
}

// Content the package cannot hold is refused with a message, never written
// wrong.
TEST_F(BuildTest, ContentThePackageCannotHoldIsRefused) {
    std::string program = MakeFile("run.exe", Pattern(10, 2));
    std::string longProgram = MakeFile(std::string(27, 'p') + ".exe", Pattern(10, 3));  // 31 chars
    builder::Project base = {};
    base.header = testproj::Header("Refused");

    struct Case {
        const char* what;
        builder::Project project;
        std::string text;
    };
    std::vector<Case> cases;
    {
        builder::Project p = base;
        p.desktopLinks.assign(256, testproj::Folder("D", "D", 1));
        cases.push_back({"desktop links", p, "Too many desktop links (256) : at most 255 can be packed !"});
        p = base;
        p.startMenuLinks.assign(300, testproj::Folder("S", "S", 0));
        cases.push_back({"Start-menu links", p, "Too many Start Menu links (300) : at most 255 can be packed !"});
        p = base;
        p.registry = {testproj::Reg(kHkcu, 0, "Fine", "N", "D"),
                      testproj::Reg(0x80000003, 0, "Software\\X", "N", "D")};
        cases.push_back({"unknown root", p, "Unknown registry root 0x80000003 for key Software\\X !"});
        p = base;
        p.registry = {testproj::Reg(kHkcu, 0, "Software\\X", "N", "one\r\ntwo")};
        cases.push_back({"line break", p, "Line break in registry entry Software\\X\\N !"});
        p = base;
        p.beforePacks = {testproj::Pack("Long", longProgram, 0, 0)};
        cases.push_back({"program name", p,
                         "Program name " + std::string(27, 'p') + ".exe too long in run pack Long !"});
        p = base;
        std::string missing = dir_ / "missing.dll";
        p.afterPacks = {testproj::Pack("Needs", program, 0, 0, {missing})};
        cases.push_back({"missing file", p, "File " + missing + " not found in run pack Needs !"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BuildRun run = Build(c.project);
        ExpectNoPackage(run);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(c.text, run.boxes[0].text);
    }
}

// A file that the first listing saw but the second cannot read would leave
// the group's entries promising data it does not hold.
TEST_F(BuildTest, GroupFileUnreadableInTheSecondListing) {
    MakeFile("g\\a.txt", Pattern(10, 1));
    std::string locked = MakeFile("g\\locked.bin", Pattern(5000, 2));
    HANDLE hold = CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, hold);
    builder::Project p = {};
    p.header = testproj::Header("Locked");
    p.groups = {testproj::Group("Data", 0x11, dir_ / "g")};
    BuildRun run = Build(p);
    CloseHandle(hold);
    ExpectNoPackage(run);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ("File " + locked + " changed while packing group Data !", run.boxes[0].text);
}

// A group whose source folder is the temporary-files folder: the builder's
// own temporary files there (the body, the group's list) are passed over,
// never packed into themselves.
TEST_F(BuildTest, OwnTemporaryFilesAreNeverPacked) {
    MakeFile("tmp\\a.txt", Pattern(10, 1));
    builder::Project p = {};
    p.header = testproj::Header("Temp");
    p.groups = {testproj::Group("Temp", 0x11, tmp_)};
    BuildRun run = Build(p);
    ASSERT_EQ(1, run.result);
    EXPECT_TRUE(run.boxes.empty());
    Bytes body = Body();
    size_t at = U32At(body, 156);
    ASSERT_EQ(1u, U32At(body, at + 256));
    at += 264;
    EXPECT_EQ("a.txt", Entries(body, &at, 1)[0].name);
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, TempFiles());
}

// Failures the build used to end without a word: each has its message and a
// code that names the cause.
TEST_F(BuildTest, FailuresNameTheirCause) {
    MakeFile("g\\a.txt", Pattern(10, 1));
    builder::Project p = {};
    p.header = testproj::Header("Causes");
    p.groups = {testproj::Group("Help", 0x11, dir_ / "g")};
    {
        // No temporary file can be made.
        testpkg::TmpOverride gone;
        gone.Set(dir_ / "no such folder");
        BuildRun run = Build(p);
        EXPECT_EQ(0, run.result);
        EXPECT_EQ(builder::kErrorTempFile, run.error);
        ASSERT_EQ(1u, run.boxes.size());
        EXPECT_EQ(0u, run.boxes[0].text.find("Error writing the temporary files")) << run.boxes[0].text;
    }
    // A name the ANSI code page lacks a character of: the listing shows it
    // with "?", and the message says so rather than "changed while packing".
    std::wstring wide(MAX_PATH, L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, (dir_ / "g").c_str(), -1, wide.data(), MAX_PATH) - 1);
    HANDLE named = CreateFileW((wide + L"\\\x540D.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, named);
    CloseHandle(named);
    BuildRun run = Build(p);
    ExpectNoPackage(run);
    EXPECT_EQ(builder::kErrorFileName, run.error);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_NE(std::string::npos, run.boxes[0].text.find("in group Help cannot be packed"))
        << run.boxes[0].text;
}

// The third export, found by name, is the build window's procedure.
TEST_F(BuildTest, DialogUpdateProcIsExportedWithTheBuildWindow) {
    auto proc = reinterpret_cast<DLGPROC>(
        reinterpret_cast<void*>(GetProcAddress(dll_.module, builder::kDialogUpdateProcExport)));
    ASSERT_NE(nullptr, proc);
    HWND build = CreateDialogParamA(dll_.module, MAKEINTRESOURCEA(IDD_BUILD), nullptr, proc, 0);
    ASSERT_NE(nullptr, build);
    char text[64] = {};
    GetDlgItemTextA(build, IDC_BUILD_CANCEL, text, sizeof text);
    EXPECT_STREQ("&Cancel", text);
    GetClassNameA(GetDlgItem(build, IDC_BUILD_PROGRESS), text, sizeof text);
    EXPECT_STREQ(PROGRESS_CLASSA, text);
    EXPECT_EQ(1, proc(build, WM_INITDIALOG, 0, 0));
    EXPECT_EQ(0, proc(build, WM_SIZE, 0, 0));
    DestroyWindow(build);
}

// Moves of the bar are thinned out, but the end of a copy always shows,
// however soon it follows the last move.
TEST(BuildProgress, EndOfACopyIsAlwaysShown) {
    InitCommonControls();
    HWND bar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_POPUP, 0, 0, 100, 10, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_NE(nullptr, bar);
    win32::ProgressDisplay progress;
    progress.Attach(bar, nullptr, 0);
    EXPECT_TRUE(progress.SetPercent(40));
    EXPECT_TRUE(progress.SetPercent(100));
    EXPECT_EQ(100, SendMessageA(bar, PBM_GETPOS, 0, 0));
    EXPECT_FALSE(progress.SetPercent(100));
    DestroyWindow(bar);
}
