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
