#include <gtest/gtest.h>

#include <string>

#include "uninstaller/command_tail.h"

using uninstaller::CommandTail;

TEST(CommandTail, TakesEverythingAfterTheProgramName) {
    struct Case {
        const char* line;
        const char* tail;
    } cases[] = {
        // The registered command, program path in quotes, log path with blanks.
        {"\"C:\\Program Files\\App\\drevok.exe\" C:\\Program Files\\App\\uninst.log",
         "C:\\Program Files\\App\\uninst.log"},
        {"C:\\App\\drevok.exe C:\\App\\uninst.log", "C:\\App\\uninst.log"},
        // A quoted log path keeps its quotes; trailing blanks stay.
        {"drevok.exe \"C:\\App\\uninst.log\"", "\"C:\\App\\uninst.log\""},
        {"drevok.exe C:\\App\\uninst.log  ", "C:\\App\\uninst.log  "},
        // Every character at or below the blank separates, not only the blank.
        {"drevok.exe\t \x01 C:\\log", "C:\\log"},
        {"drevok.exe\tC:\\log", "C:\\log"},
        // A quoted name ends at its closing quote, even without a blank behind.
        {"\"C:\\A B\\drevok.exe\"C:\\log", "C:\\log"},
        {"\"C:\\A B\\drevok.exe\"", ""},
        // An unclosed quote takes the whole line.
        {"\"C:\\A B\\drevok.exe C:\\log", ""},
        // Unquoted, a name runs up to the first blank: the rest of a path
        // with blanks becomes the tail.
        {"C:\\Program Files\\App\\drevok.exe C:\\log", "Files\\App\\drevok.exe C:\\log"},
        // Quotes inside an unquoted name belong to it.
        {"C:\\A\"B\"\\drevok.exe C:\\log", "C:\\log"},
        // Letters above 127 in the ANSI code page are not blanks.
        {"C:\\M\xfcller\\drevok.exe C:\\M\xfcller\\uninst.log", "C:\\M\xfcller\\uninst.log"},
        {"drevok.exe", ""},
        {"drevok.exe   ", ""},
        {"", ""},
        {"\"\" C:\\log", "C:\\log"},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::string(cases[i].tail), CommandTail(cases[i].line));
    }
}

TEST(CommandTail, PointsIntoTheCommandLine) {
    const char line[] = "drevok.exe C:\\uninst.log";
    EXPECT_EQ(line + 11, CommandTail(line));
}
