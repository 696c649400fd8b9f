#include <gtest/gtest.h>

#include "uninstall_log/log_format.h"

using namespace uninstall_log;

TEST(LogFormat, KindsNameTheirLists) {
    EXPECT_STREQ("CreatedDirs", ListForKind(1).section);
    EXPECT_STREQ("Dir", ListForKind(1).prefix);
    EXPECT_STREQ("CopiedFiles", ListForKind(2).section);
    EXPECT_STREQ("File", ListForKind(2).prefix);
    EXPECT_STREQ("InstalledDLLs", ListForKind(3).section);
    EXPECT_STREQ("DLL", ListForKind(3).prefix);
    EXPECT_STREQ("OLEFiles", ListForKind(4).section);
    EXPECT_STREQ("OLE", ListForKind(4).prefix);
    EXPECT_STREQ("ShellLinks", ListForKind(5).section);
    EXPECT_STREQ("Link", ListForKind(5).prefix);
    EXPECT_EQ(nullptr, ListForKind(0).section);
    EXPECT_EQ(nullptr, ListForKind(6).section);
}

TEST(LogFormat, AwkwardTextsRoundTrip) {
    const char* texts[] = {"C:\\Program Files\\App\\a=b;c[1].txt",
                           "; starts like a comment",
                           "[looks like a header]",
                           " leading and trailing ",
                           "100% done %41",
                           "tab\there\r\nline",
                           "caf\xe9 \x81\x8d\xff",
                           "",
                           "="};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        std::string lines = RecordLines("CopiedFiles", "File", text, true);
        // One record is always one line: no line end can come from the text.
        EXPECT_EQ(lines.find("\r\n"), lines.rfind("\r\n", lines.size() - 3));
        std::vector<std::string> back = ReadList(lines, "CopiedFiles", "File");
        ASSERT_EQ(1u, back.size());
        EXPECT_EQ(text, back[0]);
    }
}

TEST(LogFormat, ListsGatherEveryMatchingSectionInFileOrder) {
    std::string file =
        "[main]\r\nAppName=Demo\r\n"
        "[CreatedDirs]\r\nDir=C:\\A\r\n"
        "[CopiedFiles]\r\nFile=C:\\A\\1\r\nFile=C:\\A\\2\r\n"
        "[createddirs]\r\nDIR=C:\\A\\B\r\n"
        "[CopiedFiles]\nFile=C:\\A\\3\n"   // bare LF line ends read too
        "Other=ignored\r\n"
        "; File=commented\r\n"
        "[RegKey1]\r\nValue=@\r\n[RegKey12]\r\nValue=Twelve\r\n";
    EXPECT_EQ((std::vector<std::string>{"C:\\A", "C:\\A\\B"}), ReadList(file, "CreatedDirs", "Dir"));
    EXPECT_EQ((std::vector<std::string>{"C:\\A\\1", "C:\\A\\2", "C:\\A\\3"}),
              ReadList(file, "CopiedFiles", "File"));
    EXPECT_EQ((std::vector<std::string>{"@"}), ReadList(file, "RegKey1", "Value"));
    EXPECT_EQ((std::vector<std::string>{"Twelve"}), ReadList(file, "RegKey12", "Value"));
    EXPECT_TRUE(ReadList(file, "ShellLinks", "Link").empty());
    EXPECT_TRUE(ReadList("", "CopiedFiles", "File").empty());
}

TEST(LogFormat, UnescapeLeavesStrayPercentSignsAlone) {
    EXPECT_EQ("50%", UnescapeText("50%"));
    EXPECT_EQ("%G1", UnescapeText("%G1"));
    EXPECT_EQ("%", UnescapeText("%25"));
}
