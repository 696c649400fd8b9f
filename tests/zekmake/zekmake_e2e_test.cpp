// The real zekmake.exe under Wine: a description that uses every key gives a
// package whose blocks decode field by field as described, beside setup.exe,
// setup.inf (with the package's CRC-32), zlib.dll and wendlo.dll; bad
// descriptions are reported by file and line, exit 1 and write nothing.
#include <gtest/gtest.h>

#include "tests/support/win_test_dir.h"
#include "tests/zekmake/zekmake_run.h"
#include "tests/support/same_bytes.h"

namespace {

using testpkg::Bytes;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

class ZekmakeE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        tmp_ = MakeFolder("tmp");
        bin_ = MakeFolder("bin");
        // A private copy of the suite's programs, so that a test can leave
        // one out or put a stand-in beside them.
        for (const char* name :
             {"zekmake.exe", "zek2dat.dll", "zlib.dll", "setup.exe", "wendlo.dll"}) {
            std::string from = std::string(SUITE_BIN_DIR) + "\\" + name;
            ASSERT_TRUE(CopyFileA(from.c_str(), (bin_ + "\\" + name).c_str(), FALSE)) << from;
        }
        Make("bin\\drevok.exe", Text("stand-in uninstaller"));
        out_ = dir_ / "out";
    }

    std::string MakeFolder(const std::string& relativePath) { return dir_.MakeFolder(relativePath); }
    void Make(const std::string& relativePath, const Bytes& data) {
        ASSERT_NE("", dir_.MakeFile(relativePath, data)) << relativePath;
    }

    // Writes the description as project.toml and runs zekmake on it with a
    // relative path, from the test folder.
    zektest::Run Zekmake(const std::string& description, const std::string& outDir = "out") {
        Make("project.toml", Text(description));
        return zektest::RunProgram(bin_ + "\\zekmake.exe", "project.toml " + outDir, dir_.path(),
                                   tmp_);
    }

    testpkg::TempDir dir_;
    std::string tmp_, bin_, out_;
};

constexpr char kEveryFeature[] = R"(
[application]
name = "Every Feature"
second_name = "Second"
version = "2.5b"
title = "A title of our own"
licence = "licence.txt"
readme = "docs/readme.txt"
systems = ["win95", "nt4", "nt5", "10"]
uninstall = true
reboot = true

[background]
color = "#FF0000"
dithered = false

[[group]]
name = "Program"
source = "bin"

[[group]]
name = "Help"
source = "help"
destination = "windows"
subfolder = "EveryHelp"
mode = "self-registering"

[[group]]
name = "Shared"
source = "shared"
destination = "system"
mode = "shared-dll"

[[setup_type]]
name = "Full"
groups = ["Program", "Help", "Shared"]

[[setup_type]]
name = "Core"
groups = ["Program"]

[[desktop]]
name = "App"
group = "Program"
file = "app.exe"

[[desktop]]
folder = "Every/Deep"
name = "Guide"
group = "Help"
file = "guide.txt"

[[start_menu]]
folder = "Every"
name = "App"
group = "Program"
file = "app.exe"

[[registry]]
root = "HKEY_CURRENT_USER"
key = 'Software\SuiteTests\Every'
name = "Path"
value = 'C:\x'

[[registry]]
root = "HKLM"
key = 'Software\SuiteTests\Every'
value = 0xFFFFFFFF

[[registry]]
root = "HKCR"
key = "SuiteTests.Every"
name = "Big"
value = 2147483648

[[run_before]]
program = "setup/check.exe"
files = ["setup/data.ini"]

[[run_after]]
name = "Late"
program = "after/late.exe"
order = 1
wait = false

[[run_after]]
name = "Early"
program = "after/early.exe"
order = 5
)";

