#include <gtest/gtest.h>

#include "package/decimal.h"

using package::ParseUnsignedDecimal;

TEST(ParseUnsignedDecimal, ReadsTheStoredCrcForms) {
    struct Case {
        const char* text;
        uint32_t value;
    } cases[] = {
        {"0", 0},
        {"1094861636", 1094861636u},
        {"4294967295", 4294967295u},   // above 2^31: still unsigned
        {"3735928559", 3735928559u},
        {"  \t42", 42},                // leading white space skipped
        {"123abc", 123},               // digits up to the first non-digit
        {"", 0},                       // no digits
        {"NOCRC", 0},
        {"0xDEADBEEF", 0},             // hexadecimal is not understood
        {"-1", 0},                     // nor a sign
        {"4294967296", 4294967295u},   // beyond the range: saturates
        {"99999999999999999999999", 4294967295u},
        {"0004294967295", 4294967295u},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(cases[i].text);
        EXPECT_EQ(cases[i].value, ParseUnsignedDecimal(cases[i].text));
    }
}
