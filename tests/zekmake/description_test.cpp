// The description reader, natively: every key reaches its project field, the
// link records come out in the order the installer needs, and each kind of
// mistake is reported on its line.
#include "tools/zekmake/description.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "builder/build_errors.h"
#include "builder/link_record.h"

namespace {

using zekmake::Description;
using zekmake::Mistake;

// A machine made of a few paths; its code page holds ASCII only, or
// Latin-1 when latin1 is set.
class FakeHost : public zekmake::Host {
  public:
    std::set<std::string> files = {
        "C:\\proj\\licence.txt",   "C:\\proj\\readme.txt",   "C:\\proj\\bin\\app.exe",
        "C:\\proj\\bin\\tool.exe", "D:\\shared\\lib.dll",    "C:\\proj\\setup\\first.exe",
        "C:\\proj\\setup\\a.txt",  "C:\\proj\\other\\a.txt", "C:\\proj\\docs\\manual.txt"};
    std::set<std::string> folders = {"C:\\proj\\bin", "C:\\proj\\docs", "D:\\shared",
                                     "C:\\proj\\empty"};
    std::map<std::string, std::vector<std::string>> subfolders;
    std::map<std::string, std::vector<std::string>> folderFiles;
    std::map<std::string, std::string> contents;  // of files; empty when not given
    bool latin1 = false;

    bool IsFile(const std::string& path) const override { return files.count(path) != 0; }
    bool IsFolder(const std::string& path) const override { return folders.count(path) != 0; }
    std::vector<std::string> Subfolders(const std::string& path) const override {
        auto found = subfolders.find(path);
        return found == subfolders.end() ? std::vector<std::string>() : found->second;
    }
    std::vector<std::string> Files(const std::string& path) const override {
        auto found = folderFiles.find(path);
        return found == folderFiles.end() ? std::vector<std::string>() : found->second;
    }
    bool ReadFile(const std::string& path, std::string* bytes) const override {
        if (!IsFile(path)) return false;
        auto found = contents.find(path);
        *bytes = found == contents.end() ? "" : found->second;
        return true;
    }
    bool ToAnsi(std::string_view utf8, std::string* ansi) const override {
        ansi->clear();
        for (size_t i = 0; i < utf8.size(); ++i) {
            unsigned char c = (unsigned char)utf8[i];
            if (c < 0x80)
                ansi->push_back((char)c);
            else if (latin1 && (c == 0xC2 || c == 0xC3) && i + 1 < utf8.size())
                ansi->push_back((char)((c & 3) << 6 | (utf8[++i] & 0x3F)));
            else
                return false;
        }
        return true;
    }
};

constexpr char kApplication[] = "[application]\nname = \"App\"\n";

class DescriptionTest : public ::testing::Test {
  protected:
    bool Read(const std::string& text) {
        return zekmake::ReadDescription(text, "C:\\proj", host_, &d_, &mistakes_);
    }

    // The one mistake a description holds, or a failure.
    Mistake OnlyMistake(const std::string& text) {
        EXPECT_FALSE(Read(text));
        EXPECT_EQ(1u, mistakes_.size()) << Dump();
        return mistakes_.empty() ? Mistake{} : mistakes_[0];
    }
    std::string Dump() const {
        std::string all;
        for (const Mistake& m : mistakes_) all += zekmake::FormatMistake("d.toml", m) + "\n";
        return all;
    }

