// Packages built by the real zekmake.exe from descriptions that name today's
// Windows, installed by the real setup.exe in the 64-bit Windows 10 prefix,
// where our 32-bit programs see Program Files (x86), SysWOW64 and the 32-bit
// registry view, and uninstalled through the command registered there. (The
// 64-bit test build, made where the kernel runs no 32-bit programs, sees
// Program Files, system32 and the 64-bit view instead: each program keeps to
// its own view, and that is what is checked.)
// scripts/residue-check runs this program between two snapshots of the
// prefix taken after restarts, so whatever an installation leaves behind, in
// files or in either registry view, fails the run even where no test here
// looks for it.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "tests/e2e/uninstall_fixture.h"
#include "tests/support/boot_renames.h"
#include "tests/support/probe_pack.h"
#include "tests/support/test_registry.h"
#include "tests/zekmake/zekmake_run.h"

using testpkg::FileExists;

namespace {

using Names = std::vector<std::string>;

// Every 32-bit program here runs through WoW64: a window may take a while.
constexpr DWORD kWindowTimeoutMs = 180000;

// The build under test: the 32-bit deliverables, or the 64-bit test build.
constexpr bool kWow64 = sizeof(void*) == 4;
// The registry view this build's programs write, and the other one.
constexpr REGSAM kOwnView = kWow64 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
constexpr REGSAM kOtherView = kWow64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Opens root\subKey in one registry view: KEY_WOW64_32KEY (Wow6432Node) or
// KEY_WOW64_64KEY.
bool OpenInView(HKEY root, const std::string& subKey, REGSAM view, HKEY* key) {
    return RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ | view, key) == ERROR_SUCCESS;
}

bool KeyInView(HKEY root, const std::string& subKey, REGSAM view) {
    HKEY key = nullptr;
    if (!OpenInView(root, subKey, view, &key)) return false;
    RegCloseKey(key);
    return true;
}

// The value as "sz:<text>" or "dword:<number>"; "<none>" when it is missing.
std::string ValueInView(HKEY root, const std::string& subKey, const char* name, REGSAM view) {
    HKEY key = nullptr;
    if (!OpenInView(root, subKey, view, &key)) return "<none>";
    char data[1024] = {};
    DWORD type = 0, size = sizeof data - 1;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, (BYTE*)data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return "<none>";
    if (type == REG_DWORD && size == 4) return "dword:" + std::to_string(*(DWORD*)data);
    return type == REG_SZ ? "sz:" + std::string(data) : "type " + std::to_string(type);
}

