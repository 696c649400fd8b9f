#include <gtest/gtest.h>

#include "package/registry_text.h"

using namespace package;

namespace {

const char kHeader[] = "REGEDIT4\r\n\r\n";

std::vector<std::string> Names(const RegistryLogList& list, size_t i) { return list.at(i).valueNames; }

}  // namespace

TEST(RegistryText, KeysAreNotedOnceWithEveryValueName) {
    RegistryLogList list;
    NoteRegistryText(std::string(kHeader) +
                         "[HKEY_LOCAL_MACHINE\\Software\\Vendor\\App]\r\n\"Path\"=\"C:\\\\App\"\r\n"
                         "[HKEY_CURRENT_USER\\Software\\App]\r\n@=\"default\"\r\n"
                         "[HKEY_LOCAL_MACHINE\\Software\\Vendor\\App]\r\n\"Count\"=dword:00000002\r\n",
                     &list);
    ASSERT_EQ(2u, list.size());
    EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software\\Vendor\\App", list[0].key);
    EXPECT_EQ((std::vector<std::string>{"Path", "Count"}), Names(list, 0));
    EXPECT_EQ("HKEY_CURRENT_USER\\Software\\App", list[1].key);
    EXPECT_EQ((std::vector<std::string>{"@"}), Names(list, 1));
}

TEST(RegistryText, NamesLoseTheirQuotingAndEscapes) {
    RegistryLogList list;
    NoteRegistryText(std::string(kHeader) +
                         "[HKEY_CURRENT_USER\\K]\r\n"
                         "\"Dir\\\\Sub\"=\"x\"\r\n"         // "Dir\\Sub" names Dir\Sub
                         "\"a=b\"=\"c=d\"\r\n"             // an equals sign inside the name
                         "\"say \\\"hi\\\"\"=hex:01\r\n",  // escaped quotes
                     &list);
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ((std::vector<std::string>{"Dir\\Sub", "a=b", "say \"hi\""}), Names(list, 0));
}

TEST(RegistryText, KeysAreCaseSensitiveAndExistingNotesComeFirst) {
    RegistryLogList list;
    FindOrAddKey(&list, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\App");
    list[0].valueNames = {"DisplayName", "UninstallString"};
    NoteRegistryText(std::string(kHeader) + "[HKEY_CURRENT_USER\\Software\\app]\r\n\"a\"=\"1\"\r\n" +
                         "[HKEY_CURRENT_USER\\Software\\App]\r\n\"b\"=\"2\"\r\n",
                     &list);
    ASSERT_EQ(3u, list.size());
    EXPECT_EQ((std::vector<std::string>{"DisplayName", "UninstallString"}), Names(list, 0));
    EXPECT_EQ("HKEY_CURRENT_USER\\Software\\app", list[1].key);
    EXPECT_EQ("HKEY_CURRENT_USER\\Software\\App", list[2].key);
}

TEST(RegistryText, HeaderLinesStrayValuesAndOtherLinesAreSkipped) {
    RegistryLogList list;
    NoteRegistryText("[HKEY_CURRENT_USER\\NotAKey]\n\"x\"=\"y\"\n"  // the first two lines
                     "\"before\"=\"any key\"\n"
                     "; comment\n"
                     "[HKEY_CURRENT_USER\\K]\n"
                     "\n"
                     "\"v\"=\"1\"\n",
                     &list);
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ("HKEY_CURRENT_USER\\K", list[0].key);
    EXPECT_EQ((std::vector<std::string>{"v"}), Names(list, 0));
    RegistryLogList none;
    NoteRegistryText(kHeader, &none);
    EXPECT_TRUE(none.empty());
}

TEST(RegistryText, LongLinesAreReadWhole) {
    RegistryLogList list;
    std::string key = "HKEY_CURRENT_USER\\" + std::string(1500, 'k');
    NoteRegistryText(std::string(kHeader) + "[" + key + "]\r\n\"" + std::string(2000, 'n') + "\"=\"v\"\r\n",
                     &list);
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ(key, list[0].key);
    EXPECT_EQ(std::string(2000, 'n'), Names(list, 0).at(0));
}

TEST(RegistryText, ValueDataIsReadAsTypedBytes) {
    using Kind = RegistryValue::Kind;
    struct Case {
        const char* line;
        Kind kind;
        uint32_t type;
        std::vector<uint8_t> data;
    } cases[] = {
        {"\"s\"=\"C:\\\\Dir \\\"q\\\"\"", Kind::kSet, 1, {'C', ':', '\\', 'D', 'i', 'r', ' ', '"', 'q', '"', 0}},
        {"\"s\"=\"\"", Kind::kSet, 1, {0}},
        {"\"d\"=dword:0000002a", Kind::kSet, 4, {0x2A, 0, 0, 0}},
        {"\"d\"=dword:FFFFFFFE", Kind::kSet, 4, {0xFE, 0xFF, 0xFF, 0xFF}},
        {"\"b\"=hex:00,ff, 10", Kind::kSet, 3, {0x00, 0xFF, 0x10}},
        {"\"b\"=hex:", Kind::kSet, 3, {}},
        {"\"e\"=hex(2):25,00", Kind::kSet, 2, {0x25, 0x00}},
        {"\"m\"=hex(7):61,00,\\\n  62,00,00", Kind::kSet, 7, {0x61, 0x00, 0x62, 0x00, 0x00}},
        {"\"x\"=-", Kind::kDelete, 0, {}},
        {"\"u\"=", Kind::kUnreadable, 0, {}},           // what the builder writes for other types
        {"\"u\"=dword:123456789", Kind::kUnreadable, 0, {}},
        {"\"u\"=dword:12g4", Kind::kUnreadable, 0, {}},
        {"\"u\"=hex:1,2,345", Kind::kUnreadable, 0, {}},
        {"\"u\"=hex(zz):00", Kind::kUnreadable, 0, {}},
        {"\"u\"=\"open", Kind::kUnreadable, 0, {}},
        {"\"u\"=\"a\" junk", Kind::kUnreadable, 0, {}},
        {"\"u\"", Kind::kUnreadable, 0, {}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].line);
        auto sections = ParseRegistryText(std::string(kHeader) + "[HKEY_CURRENT_USER\\K]\r\n" +
                                          cases[i].line + "\r\n\"next\"=\"n\"\r\n");
        ASSERT_EQ(1u, sections.size());
        ASSERT_EQ(2u, sections[0].values.size());  // a continuation never swallows the next line
        const RegistryValue& v = sections[0].values[0];
        EXPECT_EQ(cases[i].kind, v.kind);
        if (cases[i].kind != Kind::kSet) continue;
        EXPECT_EQ(cases[i].type, v.type);
        EXPECT_EQ(cases[i].data, v.data);
    }
}

