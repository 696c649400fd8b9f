#include <gtest/gtest.h>

#include <cstring>

#include "package/file_name.h"

using namespace package;

TEST(FileName, PlainNamesAreAccepted) {
    const char* names[] = {"setup.exe", "a", "read me.txt", ".profile", "x..y", "file.", "com10",
                           "lpt0.txt", "console.log", "nul2", "auxiliary.dat",
                           "com\xBC", "LPT\xB9\xB2"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsPlainName(name));
    }
}

TEST(FileName, NamesThatLeaveTheFolderAreRefused) {
    const char* names[] = {"", ".", "..", "...", " ", ". .", "..\\evil.dll", "sub\\file",
                           "sub/file", "/etc", "C:evil.exe", "C:\\windows\\evil.dll",
                           "\\\\server\\share", "file:stream", "CON", "con.txt", "Nul",
                           "NUL .log", "aux.tar.gz", "PRN", "COM1", "com9.dat", "LPT3",
                           "conin$", "CONOUT$.x", "COM\xB9", "com\xB2.txt", "LPT\xB3",
                           "lpt\xB9 .log"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsPlainName(name));
    }
}

TEST(FileName, RelativePathsStayBelowTheirFolder) {
    for (const char* path : {"", "Vendor", "Vendor\\App", "My Tools\\App 2.0"}) {
        SCOPED_TRACE(path);
        EXPECT_TRUE(package::IsPlainRelativePath(path));
    }
    for (const char* path : {"..", "Vendor\\..\\..", "\\Vendor", "Vendor\\", "Vendor\\\\App", "C:\\Evil",
                             "a/b", "Vendor\\CON"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(package::IsPlainRelativePath(path));
    }
}

// The order a group's files are packed in, whatever the file system lists
// first: case-blind as NTFS orders a folder, by each character's UTF-16
// value after upper-casing ("_" after the letters, accented capitals after
// ASCII, the code page's 0x80-0x9F characters by their Unicode values), and
// names that differ in case only by their bytes.
TEST(FileName, ListingOrderIsNtfsOrder) {
    struct Case {
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"A.txt", "a1.txt"},  {"a.TXT", "B"},           {"Zed", "_x"},
        {"_x", "\xE9"},       {"\xC9" "a", "\xE9" "b"}, {"\x8A", "\x9F"},  // Š U+0160 < Ÿ U+0178
        {"\xFF", "\x8E"},     {"\x8E", "\xB5"},         {"\x83", "\x80"},  // ƒ U+0192 < € U+20AC
        {"ab", "abc"},        {"ABC", "abc"},           {"\x9A" "a", "\x8A" "b"},  // š as Š
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " < " + c.after);
        EXPECT_TRUE(package::ListingOrderLess(c.before, c.after));
        EXPECT_FALSE(package::ListingOrderLess(c.after, c.before));
    }
    EXPECT_FALSE(package::ListingOrderLess("same", "same"));
}
