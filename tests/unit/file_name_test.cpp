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