// Removals are read for the writer, but nothing is left to uninstall.
TEST(RegistryText, DeletionsAndTheDefaultValueAreTold) {
    auto sections = ParseRegistryText(std::string(kHeader) +
                                      "[-HKEY_CURRENT_USER\\Gone]\r\n"
                                      "[HKEY_CURRENT_USER\\K]\r\n@=\"d\"\r\n\"@\"=\"named\"\r\n\"x\"=-\r\n");
    ASSERT_EQ(2u, sections.size());
    EXPECT_TRUE(sections[0].remove);
    EXPECT_EQ("HKEY_CURRENT_USER\\Gone", sections[0].key);
    ASSERT_EQ(3u, sections[1].values.size());
    EXPECT_TRUE(sections[1].values[0].isDefault);
    EXPECT_FALSE(sections[1].values[1].isDefault);
    EXPECT_EQ("@", sections[1].values[1].name);
    RegistryLogList list;
    for (const RegistrySection& s : sections) NoteRegistrySection(s, &list);
    ASSERT_EQ(1u, list.size());
    EXPECT_EQ((std::vector<std::string>{"@", "@"}), Names(list, 0));
}

TEST(RegistryText, KeyTextsSplitAtTheirRootAndNameTheirParents) {
    uint32_t root = 0;
    std::string sub;
    ASSERT_TRUE(SplitRegistryKey("HKEY_CURRENT_USER\\Software\\A", &root, &sub));
    EXPECT_EQ(kRootCurrentUser, root);
    EXPECT_EQ("Software\\A", sub);
    EXPECT_FALSE(SplitRegistryKey("HKEY_USERS\\x", &root, &sub));
    EXPECT_STREQ("HKEY_LOCAL_MACHINE", RegistryRootName(kRootLocalMachine));
    EXPECT_EQ((std::vector<std::string>{"HKEY_CURRENT_USER\\Software", "HKEY_CURRENT_USER\\Software\\V"}),
              ParentKeys("HKEY_CURRENT_USER\\Software\\V\\App"));
    EXPECT_TRUE(ParentKeys("HKEY_CURRENT_USER\\Software").empty());
}