    FakeHost host_;
    Description d_;
    std::vector<Mistake> mistakes_;
};

// Every key's way into the package is checked end to end (zekmake_e2e_test);
// here the conversions on the way: paths, numbers, names and pack defaults.
TEST_F(DescriptionTest, ValuesAreConvertedForTheProjectFile) {
    ASSERT_TRUE(Read(R"(
[application]
name = "Hello"
licence = 'C:\proj\licence.txt'
systems = ["win98", "nt5"]
[background]
color = "#102030"
dithered = false
[[group]]
name = "Help"
source = "docs/"
destination = "windows"
subfolder = "Hello Help"
mode = "self-registering"
[[group]]
name = "Shared"
source = 'D:\shared'
destination = "system"
mode = "shared-dll"
[[registry]]
root = "HKCR"
key = ".hello"
name = ""
value = -5
[[registry]]
root = "HKLM"
key = 'Software\Vornel'
value = 0xFFFFFFFF
[[run_after]]
program = "setup/first.exe"
files = ["setup/a.txt", 'D:\shared\lib.dll']
order = -3
wait = false
)")) << Dump();
    const builder::Project& p = d_.project;
    EXPECT_STREQ("C:\\proj\\licence.txt", p.header.licencePath);
    EXPECT_EQ(0x22, p.header.allowedSystems);
    EXPECT_EQ(0x302010u, d_.backColor);  // a COLORREF: red in the low byte
    EXPECT_FALSE(d_.dithered);
    ASSERT_EQ(2u, p.groups.size());
    EXPECT_STREQ("C:\\proj\\docs", p.groups[0].sourceFolder);
    EXPECT_EQ(0x2A, p.groups[0].flags);
    EXPECT_STREQ("Hello Help", p.groups[0].subfolder);
    EXPECT_STREQ("D:\\shared", p.groups[1].sourceFolder);
    EXPECT_EQ(0x84, p.groups[1].flags);
    ASSERT_EQ(2u, p.registry.size());
    EXPECT_EQ(0x80000000u, p.registry[0].root);
    EXPECT_EQ("", p.registry[0].name);
    EXPECT_EQ("-5", p.registry[0].data);
    // Left out, the name is the default value's; a number goes as the signed
    // decimal of its 32 bits.
    EXPECT_EQ("(Default)", p.registry[1].name);
    EXPECT_EQ(1u, p.registry[1].type);
    EXPECT_EQ("-1", p.registry[1].data);
    ASSERT_EQ(1u, p.afterPacks.size());
    EXPECT_STREQ("first.exe", p.afterPacks[0].record.name);
    EXPECT_STREQ("C:\\proj\\setup\\first.exe", p.afterPacks[0].record.programPath);
    EXPECT_EQ(-3, p.afterPacks[0].record.orderKey);
    EXPECT_EQ(0, p.afterPacks[0].record.waitField);
    EXPECT_EQ((std::vector<std::string>{"C:\\proj\\setup\\a.txt", "D:\\shared\\lib.dll"}),
              p.afterPacks[0].extraPaths);
}

// What the list of installed programs shows beyond the name reaches the
// installer's entry as values under its key, before the description's own.
TEST_F(DescriptionTest, EntryKeysBecomeValuesOfTheUninstallEntry) {
    ASSERT_TRUE(Read("[application]\nname = \"App\"\nuninstall = true\npublisher = \"Me\"\n"
                     "about_url = \"https://a/\"\nhelp_url = \"https://h/\"\nicon = 'bin\\app.exe'\n"
                     "[[registry]]\nroot = \"HKCU\"\nkey = \"Software\"\nvalue = 1\n"))
        << Dump();
    const std::vector<builder::RegEntry>& r = d_.project.registry;
    ASSERT_EQ(5u, r.size());
    const char* names[] = {"Publisher", "URLInfoAbout", "HelpLink", "DisplayIcon"};
    const char* data[] = {"Me", "https://a/", "https://h/", "bin\\app.exe"};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(0x80000002u, r[i].root);
        EXPECT_EQ("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App", r[i].key);
        EXPECT_EQ(names[i], r[i].name);
        EXPECT_EQ(0u, r[i].type);
        EXPECT_EQ(data[i], r[i].data);
    }
    EXPECT_EQ("Software", r[4].key);
}

TEST_F(DescriptionTest, LeftOutKeysTakeTheirDefaults) {
    ASSERT_TRUE(Read(kApplication)) << Dump();
    const builder::ProjectHeader& h = d_.project.header;
    EXPECT_EQ(0x77, h.allowedSystems);  // every Windows, today's included
    EXPECT_TRUE(d_.warnings.empty());
    EXPECT_EQ(0, h.licenceFlag);
    EXPECT_EQ(0, h.uninstall);
    EXPECT_EQ(0, h.reboot);
    EXPECT_STREQ("", h.title);
    EXPECT_EQ(0xFF0000u, d_.backColor);
    EXPECT_TRUE(d_.dithered);
    EXPECT_TRUE(d_.project.groups.empty());
}

// The records as the builder turns them into package entries: each folder,
// parents first, before every shortcut; a shortcut without a folder at the top.
// Vista and later share one flag under several names; a list that leaves all
// of them out builds, with a warning on the list's line.
TEST_F(DescriptionTest, TodaysWindowsHaveOneFlagAndLeavingThemOutWarns) {
    struct Case {
        const char* systems;
        uint8_t mask;
        bool warns;
    } cases[] = {
        {R"(["nt6"])", 0x40, false},
        {R"(["vista", "7", "8", "8.1", "10", "11"])", 0x40, false},
        {R"(["10"])", 0x40, false},
        {R"(["nt5", "11"])", 0x60, false},
        {R"(["win95", "win98", "winme", "nt4", "nt5"])", 0x37, true},
        {R"(["nt5"])", 0x20, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(Read(std::string(kApplication) + "systems = " + cases[i].systems + "\n"))
            << Dump();
        EXPECT_EQ(cases[i].mask, d_.project.header.allowedSystems);
        ASSERT_EQ(cases[i].warns ? 1u : 0u, d_.warnings.size());
        if (!cases[i].warns) continue;
        EXPECT_EQ(3u, d_.warnings[0].line);
        EXPECT_EQ(
            "d.toml:3: warning: [application]: \"systems\" leaves out Windows Vista, 7, 8, 8.1, 10 "
            "and 11: the package refuses every Windows released since 2006. Fix: add \"nt6\" (or "
            "any of \"vista\", \"7\", \"8\", \"8.1\", \"10\", \"11\"), unless the package must "
            "not run there.",
            zekmake::FormatMistake("d.toml", d_.warnings[0], true));
    }
}

TEST_F(DescriptionTest, FoldersPrecedeShortcutsParentsFirst) {
    ASSERT_TRUE(Read(std::string(kApplication) + R"(
[[group]]
name = "Program"
source = "bin"
[[start_menu]]
folder = "Vornel/Hello"
name = "Hello"
group = "Program"
file = "app.exe"
[[start_menu]]
name = "Tool"
group = "Program"
file = "tool.exe"
[[start_menu]]
folder = 'Vornel\Extras\Empty'
[[desktop]]
name = "Hello"
group = "Program"
file = "app.exe"
)")) << Dump();
    struct Expected {
        uint8_t kind;
        const char* name;
        const char* folder;
    };
    const Expected start[] = {
        {0, "Vornel", "Vornel"},          {0, "Hello", "Vornel\\Hello"},
        {0, "Extras", "Vornel\\Extras"},  {0, "Empty", "Vornel\\Extras\\Empty"},
        {0xFF, "Hello", "Vornel\\Hello"}, {0xFF, "Tool", ""}};
    ASSERT_EQ(std::size(start), d_.project.startMenuLinks.size());
    for (size_t i = 0; i < std::size(start); ++i) {
        SCOPED_TRACE(i);
        package::LinkRecord r = builder::MakeLinkRecord(d_.project.startMenuLinks[i]);
        EXPECT_EQ(0, r.desktopFlag);
        EXPECT_EQ(start[i].kind, r.entryKind);
        EXPECT_STREQ(start[i].name, r.linkName);
        EXPECT_STREQ(start[i].folder, r.folderPath);
    }
    package::LinkRecord tool = builder::MakeLinkRecord(d_.project.startMenuLinks[5]);
    EXPECT_STREQ("tool.exe", tool.targetName);
    EXPECT_EQ(0, tool.targetGroup);

    ASSERT_EQ(1u, d_.project.desktopLinks.size());
    package::LinkRecord desktop = builder::MakeLinkRecord(d_.project.desktopLinks[0]);
    EXPECT_EQ(1, desktop.desktopFlag);
    EXPECT_STREQ("", desktop.folderPath);
    EXPECT_STREQ("app.exe", desktop.targetName);
}

TEST_F(DescriptionTest, EachMistakeIsReportedOnItsLine) {
    const std::string group = "[[group]]\nname = \"Program\"\nsource = \"bin\"\n";  // lines 3-5
    const std::string twoGroups = group + "[[group]]\nname = \"Docs\"\nsource = \"docs\"\n";  // 6-8
    struct Case {
        std::string text;
        uint32_t line;
        const char* problem;
    };
    const Case cases[] = {
        {"[application]\nname = \n", 2, "not valid TOML"},
        {"[application]\nversion = \"1\"\n", 1, "\"name\" is missing"},
        {"# nothing yet\n", 1, "[application] is missing"},
        {"[application]\nname = \"App\"\nlicense = \"licence.txt\"\n", 3,
         "unknown key \"license\""},
        {"[application]\nname = \"App\"\n[extras]\n", 3, "unknown key \"extras\""},
        {"[application]\nname = \"An application name of 24\"\n", 2, "at most 23 fit"},
        {"[application]\nname = \"A/B\"\n", 2, "cannot be a folder name"},
        {"[application]\nname = \"Caf\xC3\xA9\"\n", 2, "ANSI code page"},
        // Characters the TOML reader mishandles where a space may stand (in
        // each range of its table), refused before it sees them; comments
        // and texts in quotes keep them.
        {"# \xEF\xB6\xAC \xC3\xA9\n[application]\nname = 'App' \xEF\xB6\xAC\n", 3, "U+FDAC"},
        {"[application]\nname = \"App\"\n\xC3\xA9 = 1\n", 3, "U+00E9"},
        {"[application]\nname = \"\"\"App\"\"\"\" \xE2\xB1\x9E\n", 2, "U+2C5E"},
        {"[application]\nname = \"\"\"App\\\n  \xE3\x81\x97\"\"\"\n", 3, "U+3057"},
        {"[application]\nname = 0\"\xC3\xA9\"\n", 2, "U+00E9"},
        {"[application]\nname = \"App\"\nuninstall = \"yes\"\n", 3, "must be true or false"},
        {"[application]\nname = \"App\"\npublisher = \"Me\"\n", 3, "only for an application that can be uninstalled"},
        {"[application]\nname = \"App\"\nuninstall = true\nhelp_url = \"a\\nb\"\n", 4, "holds a line break"},
        {"[application]\nname = \"App\"\nreadme = \"missing.txt\"\n", 3,
         "no file C:\\proj\\missing.txt"},
        {"[application]\nname = \"App\"\nsystems = [\"win95\", \"xp\"]\n", 3, "cannot hold \"xp\""},
        {"[application]\nname = \"App\"\nsystems = []\n", 3, "\"systems\" is empty"},
        {"[application]\nname = \"App\"\ntitle = 5\n", 3, "must be a text"},
        {std::string(kApplication) + "[background]\ncolor = \"blue\"\n", 4, "is no colour"},
        {std::string(kApplication) + "[background]\ncolor = \"#000080\"\n", 4, "draws no gradient"},
        {std::string(kApplication) + "[group]\nname = \"x\"\n", 3, "must be a list of tables"},
        {std::string(kApplication) + "[signing]\npassword_variable = \"PW\"\n", 3,
         "\"certificate\" is missing"},
        {std::string(kApplication) + "[signing]\ncertificate = \"licence.txt\"\n", 3,
         "\"password_variable\" is missing"},
        {std::string(kApplication) +
             "[signing]\ncertificate = \"none.p12\"\npassword_variable = \"PW\"\n",
         4, "no file C:\\proj\\none.p12"},
        {std::string(kApplication) +
             "[signing]\ncertificate = \"licence.txt\"\npassword_variable = \"$(rm -rf ~)\"\n",
         5, "no name of an environment variable"},
        {std::string(kApplication) +
             "[signing]\ncertificate = \"licence.txt\"\npassword_variable = \"PW\"\n"
             "timestamp_url = \"timestamp.example\"\n",
         6, "is no web address"},
        {"signing = \"yes\"\n" + std::string(kApplication), 1, "must be a table"},
        {std::string(kApplication) + group + "sorce = \"bin\"\n", 6, "unknown key \"sorce\""},
        {std::string(kApplication) + "[[group]]\nname = \"G\"\nsource = \"nothing\"\n", 5,
         "no folder C:\\proj\\nothing"},
        {std::string(kApplication) + group + "destination = \"desktop\"\n", 6,
         "cannot be \"desktop\""},
        {std::string(kApplication) + group + "mode = \"copy\"\n", 6, "cannot be \"copy\""},
        {std::string(kApplication) + group + "subfolder = 'a\\b'\n", 6,
         "not the name of one folder"},
        {std::string(kApplication) + group + group, 7, "another group has this name"},
        {std::string(kApplication) + twoGroups +
             "[[setup_type]]\nname = \"T\"\ngroups = [\"Program\"]\n",
         9, "a single setup type is not offered"},
        {std::string(kApplication) + twoGroups +
             "[[setup_type]]\nname = \"A\"\ngroups = [\"Program\",\n\"Nope\"]\n"
             "[[setup_type]]\nname = \"B\"\ngroups = [\"Program\", \"Docs\"]\n",
         12, "no group is named \"Nope\""},
        {std::string(kApplication) + twoGroups +
             "[[setup_type]]\nname = \"A\"\ngroups = [\"Program\"]\n"
             "[[setup_type]]\nname = \"B\"\ngroups = [\"Program\"]\n",
         6, "no setup type installs it"},
        {std::string(kApplication) + group +
             "[[desktop]]\nname = \"App\"\ngroup = \"Program\"\nfile = \"nope.exe\"\n",
         9, "is not a file of the group"},
        {std::string(kApplication) + group +
             "[[desktop]]\nname = \"App\"\ngroup = \"Nope\"\nfile = \"app.exe\"\n",
         8, "no group is named"},
        {std::string(kApplication) + group + "[[desktop]]\nname = \"App\"\nfile = \"app.exe\"\n", 6,
         "\"group\" is missing"},
        {std::string(kApplication) + group + "[[start_menu]]\nfolder = \"F\"\nfile = \"app.exe\"\n",
         8, "has no \"file\""},
        {std::string(kApplication) + group + "[[start_menu]]\nfolder = \"a//b\"\n", 7,
         "an empty folder name"},
        {std::string(kApplication) + twoGroups +
             "[[setup_type]]\nname = \"A\"\ngroups = [\"Program\", \"Docs\"]\n"
             "[[setup_type]]\nname = \"B\"\ngroups = [\"Docs\"]\n"
             "[[desktop]]\nfolder = \"F\"\nname = \"Manual\"\ngroup = \"Docs\"\nfile = "
             "\"manual.txt\"\n",
         15, "shortcut folders only with the first group"},
        {std::string(kApplication) +
             "[[registry]]\nroot = \"HKEY_USERS\"\nkey = \"k\"\nvalue = 1\n",
         4, "cannot be \"HKEY_USERS\""},
        {std::string(kApplication) +
             "[[registry]]\nroot = \"HKCU\"\nkey = \"k\"\nvalue = 4294967296\n",
         6, "out of range"},
        {std::string(kApplication) +
             "[[registry]]\nroot = \"HKCU\"\nkey = \"k\"\nvalue = \"a\\nb\"\n",
         6, "holds a line break"},
        {std::string(kApplication) +
             "[[registry]]\nroot = \"HKCU\"\nkey = \"k\"\nname = 'a\"b'\nvalue = 1\n",
         6, "\"name\" holds a \""},
        {std::string(kApplication) + "[[registry]]\nroot = \"HKCU\"\nkey = '\\k'\nvalue = 1\n", 5,
         "starts with a backslash"},
        {std::string(kApplication) + "[[registry]]\nroot = \"HKCU\"\nkey = \"k\"\nvalue = 1.5\n", 6,
         "a text in quotes or a whole number"},
        {std::string(kApplication) + "[[registry]]\nroot = \"HKCU\"\nkey = \"k\"\n", 3,
         "\"value\" is missing"},
        {std::string(kApplication) +
             "[[run_after]]\nprogram = \"setup/first.exe\"\norder = 40000\n",
         5, "out of range"},
        {std::string(kApplication) + "[[run_after]]\nprogram = \"setup/first.exe\"\n"
                                     "files = [\"setup/a.txt\",\n\"other/a.txt\"]\n",
         6, "two files of the pack are named \"a.txt\""},
        {std::string(kApplication) +
             "[[run_after]]\nprogram = \"setup/a-program-with-a-long-name.exe\"\n",
         4, "no file"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].text);
        Mistake m = OnlyMistake(cases[i].text);
        EXPECT_EQ(cases[i].line, m.line);
        EXPECT_NE(std::string::npos, m.problem.find(cases[i].problem)) << m.problem;
        EXPECT_FALSE(m.fix.empty());
    }
}

TEST_F(DescriptionTest, LimitsOfThePackageAreMistakes) {
    host_.files.insert("C:\\proj\\bin\\program-with-a-31-character-name.exe");
    Mistake longProgram =
        OnlyMistake(std::string(kApplication) +
                    "[[run_before]]\nprogram = \"bin/program-with-a-31-character-name.exe\"\n");
    EXPECT_EQ(4u, longProgram.line);
    EXPECT_NE(std::string::npos, longProgram.problem.find("longer than 30")) << longProgram.problem;

    std::string groups = "[application]\nname = \"App\"\nuninstall = true\n";
    for (int i = 0; i < 32; ++i)
        groups += "[[group]]\nname = \"G" + std::to_string(i) + "\"\nsource = \"empty\"\n";
    // With uninstall support the uninstaller takes the last of 32 groups.
    Mistake tooMany = OnlyMistake(groups);
    EXPECT_EQ(4u + 31 * 3, tooMany.line);
    EXPECT_NE(std::string::npos, tooMany.problem.find("more than 31 groups")) << tooMany.problem;

    // Groups past 32 have no bit in a setup type's mask: naming them in a
    // type or a shortcut reports the one mistake, not an overlong shift.
    host_.files.insert("C:\\proj\\empty\\app.exe");
    groups = kApplication;
    std::string all;
    for (int i = 0; i < 34; ++i) {
        groups += "[[group]]\nname = \"G" + std::to_string(i) + "\"\nsource = \"empty\"\n";
        all += (i ? ", \"G" : "\"G") + std::to_string(i) + "\"";
    }
    groups += "[[setup_type]]\nname = \"All\"\ngroups = [" + all + "]\n" +
              "[[setup_type]]\nname = \"Last\"\ngroups = [\"G33\"]\n" +
              "[[desktop]]\nname = \"App\"\ngroup = \"G33\"\nfile = \"app.exe\"\n";
    Mistake thirtyThree = OnlyMistake(groups);
    EXPECT_EQ(3u + 32 * 3, thirtyThree.line);
    EXPECT_NE(std::string::npos, thirtyThree.problem.find("more than 32 groups"))
        << thirtyThree.problem;

    std::string types = std::string(kApplication) + "[[group]]\nname = \"G\"\nsource = \"empty\"\n";
    for (int i = 0; i < 4; ++i)
        types += "[[setup_type]]\nname = \"T" + std::to_string(i) + "\"\ngroups = [\"G\"]\n";
    Mistake fourTypes = OnlyMistake(types);
    EXPECT_EQ(15u, fourTypes.line);
    EXPECT_NE(std::string::npos, fourTypes.problem.find("more than 3 setup types"))
        << fourTypes.problem;

    host_.subfolders["C:\\proj\\bin"] = {"plugins"};
    Mistake sub =
        OnlyMistake(std::string(kApplication) + "[[group]]\nname = \"G\"\nsource = \"bin\"\n");
    EXPECT_EQ(5u, sub.line);
    EXPECT_NE(std::string::npos, sub.problem.find("holds the folder \"plugins\"")) << sub.problem;
}

// Names the ANSI listing of the builder would show as "?", and names the
// installer refuses, are found before anything is built.
TEST_F(DescriptionTest, GroupFileNamesThePackageCannotHoldAreMistakes) {
    const std::string group = "[[group]]\nname = \"Help\"\nsource = \"docs\"\n";  // lines 3-5
    const struct {
        const char* name;
        const char* problem;
    } cases[] = {
        {"\xE5\x90\x8D.txt", "ANSI code page cannot store"},
        {"CON.txt", "cannot be installed under its name"},
        {"a?.txt", "cannot be installed under its name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        host_.folderFiles["C:\\proj\\docs"] = {"manual.txt", c.name};
        Mistake m = OnlyMistake(std::string(kApplication) + group);
        EXPECT_EQ(5u, m.line);
        EXPECT_NE(std::string::npos, m.problem.find(c.problem)) << m.problem;
        EXPECT_NE(std::string::npos, m.problem.find(c.name)) << m.problem;
    }
}

// A UTF-8 licence or readme is converted to the ANSI code page; ASCII and
// ANSI texts (not valid UTF-8) are packed as they are.
TEST_F(DescriptionTest, Utf8TextFilesAreConvertedToAnsi) {
    host_.latin1 = true;
    const std::string text = std::string(kApplication) + "licence = \"licence.txt\"\n";
    const struct {
        const char* what;
        std::string bytes;
        bool converted;
        std::string ansi;
    } kept[] = {
        {"UTF-8", "Z\xC3\xBCrich\r\n", true, "Z\xFCrich\r\n"},
        {"UTF-8 with BOM", "\xEF\xBB\xBFZ\xC3\xBCrich", true, "Z\xFCrich"},
        {"ASCII with BOM", "\xEF\xBB\xBFZurich", true, "Zurich"},
        {"ASCII", "Zurich", false, ""},
        {"ANSI", "Z\xFCrich \xC3", false, ""},
    };
    for (const auto& c : kept) {
        SCOPED_TRACE(c.what);
        host_.contents["C:\\proj\\licence.txt"] = c.bytes;
        ASSERT_TRUE(Read(text)) << Dump();
        EXPECT_EQ(c.converted, d_.licence.converted);
        EXPECT_EQ(c.ansi, d_.licence.ansi);
        EXPECT_FALSE(d_.readme.converted);
    }

    host_.contents["C:\\proj\\licence.txt"] = "Dear user,\n\xE2\x82\xAC 5\n";
    Mistake euro = OnlyMistake(text);
    EXPECT_EQ(3u, euro.line);
    EXPECT_NE(std::string::npos, euro.problem.find("line 2 of C:\\proj\\licence.txt"))
        << euro.problem;
    host_.contents["C:\\proj\\licence.txt"] = "\xEF\xBB\xBFZ\xFCrich";
    EXPECT_NE(std::string::npos, OnlyMistake(text).problem.find("is not UTF-8"));
}

TEST_F(DescriptionTest, AllMistakesComeInLineOrderAndNothingIsFilled) {
    d_.project.header.reboot = 7;
    EXPECT_FALSE(
        Read("[application]\nname = \"App\"\nreboot = 1\nlicence = \"none.txt\"\n"
             "[[setup_type]]\nname = \"T\"\ngroups = [\"X\"]\n[background]\ndithered = \"no\"\n"));
    ASSERT_EQ(4u, mistakes_.size()) << Dump();
    const uint32_t lines[] = {3, 4, 7, 9};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(lines[i], mistakes_[i].line) << Dump();
    EXPECT_EQ(7, d_.project.header.reboot);
    EXPECT_EQ(
        "d.toml:3: error: \"reboot\" must be true or false. Fix: write reboot = true or reboot = "
        "false, "
        "without quotes.",
        zekmake::FormatMistake("d.toml",
                               {3, "\"reboot\" must be true or false",
                                "write reboot = true or reboot = false, without quotes"}));
}

TEST(ZekmakeOutput, UninstallGroupGoesLastIntoEverySetupType) {
    builder::Project p = {};
    p.groups.resize(2);
    p.setupTypes.resize(2);
    p.setupTypes[0].groupMask = 3;
    p.setupTypes[1].groupMask = 1;
    zekmake::AddUninstallGroup("C:\\tmp\\uninstall", &p);
    ASSERT_EQ(3u, p.groups.size());
    EXPECT_EQ(0x11, p.groups[2].flags);
    EXPECT_STREQ("C:\\tmp\\uninstall", p.groups[2].sourceFolder);
    EXPECT_EQ(7u, p.setupTypes[0].groupMask);
    EXPECT_EQ(5u, p.setupTypes[1].groupMask);
}

// Each code the builder reports names its cause; none reads as a cancel.
TEST(ZekmakeOutput, BuildFailuresNameTheirCause) {
    const struct {
        uint32_t code;
        const char* cause;
    } cases[] = {{0x20000007, "temporary file"},
                 {0x20000008, "could not be read"},
                 {0x20000009, "2 GB"},
                 {0x2000000A, "name"}};
    for (const auto& c : cases) {
        std::string text = builder::BuildFailureText(c.code);
        EXPECT_NE(std::string::npos, text.find(c.cause)) << text;
    }
}

TEST(ZekmakeOutput, SettingsHoldTheCrcAsUnsignedDecimal) {
    EXPECT_EQ("[main]\r\nCRC32=4294967295\r\nBackColor=16711680\r\nDithered=1\r\n",
              zekmake::SettingsText(0xFFFFFFFFu, 0xFF0000, true));
    EXPECT_EQ("[main]\r\nCRC32=1\r\nBackColor=0\r\nDithered=0\r\n",
              zekmake::SettingsText(1, 0, false));
}

}  // namespace