TEST_F(ZekmakeE2E, EveryFeatureDecodesAsDescribed) {
    Bytes app = testpkg::Pattern(70000, 1);
    // "bin" of the project, not the suite's bin of SetUp: the folder names
    // are relative to the description.
    Make("project\\bin\\app.exe", app);
    Make("project\\bin\\empty.txt", {});
    Make("project\\help\\guide.txt", Text("guide"));
    Make("project\\shared\\lib.dll", testpkg::Pattern(5000, 2));
    Make("project\\setup\\check.exe", Text("check"));
    Make("project\\setup\\data.ini", Text("[data]"));
    Make("project\\after\\late.exe", Text("late"));
    Make("project\\after\\early.exe", Text("early"));
    // UTF-8 with a byte-order mark: packed in the ANSI code page.
    Make("project\\licence.txt", Text("\xEF\xBB\xBFLicence terms, Z\xC3\xBCrich\r\n"));
    Make("project\\docs\\readme.txt", Text("Read me\r\n"));
    Make("project\\project.toml", Text(kEveryFeature));

    zektest::Run run =
        zektest::RunProgram(bin_ + "\\zekmake.exe", "project\\project.toml out", dir_.path(), tmp_);
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_EQ("", run.err);
    EXPECT_NE(std::string::npos, run.out.find("is ready to ship")) << run.out;
    EXPECT_EQ(
        (std::vector<std::string>{"setup.dat", "setup.exe", "setup.inf", "wendlo.dll", "zlib.dll"}),
        testpkg::ListDir(out_));
    EXPECT_TRUE(testpkg::ReadFileBytes(bin_ + "\\setup.exe") ==
                testpkg::ReadFileBytes(out_ + "\\setup.exe"));
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tmp_)) << "the work folder stays behind";

    Bytes dat = testpkg::ReadFileBytes(out_ + "\\setup.dat");
    Bytes inf = testpkg::ReadFileBytes(out_ + "\\setup.inf");
    EXPECT_EQ("[main]\r\nCRC32=" + std::to_string(testpkg::Crc32(dat)) +
                  "\r\nBackColor=255\r\nDithered=0\r\n",
              std::string(inf.begin(), inf.end()));

    zektest::Package p;
    ASSERT_TRUE(zektest::DecodePackage(testpkg::Gunzip(dat), &p));
    const package::PackageHeader& h = p.header;
    EXPECT_STREQ("Every Feature", h.appName);
    EXPECT_STREQ("Second", h.secondName);
    EXPECT_STREQ("2.5b", h.version);
    EXPECT_STREQ("A title of our own", h.title);
    EXPECT_EQ(1, h.uninstall);
    EXPECT_EQ(1, h.reboot);
    EXPECT_EQ(0x71, h.allowedSystems);  // the builder passes the NT 6 flag through
    EXPECT_EQ(1, h.licenceFlag);
    // The same text as the test's own ANSI code page holds it.
    const wchar_t kLicence[] = L"Licence terms, Z\x00FCrich\r\n";
    char ansi[64] = {};
    int ansiLen = WideCharToMultiByte(CP_ACP, 0, kLicence, -1, ansi, sizeof ansi, nullptr, nullptr);
    ASSERT_GT(ansiLen, 1);
    EXPECT_TRUE(testpkg::SameBytes(Bytes(ansi, ansi + ansiLen - 1), p.licence));
    EXPECT_EQ(1, h.readmeFlag);
    EXPECT_TRUE(testpkg::SameBytes(Text("Read me\r\n"), p.readme));

    // The uninstaller's group comes last, in every setup type.
    ASSERT_EQ(4u, p.groups.size());
    const uint8_t flags[] = {0x11, 0x2A, 0x84, 0x11};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(flags[i], p.groups[i].header.flags) << i;
    EXPECT_STREQ("", p.groups[0].header.subfolder);
    EXPECT_STREQ("EveryHelp", p.groups[1].header.subfolder);
    ASSERT_EQ(2u, p.groups[0].files.size());
    EXPECT_EQ("app.exe", p.groups[0].files[0].name);
    EXPECT_TRUE(testpkg::SameBytes(app, p.groups[0].files[0].data));
    EXPECT_EQ("empty.txt", p.groups[0].files[1].name);
    EXPECT_EQ(0u, p.groups[0].files[1].data.size());
    ASSERT_EQ(1u, p.groups[2].files.size());
    EXPECT_TRUE(testpkg::SameBytes(testpkg::Pattern(5000, 2), p.groups[2].files[0].data));
    ASSERT_EQ(2u, p.groups[3].files.size());
    EXPECT_EQ("drevok.exe", p.groups[3].files[0].name);
    EXPECT_TRUE(testpkg::SameBytes(Text("stand-in uninstaller"), p.groups[3].files[0].data));
    EXPECT_EQ("wendlo.dll", p.groups[3].files[1].name);
    EXPECT_TRUE(testpkg::SameBytes(p.groups[3].files[1].data, testpkg::ReadFileBytes(bin_ + "\\wendlo.dll")));

    ASSERT_EQ(2u, p.setupTypes.size());
    EXPECT_STREQ("Full", p.setupTypes[0].name);
    EXPECT_EQ(0xFu, p.setupTypes[0].groupMask);
    EXPECT_STREQ("Core", p.setupTypes[1].name);
    EXPECT_EQ(0x9u, p.setupTypes[1].groupMask);

    struct Link {
        uint8_t kind;
        const char* name;
        const char* folder;
        uint8_t group;
        const char* target;
    };
    const Link desktop[] = {{0, "Every", "Every", 0, ""},
                            {0, "Deep", "Every\\Deep", 0, ""},
                            {0xFF, "App", "", 0, "app.exe"},
                            {0xFF, "Guide", "Every\\Deep", 1, "guide.txt"}};
    const Link startMenu[] = {{0, "Every", "Every", 0, ""}, {0xFF, "App", "Every", 0, "app.exe"}};
    for (auto [records, expected, count, flag] :
         {std::tuple(&p.desktop, desktop, std::size(desktop), 1),
          std::tuple(&p.startMenu, startMenu, std::size(startMenu), 0)}) {
        ASSERT_EQ(count, records->size());
        for (size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(std::to_string(flag) + " " + std::to_string(i));
            const package::LinkRecord& r = (*records)[i];
            EXPECT_EQ(flag, r.desktopFlag);
            EXPECT_EQ(expected[i].kind, r.entryKind);
            EXPECT_STREQ(expected[i].name, r.linkName);
            EXPECT_STREQ(expected[i].folder, r.folderPath);
            EXPECT_EQ(expected[i].group, r.targetGroup);
            EXPECT_STREQ(expected[i].target, r.targetName);
        }
    }

    // 0xFFFFFFFF and 2147483648 reach the registry with the bits described.
    EXPECT_EQ(
        "REGEDIT4\r\n\r\n"
        "[HKEY_CURRENT_USER\\Software\\SuiteTests\\Every]\r\n\"Path\"=\"C:\\\\x\"\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\SuiteTests\\Every]\r\n@=dword:FFFFFFFF\r\n"
        "[HKEY_CLASSES_ROOT\\SuiteTests.Every]\r\n\"Big\"=dword:80000000\r\n",
        p.registry);

    ASSERT_EQ(1u, p.before.size());
    EXPECT_STREQ("check.exe", p.before[0].header.packName);
    EXPECT_STREQ("check.exe", p.before[0].header.programName);
    EXPECT_EQ(1u, p.before[0].header.waitFlag);
    ASSERT_EQ(2u, p.before[0].files.size());
    EXPECT_EQ("data.ini", p.before[0].files[0].name);
    EXPECT_TRUE(testpkg::SameBytes(Text("[data]"), p.before[0].files[0].data));
    EXPECT_EQ("check.exe", p.before[0].files[1].name);
    // Highest order first.
    ASSERT_EQ(2u, p.after.size());
    EXPECT_STREQ("Early", p.after[0].header.packName);
    EXPECT_EQ(1u, p.after[0].header.waitFlag);
    EXPECT_STREQ("Late", p.after[1].header.packName);
    EXPECT_STREQ("late.exe", p.after[1].header.programName);
    EXPECT_EQ(0u, p.after[1].header.waitFlag);
    EXPECT_TRUE(testpkg::SameBytes(Text("late"), p.after[1].files[0].data));
}

