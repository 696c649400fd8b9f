#include <gtest/gtest.h>

#include <cstring>

#include "package/path_text.h"

using namespace package;

TEST(PathText, PlainNamesAreAccepted) {
    const char* names[] = {"setup.exe", "a", "read me.txt", ".profile", "x..y", "file.", "com10",
                           "lpt0.txt", "console.log", "nul2", "auxiliary.dat"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsPlainName(name));
    }
}

TEST(PathText, NamesThatLeaveTheFolderAreRefused) {
    const char* names[] = {"", ".", "..", "...", " ", ". .", "..\\evil.dll", "sub\\file",
                           "sub/file", "/etc", "C:evil.exe", "C:\\windows\\evil.dll",
                           "\\\\server\\share", "file:stream", "CON", "con.txt", "Nul",
                           "NUL .log", "aux.tar.gz", "PRN", "COM1", "com9.dat", "LPT3",
                           "conin$", "CONOUT$.x"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsPlainName(name));
    }
}

TEST(PathText, JoinAddsOneBackslashAndRefusesWhatDoesNotFit) {
    char out[13];
    EXPECT_TRUE(JoinPath(out, sizeof out, "C:\\app", "a.txt"));
    EXPECT_STREQ("C:\\app\\a.txt", out);  // 12 characters + NUL fit exactly
    EXPECT_TRUE(JoinPath(out, sizeof out, "C:\\app\\", "a.txt"));
    EXPECT_STREQ("C:\\app\\a.txt", out);
    EXPECT_TRUE(JoinPath(out, sizeof out, "", "a.txt"));
    EXPECT_STREQ("a.txt", out);
    memset(out, '#', sizeof out);
    EXPECT_FALSE(JoinPath(out, sizeof out, "C:\\app", "ab.txt"));  // one too many
    EXPECT_STREQ("", out);
    EXPECT_FALSE(JoinPath(out, 0, "C:", "a"));
}