std::string SystemDir() {
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

// True when path exists in the 64-bit system folder a 32-bit program never
// sees: with the file-system redirection off, system32 is system32.
bool ExistsInNativeSystemDir(const std::string& path) {
    void* old = nullptr;
    if (!Wow64DisableWow64FsRedirection(&old)) return false;
    bool exists = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    Wow64RevertWow64FsRedirection(old);
    return exists;
}

class ModernE2E : public e2e::UninstallTest {
  protected:
    void SetUp() override {
        UninstallTest::SetUp();
        driver_.SetDefaultTimeout(kWindowTimeoutMs);
        appName_ = "Modern " + std::to_string(GetCurrentProcessId());
        source_ = root_ / "project";
        machineKey_ = "Software\\SuiteTests\\" + unique_;
        probes_ = std::make_unique<testpkg::ProbePacks>(
            std::string(SUITE_FIXTURE_DIR) + "\\runpack_probe.exe", root_.path());
    }
    // Only what a failed run may have left: a passing run has removed it
    // all, and the residue check tells what it missed.
    void TearDown() override {
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, machineKey_.c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstallKey + appName_).c_str());
        UninstallTest::TearDown();
    }

    // Writes the description and its files, runs zekmake.exe on it into the
    // package folder; the exit code.
    int Build(const std::string& systems) {
        std::string bin = SUITE_BIN_DIR, fixtures = SUITE_FIXTURE_DIR;
        auto copy = [&](const std::string& from, const std::string& to) {
            return root_.MakeFile("project\\" + to, testpkg::ReadFileBytes(from)) != "";
        };
        auto text = [&](const std::string& to, const std::string& content) {
            return root_.MakeFile("project\\" + to, testpkg::TextBytes(content)) != "";
        };
        bool made = copy(fixtures + "\\runpack_probe.exe", "program\\app.exe") &&
                    text("program\\probe.ini", probes_->Ini("app")) &&
                    text("help\\guide.txt", "A guide.\r\n") &&
                    copy(fixtures + "\\version_2_0.dll", "shared\\shared.dll") &&
                    copy(fixtures + "\\selfreg_2_0.dll", "server\\server.dll") &&
                    text("licence.txt", "Licence.\r\n") && text("readme.txt", "Readme.\r\n");
        for (const char* pack : {"before", "after"})
            made = made && copy(fixtures + "\\runpack_probe.exe", std::string(pack) + "\\probe.exe") &&
                   text(std::string(pack) + "\\probe.ini", probes_->Ini(pack));
        if (!made || !text("modern.toml", Description(systems))) return -2;
        zektest::Run run = zektest::RunProgram(
            bin + "\\zekmake.exe", "\"" + source_ + "\\modern.toml\" \"" + packageDir_ + "\"",
            root_.path(), tempDir_);
        if (run.exitCode != 0) ADD_FAILURE() << run.out << run.err;
        return run.exitCode;
    }

    // Every feature of a package once: groups of each copy mode and
    // destination, two setup types, shortcuts with a folder, values in both
    // roots, the uninstaller, run packs before and after, licence and readme.
    std::string Description(const std::string& systems) const {
        return "[application]\nname = \"" + appName_ +
               "\"\nversion = \"1.0\"\nlicence = \"licence.txt\"\nreadme = \"readme.txt\"\n"
               "systems = " + systems + "\nuninstall = true\n"
               "publisher = \"Suite Tests\"\nabout_url = \"https://example.com/\"\nicon = \"app.exe\"\n"
               "[[group]]\nname = \"Program\"\nsource = \"program\"\n"
               "[[group]]\nname = \"Help\"\nsource = \"help\"\nsubfolder = \"Help\"\n"
               "[[group]]\nname = \"Shared\"\nsource = \"shared\"\ndestination = \"system\"\n"
               "subfolder = \"" + unique_ + "\"\nmode = \"shared-dll\"\n"
               "[[group]]\nname = \"Server\"\nsource = \"server\"\ndestination = \"windows\"\n"
               "subfolder = \"" + unique_ + "\"\nmode = \"self-registering\"\n"
               "[[setup_type]]\nname = \"Full\"\ngroups = [\"Program\", \"Help\", \"Shared\", \"Server\"]\n"
               "[[setup_type]]\nname = \"Minimal\"\ngroups = [\"Program\"]\n"
               "[[desktop]]\nname = \"" + appName_ + "\"\ngroup = \"Program\"\nfile = \"app.exe\"\n"
               "[[start_menu]]\nfolder = \"" + appName_ + "\"\nname = \"App\"\ngroup = \"Program\"\nfile = \"app.exe\"\n"
               "[[start_menu]]\nfolder = \"" + appName_ + "\"\nname = \"Guide\"\ngroup = \"Help\"\nfile = \"guide.txt\"\n"
               "[[registry]]\nroot = \"HKCU\"\nkey = '" + UserKey("Settings") + "'\nname = \"Text\"\nvalue = \"modern\"\n"
               "[[registry]]\nroot = \"HKLM\"\nkey = '" + machineKey_ + "'\nname = \"Number\"\nvalue = 7\n"
               "[[run_before]]\nname = \"Before\"\nprogram = \"before/probe.exe\"\nfiles = [\"before/probe.ini\"]\n"
               "[[run_after]]\nname = \"After\"\nprogram = \"after/probe.exe\"\nfiles = [\"after/probe.ini\"]\n";
    }

    // Runs the installed program as a user would, from its folder; its exit code.
    int RunInstalledApp() {
        dlgdrive::Driver app(kWindowTimeoutMs);
        if (!app.Start(destDir_ + "\\app.exe", "", destDir_)) return -1;
        return app.WaitExit();
    }

    std::string appName_, source_, machineKey_;
    std::unique_ptr<testpkg::ProbePacks> probes_;
};

}  // namespace