TEST_F(ZekmakeE2E, MistakesNameFileAndLineAndNothingIsWritten) {
    Make("program\\app.exe", Text("app"));
    struct Case {
        std::string description;
        std::string expected;  // in the error output
    };
    const Case cases[] = {
        {"[application]\nname = \"App\"\nversion = \n", "project.toml:3: error: not valid TOML"},
        {"[application]\nname = \"App\"\nlicence = \"licence.txt\"\n",
         "project.toml:3: error: [application]: \"licence\": no file "},
        {"[application]\nname = \"App\"\n[[group]]\nname = \"P\"\nsource = \"program\"\ndestiny = "
         "\"install\"\n",
         "project.toml:6: error: [[group]] \"P\": unknown key \"destiny\". Fix: use one of name, "
         "source, destination"},
        {"[application]\nname = \"App\"\n[[registry]]\nroot = \"HKCU\"\nkey = \"k\"\nvalue = "
         "4294967296\n",
         "project.toml:6: error: [[registry]] \"k\": \"value\" is 4294967296, out of range. Fix: "
         "use a number from "
         "-2147483648 to 4294967295."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        zektest::Run run = Zekmake(c.description);
        EXPECT_EQ(1, run.exitCode);
        EXPECT_NE(std::string::npos, run.err.find(c.expected)) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("nothing was written")) << run.err;
        EXPECT_FALSE(testpkg::FileExists(out_));
    }
    EXPECT_EQ(std::vector<std::string>(), testpkg::ListDir(tmp_));

    // An OUTDIR that is a file, and a missing builder, stop before any build.
    Make("taken", Text("a file"));
    zektest::Run taken = Zekmake("[application]\nname = \"App\"\n", "taken");
    EXPECT_EQ(1, taken.exitCode);
    EXPECT_NE(std::string::npos, taken.err.find("taken is a file")) << taken.err;
    ASSERT_TRUE(DeleteFileA((bin_ + "\\zek2dat.dll").c_str()));
    zektest::Run noBuilder = Zekmake("[application]\nname = \"App\"\n");
    EXPECT_EQ(1, noBuilder.exitCode);
    EXPECT_NE(std::string::npos, noBuilder.err.find("zek2dat.dll is missing beside zekmake.exe"))
        << noBuilder.err;
    EXPECT_FALSE(testpkg::FileExists(out_));
    zektest::Run usage = zektest::RunProgram(bin_ + "\\zekmake.exe", "only-one", dir_.path(), tmp_);
    EXPECT_EQ(1, usage.exitCode);
    EXPECT_NE(std::string::npos, usage.err.find("usage: zekmake PROJECT.toml OUTDIR")) << usage.err;
}

