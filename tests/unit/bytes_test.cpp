#include <gtest/gtest.h>

#include <cstring>

#include "package/bytes.h"

using namespace package;

TEST(Bytes, U32IsLittleEndianAndWidensBeforeShifting) {
    uint8_t b[4];
    PutU32LE(b, 0x80FF0102u);
    EXPECT_EQ(0x02, b[0]);
    EXPECT_EQ(0x01, b[1]);
    EXPECT_EQ(0xFF, b[2]);
    EXPECT_EQ(0x80, b[3]);
    EXPECT_EQ(0x80FF0102u, GetU32LE(b));
}

TEST(Bytes, CopyTextFitsExactlyOrCuts) {
    char buf[6];
    memset(buf, '#', sizeof buf);
    EXPECT_TRUE(CopyText(buf, sizeof buf, "abcde"));  // 5 characters + NUL fit exactly
    EXPECT_STREQ("abcde", buf);
    memset(buf, '#', sizeof buf);
    EXPECT_FALSE(CopyText(buf, sizeof buf, "abcdef"));  // one too many
    EXPECT_STREQ("abcde", buf);
    EXPECT_TRUE(CopyText(buf, sizeof buf, ""));
    EXPECT_STREQ("", buf);
    EXPECT_FALSE(CopyText(buf, 0, "x"));
}

TEST(Bytes, ReadTextFieldZeroFillsBehindTheText) {
    const uint8_t field[8] = {'a', 'b', 0, 'z', 'z', 'z', 'z', 'z'};
    char out[8];
    memset(out, '#', sizeof out);
    ReadTextField(field, sizeof field, out, sizeof out);
    EXPECT_STREQ("ab", out);
    for (size_t i = 2; i < sizeof out; ++i) EXPECT_EQ(0, out[i]) << i;
}

TEST(Bytes, JoinPathAddsOneBackslashOrRefuses) {
    char out[18];
    EXPECT_TRUE(JoinPath(out, sizeof out, "C:\\dir", "a.txt"));
    EXPECT_STREQ("C:\\dir\\a.txt", out);
    EXPECT_TRUE(JoinPath(out, sizeof out, "C:\\", "a.txt"));  // a drive's root
    EXPECT_STREQ("C:\\a.txt", out);
    EXPECT_TRUE(JoinPath(out, sizeof out, "C:\\dir\\", "uninst.log"));  // 17 + NUL fit exactly
    EXPECT_STREQ("C:\\dir\\uninst.log", out);
    memset(out, '#', sizeof out);
    EXPECT_FALSE(JoinPath(out, sizeof out, "C:\\dir", "uninst.logs"));  // one too many
    EXPECT_STREQ("", out);
    EXPECT_FALSE(JoinPath(out, 0, "C:", "x"));
}
