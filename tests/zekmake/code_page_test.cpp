// The package's code page as zekmake's host converts to it: under Wine with
// WideCharToMultiByte, natively with iconv. Both must take exactly the
// characters of Windows-1252 to their bytes and refuse every other, so a
// description reads the same (and its package is the same bytes) on both.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#ifdef _WIN32
#include "tools/zekmake/win_host.h"
#else
#include "tools/zekmake/posix_host.h"
#endif

namespace {

#ifdef _WIN32
const zekmake::WinHost host;
#else
// The native host's conversion itself (PosixHost::ToAnsi passes to it).
const zekmake::CodePage host;
#endif

// Code page 1252's bytes 0x80 to 0x9F; the five it leaves undefined stand
// for the control characters of the same number, as in Windows' table.
constexpr uint16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::string Utf8(uint32_t c) {
    std::string s;
    if (c < 0x80) {
        s += (char)c;
    } else if (c < 0x800) {
        s += (char)(0xC0 | c >> 6);
        s += (char)(0x80 | (c & 0x3F));
    } else {
        s += (char)(0xE0 | c >> 12);
        s += (char)(0x80 | (c >> 6 & 0x3F));
        s += (char)(0x80 | (c & 0x3F));
    }
    return s;
}

TEST(CodePage, TakesExactlyTheCharactersOfWindows1252) {
    int byteOf[0x10000];
    for (int& b : byteOf) b = -1;
    for (int b = 1; b < 256; ++b) byteOf[b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : b] = b;
    int wrong = 0;
    for (uint32_t c = 1; c < 0x10000 && wrong < 10; ++c) {
        if (c >= 0xD800 && c < 0xE000) continue;  // no character of its own
        std::string ansi;
        bool taken = host.ToAnsi(Utf8(c), &ansi);
        bool expected = byteOf[c] >= 0;
        if (taken != expected || (taken && ansi != std::string(1, (char)byteOf[c]))) {
            ADD_FAILURE() << "U+" << std::hex << c << (taken ? " taken" : " refused");
            ++wrong;
        }
    }
}

TEST(CodePage, RefusesWhatIsNoUtf8OrBeyondTheCodePage) {
    const char* const kRefused[] = {
        "\x80",              // a continuation byte alone
        "a\xC3",             // cut short
        "\xC0\xAF",          // overlong "/"
        "\xED\xA0\x80",      // a surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xF0\x9F\x98\x80",  // beyond the 16-bit plane
    };
    for (const char* text : kRefused) {
        SCOPED_TRACE(text);
        std::string ansi;
        EXPECT_FALSE(host.ToAnsi(text, &ansi));
    }
    std::string ansi;
    ASSERT_TRUE(host.ToAnsi(std::string("x\0\xC3\xA9", 4), &ansi));
    EXPECT_EQ(std::string("x\0\xE9", 3), ansi);
}

}  // namespace