// Until the uninstaller is built beside zekmake, a package with uninstall
// support is still made, with a warning, and carries wendlo.dll alone.
TEST_F(ZekmakeE2E, MissingUninstallerIsAWarning) {
    ASSERT_TRUE(DeleteFileA((bin_ + "\\drevok.exe").c_str()));
    zektest::Run run = Zekmake("[application]\nname = \"App\"\nuninstall = true\n");
    ASSERT_EQ(0, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("warning: drevok.exe is not beside zekmake.exe"))
        << run.err;
    zektest::Package p;
    ASSERT_TRUE(
        zektest::DecodePackage(testpkg::Gunzip(testpkg::ReadFileBytes(out_ + "\\setup.dat")), &p));
    ASSERT_EQ(1u, p.groups.size());
    ASSERT_EQ(1u, p.groups[0].files.size());
    EXPECT_EQ("wendlo.dll", p.groups[0].files[0].name);
    // An existing OUTDIR is used as it is; what zekmake writes is replaced.
    zektest::Run again = Zekmake("[application]\nname = \"Again\"\n");
    ASSERT_EQ(0, again.exitCode) << again.err;
    ASSERT_TRUE(
        zektest::DecodePackage(testpkg::Gunzip(testpkg::ReadFileBytes(out_ + "\\setup.dat")), &p));
    EXPECT_STREQ("Again", p.header.appName);
}

}  // namespace