// A package that names only older versions is refused on Windows 10 before
// it installs anything.
TEST_F(ModernE2E, PackageForOlderWindowsOnlyIsRefused) {
    ASSERT_EQ(0, Build("[\"win95\", \"win98\", \"winme\", \"nt4\", \"nt5\"]"));
    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    EXPECT_EQ(
        "This program is not intended to run over this version of windows\n Installation must end",
        AnswerInstallError());
    EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
    EXPECT_EQ(Names{}, TempFiles());
    EXPECT_TRUE(probes_->Log("before").empty());
}

TEST_F(ModernE2E, EveryFeatureLandsInItsOwnViewsAndGoesWithTheRegisteredUninstall) {
    ASSERT_EQ(0, Build("[\"nt5\", \"10\"]"));
    destDir_ = std::string(kWow64 ? "C:\\Program Files (x86)\\" : "C:\\Program Files\\") + appName_;
    std::string sharedDll = SystemDir() + "\\" + unique_ + "\\shared.dll";
    std::string server = testpkg::SpecialFolder(CSIDL_WINDOWS) + "\\" + unique_ + "\\server.dll";
    std::string desktopLink = testpkg::SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + appName_ + ".lnk";
    std::string menu = testpkg::SpecialFolder(CSIDL_PROGRAMS) + "\\" + appName_;
    ForgetCount(sharedDll);
    ForgetCount(server);

    StartSetup();
    ASSERT_TRUE(AnswerWelcome()) << TRANSCRIPT();
    ASSERT_TRUE(AnswerLicence()) << TRANSCRIPT();
    HWND options = driver_.WaitWindow("Installation Options");
    ASSERT_TRUE(options) << TRANSCRIPT();
    EXPECT_EQ(destDir_, driver_.Text(options, 1000));  // the program's own ProgramFilesDir
    ASSERT_TRUE(driver_.SelectCombo(options, 1012, 0)) << TRANSCRIPT();
    ASSERT_TRUE(driver_.Click(options, 1008));
    EXPECT_NE(std::string::npos, AnswerBox("Vornel Setup", IDOK).find("does not exist")) << TRANSCRIPT();
    ASSERT_TRUE(AnswerReadme(false)) << TRANSCRIPT();
    EXPECT_NE("<no box>", AnswerFinalMessage()) << TRANSCRIPT();
    ASSERT_EQ(1, driver_.WaitExit()) << TRANSCRIPT();

    // Files: Program Files (x86), the Windows folder, and the system folder
    // that is SysWOW64 on disk.
    EXPECT_EQ((Names{"Help", "app.exe", "drevok.exe", "probe.ini", "readme.txt", "uninst.log", "wendlo.dll"}),
              testpkg::ListDir(destDir_));
    EXPECT_TRUE(FileExists(destDir_ + "\\Help\\guide.txt"));
    EXPECT_TRUE(FileExists(sharedDll));
    if (kWow64) {
        char wow64Dir[MAX_PATH] = {};
        ASSERT_NE(0u, GetSystemWow64DirectoryA(wow64Dir, MAX_PATH));
        EXPECT_TRUE(FileExists(std::string(wow64Dir) + "\\" + unique_ + "\\shared.dll")) << wow64Dir;
        EXPECT_FALSE(ExistsInNativeSystemDir(sharedDll));
    }
    EXPECT_TRUE(FileExists(server));
    EXPECT_EQ(1, Count(sharedDll));
    EXPECT_EQ(1, Count(server));  // a self-registering file is counted too
    // Asked only in the program's own view: whether the other one shows the
    // same key differs between Windows versions.
    EXPECT_EQ("dword:1", ValueInView(HKEY_LOCAL_MACHINE, testpkg::kSharedDllsKey, sharedDll.c_str(),
                                     kOwnView));
    testpkg::Bytes calls = testpkg::ReadFileBytes(registrationLog_);
    EXPECT_EQ("register 2.0.0.0 " + server + "\n", std::string(calls.begin(), calls.end()));

    // Shortcuts, and the packs that ran before and after in folders of
    // setup's temporary folder, which they left empty.
    EXPECT_EQ(destDir_ + "\\app.exe", testpkg::ShellLinkTarget(desktopLink));
    EXPECT_EQ(destDir_ + "\\app.exe", testpkg::ShellLinkTarget(menu + "\\App.lnk"));
    EXPECT_EQ(destDir_ + "\\Help\\guide.txt", testpkg::ShellLinkTarget(menu + "\\Guide.lnk"));
    for (const char* pack : {"before", "after"}) {
        EXPECT_EQ((Names{"probe.exe", "probe.ini"}), probes_->FilesSeen(pack)) << pack;
        EXPECT_EQ(0u, probes_->FolderSeen(pack).find(tempDir_)) << probes_->FolderSeen(pack);
    }
    EXPECT_EQ(Names{}, TempFiles());

    // Values: HKEY_CURRENT_USER as written, HKEY_LOCAL_MACHINE and the
    // uninstall registration only in the program's own view.
    EXPECT_EQ("sz:modern", ValueInView(HKEY_CURRENT_USER, UserKey("Settings"), "Text", kOwnView));
    EXPECT_EQ("dword:7", ValueInView(HKEY_LOCAL_MACHINE, machineKey_, "Number", kOwnView));
    EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, machineKey_, kOtherView));
    std::string registration = kUninstallKey + appName_;
    std::string command = ValueInView(HKEY_LOCAL_MACHINE, registration, "UninstallString", kOwnView);
    EXPECT_EQ("sz:\"" + destDir_ + "\\drevok.exe\" " + destDir_ + "\\uninst.log", command);
    // The description's entry values, the icon in the installation folder.
    EXPECT_EQ("sz:Suite Tests", ValueInView(HKEY_LOCAL_MACHINE, registration, "Publisher", kOwnView));
    EXPECT_EQ("sz:https://example.com/", ValueInView(HKEY_LOCAL_MACHINE, registration, "URLInfoAbout", kOwnView));
    EXPECT_EQ("sz:" + destDir_ + "\\app.exe", ValueInView(HKEY_LOCAL_MACHINE, registration, "DisplayIcon", kOwnView));
    EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, registration, kOtherView));

    // The installed program runs.
    EXPECT_EQ(0, RunInstalledApp());
    EXPECT_EQ(destDir_, probes_->FolderSeen("app"));

    // The uninstall, started as the list of installed programs starts it.
    ASSERT_EQ(0u, command.find("sz:"));
    ASSERT_TRUE(driver_.StartCommand(command.substr(3), root_.path())) << TRANSCRIPT();
    AnswerConfirmation(appName_, IDYES);
    AnswerDeleteQuestion(sharedDll, IDYES);
    AnswerDeleteQuestion(server, IDYES);
    EXPECT_EQ(1, FinishRun(appName_)) << TRANSCRIPT();
    WaitForRemovalCopy();

    // The uninstaller's own files and the folder go at once, removed by its
    // temporary copy; only that copy waits for the next start (the residue
    // check restarts the prefix and looks).
    EXPECT_FALSE(FileExists(destDir_));
    for (const auto& [source, target] : testpkg::PendingRenames())
        EXPECT_EQ(std::string::npos, source.find(destDir_)) << source;
    EXPECT_FALSE(FileExists(sharedDll));
    EXPECT_FALSE(FileExists(server));
    EXPECT_EQ(-1, Count(sharedDll));
    EXPECT_EQ(-1, Count(server));
    EXPECT_FALSE(FileExists(desktopLink));
    EXPECT_FALSE(FileExists(menu));
    for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
        EXPECT_FALSE(KeyInView(HKEY_CURRENT_USER, UserKey("Settings"), view)) << view;
        EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, machineKey_, view)) << view;
        EXPECT_FALSE(KeyInView(HKEY_LOCAL_MACHINE, registration, view)) << view;
    }
}
