// The registry text's exact bytes: key and value lines, escapes, numbers,
// and the entries that cannot be written as a key line and a value line.
#include <gtest/gtest.h>

#include <climits>

#include "builder/registry_text.h"
#include "tests/builder/project_helpers.h"

using namespace builder;
using testproj::Reg;

namespace {

constexpr uint32_t kHkcr = 0x80000000, kHkcu = 0x80000001, kHklm = 0x80000002;

}  // namespace

TEST(RegistryText, NumbersReadLikeStrtolWithLowerCaseHexPrefix) {
    struct Case {
        const char* text;
        int32_t value;
    } cases[] = {
        {"26", 26},           {"0x1a", 0x1A},         {"0x1A", 0x1A},        {"0X1A", 0},
        {"0", 0},             {"", 0},                {"abc", 0},            {"  \t42", 42},
        {"+7", 7},            {"-1", -1},             {"12abc", 12},         {"0x1g", 1},
        {"0x", 0},            {" 0x10", 0},           {"-0x10", 0},          {"0x-5", 0},
        {"2147483647", INT32_MAX},                    {"2147483648", INT32_MAX},
        {"-2147483648", INT32_MIN},                   {"-2147483649", INT32_MIN},
        {"99999999999999999999999", INT32_MAX},       {"-99999999999999999999", INT32_MIN},
        {"0x7fffffff", INT32_MAX},                    {"0x80000000", INT32_MAX},
        {"0xFFFFFFFF", INT32_MAX},                    {"0x123456789ABCDEF", INT32_MAX},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.value, ParseRegistryNumber(c.text));
    }
}

TEST(RegistryText, KeyLineNamesEachRoot) {
    EXPECT_EQ("[HKEY_CLASSES_ROOT\\.abc]\r\n\"\"=\"\"\r\n", FormatRegEntry(Reg(kHkcr, 0, ".abc", "", "")));
    EXPECT_EQ("[HKEY_CURRENT_USER\\Software\\A B]\r\n\"v\"=\"x\"\r\n",
              FormatRegEntry(Reg(kHkcu, 0, "Software\\A B", "v", "x")));
    EXPECT_EQ("[HKEY_LOCAL_MACHINE\\SOFTWARE]\r\n\"v\"=\"x\"\r\n",
              FormatRegEntry(Reg(kHklm, 0, "SOFTWARE", "v", "x")));
}

TEST(RegistryText, ValueLines) {
    struct Case {
        uint32_t type;
        const char* name;
        const char* data;
        const char* line;
    } cases[] = {
        {0, "Path", "C:\\\\Dir\\x", "\"Path\"=\"C:\\\\\\\\Dir\\\\x\""},
        {0, "Quote", "say \"hi\"", "\"Quote\"=\"say \\\"hi\\\"\""},
        {0, "(Default)", "text", "@=\"text\""},
        {0, "(default)", "text", "\"(default)\"=\"text\""},
        {0, "(Default) ", "text", "\"(Default) \"=\"text\""},
        {0, "", "", "\"\"=\"\""},
        {0, "a\\b\"c", "d", "\"a\\b\"c\"=\"d\""},  // names are written unchanged
        {1, "Hex", "0x1a", "\"Hex\"=dword:1A"},
        {1, "Dec", "26", "\"Dec\"=dword:1A"},
        {1, "Upper", "0X1A", "\"Upper\"=dword:0"},
        {1, "Zero", "0", "\"Zero\"=dword:0"},
        {1, "Minus", "-1", "\"Minus\"=dword:FFFFFFFF"},
        {1, "Max", "0xFFFFFFFF", "\"Max\"=dword:7FFFFFFF"},
        {1, "Min", "-2147483648", "\"Min\"=dword:80000000"},
        {1, "(Default)", "255", "@=dword:FF"},
        {2, "Other", "ignored", "\"Other\"="},
        {0xFFFFFFFF, "(Default)", "x", "@="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(std::string("[HKEY_CURRENT_USER\\K]\r\n") + c.line + "\r\n",
                  FormatRegEntry(Reg(kHkcu, c.type, "K", c.name, c.data)));
    }
}

TEST(RegistryText, SameKeyTwiceGivesTheKeyLineTwice) {
    std::string text = kRegistryTextStart;
    text += FormatRegEntry(Reg(kHkcu, 0, "Software\\S", "A", "1"));
    text += FormatRegEntry(Reg(kHkcu, 1, "Software\\S", "B", "2"));
    EXPECT_EQ("REGEDIT4\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\S]\r\n\"A\"=\"1\"\r\n"
              "[HKEY_CURRENT_USER\\Software\\S]\r\n\"B\"=dword:2\r\n",
              text);
    EXPECT_EQ(12u, strlen(kRegistryTextStart));
}

TEST(RegistryText, EntriesThatWouldBreakTheLineAlternationAreRefused) {
    EXPECT_EQ(RegEntryFault::kNone, CheckRegEntry(Reg(kHkcr, 0, "K", "N", "D")));
    EXPECT_EQ(RegEntryFault::kNone, CheckRegEntry(Reg(kHklm, 7, "K", "N", "D")));
    for (uint32_t root : {0u, 0x80000003u, 0x80000005u, 0x7FFFFFFFu}) {
        SCOPED_TRACE(root);
        EXPECT_EQ(nullptr, RegistryRootName(root));
        EXPECT_EQ(RegEntryFault::kUnknownRoot, CheckRegEntry(Reg(root, 0, "K", "N", "D")));
    }
    EXPECT_EQ(RegEntryFault::kLineBreak, CheckRegEntry(Reg(kHkcu, 0, "K\r\n[X]", "N", "D")));
    EXPECT_EQ(RegEntryFault::kLineBreak, CheckRegEntry(Reg(kHkcu, 0, "K", "N\n", "D")));
    EXPECT_EQ(RegEntryFault::kLineBreak, CheckRegEntry(Reg(kHkcu, 0, "K", "N", "two\rlines")));
}

// The installer reads what the builder writes with its own reader: each
// entry comes back with its key, name and typed data.
TEST(RegistryText, WrittenTextReadsBackAsTheEntries) {
    struct Case {
        uint32_t type;
        const char* name;
        const char* data;
        bool isDefault;
        uint32_t regType;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {0, "Path", "C:\\Dir \"x\"", false, 1, {'C', ':', '\\', 'D', 'i', 'r', ' ', '"', 'x', '"', 0}},
        {0, "(Default)", "", true, 1, {0}},
        {1, "N", "-2", false, 4, {0xFE, 0xFF, 0xFF, 0xFF}},
        {1, "(Default)", "0x1a", true, 4, {0x1A, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = std::string(kRegistryTextStart) +
                           FormatRegEntry(Reg(kHklm, c.type, "Software\\V App", c.name, c.data));
        auto sections = package::ParseRegistryText(text);
        ASSERT_EQ(1u, sections.size());
        EXPECT_EQ("HKEY_LOCAL_MACHINE\\Software\\V App", sections[0].key);
        ASSERT_EQ(1u, sections[0].values.size());
        const package::RegistryValue& v = sections[0].values[0];
        EXPECT_EQ(package::RegistryValue::Kind::kSet, v.kind);
        EXPECT_EQ(c.isDefault, v.isDefault);
        if (!c.isDefault) {
            EXPECT_EQ(c.name, v.name);
        }
        EXPECT_EQ(c.regType, v.type);
        EXPECT_EQ(c.bytes, v.data);
    }
}
