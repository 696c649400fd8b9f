// The runtime the shipped programs link (win32/lean_runtime.cpp) in place of
// the static C++ runtime's: its printf goes to the system's msvcrt, whose
// answers on a short buffer differ from ISO C; the code relies on ISO's.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

TEST(LeanRuntime, ShortBuffersAreCutWithANulAndTheFullLengthReturned) {
    struct Case {
        size_t bufSize;
        const char* text;
    };
    // "RegKey12" is 8 characters: it fits from 9 bytes on.
    const Case cases[] = {{64, "RegKey12"}, {9, "RegKey12"}, {8, "RegKey1"}, {2, "R"}, {1, ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bufSize);
        char buf[65];
        memset(buf, '#', sizeof buf);
        EXPECT_EQ(8, snprintf(buf, c.bufSize, "RegKey%i", 12));
        EXPECT_STREQ(c.text, buf);
        EXPECT_EQ('#', buf[c.bufSize]);  // nothing written past the buffer
    }
    char untouched[4] = "##";
    EXPECT_EQ(8, snprintf(untouched, 0, "RegKey%i", 12));
    EXPECT_STREQ("##", untouched);
}

TEST(LeanRuntime, TheConversionsTheProgramsUsePrintAsBefore) {
    char buf[128];
    snprintf(buf, sizeof buf, "%s|%d|%i|%u|%X|%08X|%%%02X|%s", "a", -5, 7, 4000000000u, 0xBEEFu,
             0x1Fu, 0x0Au, "C:\\Program Files\\App");
    EXPECT_STREQ("a|-5|7|4000000000|BEEF|0000001F|%0A|C:\\Program Files\\App", buf);
}

TEST(LeanRuntime, AllocationsServeStringsAndNothrowNew) {
    std::string text(100000, 'x');
    text += std::to_string(-42);
    EXPECT_EQ(100003u, text.size());
    EXPECT_EQ("-42", text.substr(100000));
    char* block = new (std::nothrow) char[1 << 20];
    ASSERT_NE(nullptr, block);
    block[(1 << 20) - 1] = 1;
    delete[] block;
}

}  // namespace
