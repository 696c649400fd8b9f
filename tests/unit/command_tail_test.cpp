#include <gtest/gtest.h>

#include <string>

#include "installer/command_line.h"
#include "installer/exit_code.h"
#include "uninstaller/command_tail.h"
#include "uninstaller/exit_code.h"

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

TEST(CommandTail, TakesTheQuietSwitchBeforeTheLogPath) {
    struct Case {
        const char* tail;
        bool quiet;
        const char* logPath;
    } cases[] = {
        {"/S C:\\App B\\uninst.log", true, "C:\\App B\\uninst.log"},
        {"/s\tC:\\log", true, "C:\\log"},
        {"/S", true, ""},
        // Only the switch by itself: a log path is never shortened.
        {"/Sx C:\\log", false, "/Sx C:\\log"},
        {"C:\\log /S", false, "C:\\log /S"},
        {"", false, ""},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        bool quiet = !cases[i].quiet;
        EXPECT_EQ(std::string(cases[i].logPath), uninstaller::TakeQuietSwitch(cases[i].tail, &quiet));
        EXPECT_EQ(cases[i].quiet, quiet);
    }
}

TEST(SetupSwitches, ReadsEachSwitchInAnyOrderAndCase) {
    struct Case {
        const char* tail;
        bool unattended;
        const char* type;
        const char* log;
        const char* destination;
        const char* bad;
    } cases[] = {
        {"", false, "", "", "", ""},
        {"/S /TYPE=2 /D=C:\\Apps\\My App", true, "2", "", "C:\\Apps\\My App", ""},
        {"/type=Full /log=C:\\l.txt /s", true, "Full", "C:\\l.txt", "", ""},
        // Quoted values may hold blanks; /D= runs to the end, quotes or not.
        {"/S /TYPE=\"Full install\" /LOG=\"C:\\My Logs\\s.txt\" /D=\"C:\\A B\"  ", true,
         "Full install", "C:\\My Logs\\s.txt", "C:\\A B", ""},
        {"/S /D=C:\\A /TYPE=2", true, "", "", "C:\\A /TYPE=2", ""},
        // Switches without /S are read, and nothing acts on them.
        {"/D=C:\\A", false, "", "", "C:\\A", ""},
        // Unknown, empty or unclosed: the first one is named.
        {"/S /X /Y", true, "", "", "", "/X"},
        {"/S /TYPE= /D=C:\\A", true, "", "", "C:\\A", "/TYPE="},
        {"/S /LOG=\"C:\\a b", true, "", "", "", "/LOG=\"C:\\a"},
        {"/S /LOG=\"a\"b", true, "", "", "", "/LOG=\"a\"b"},
        {"/S /D=", true, "", "", "", "/D="},
        {"/S /D=\"\"", true, "", "", "", "/D=\"\""},
        {"/Silent", false, "", "", "", "/Silent"},
        {"C:\\stray /S", true, "", "", "", "C:\\stray"},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(cases[i].tail);
        installer::Switches s = installer::ParseSwitches(cases[i].tail);
        EXPECT_EQ(cases[i].unattended, s.unattended);
        EXPECT_EQ(cases[i].type, s.type);
        EXPECT_EQ(cases[i].log, s.logPath);
        EXPECT_EQ(cases[i].destination, s.destination);
        EXPECT_EQ(cases[i].bad, s.bad);
    }
}

TEST(SetupSwitches, ChoosesTheTypeByNumberOrExactName) {
    const char* names[] = {"Full", "Minimal", "2"};
    struct Case {
        const char* text;
        int index;
    } cases[] = {{"", 0},  {"1", 0},      {"3", 2},         {"Minimal", 1}, {"minimal", -1},
                 {"0", -1}, {"4", -1},    {"0002", 1},      {"Other", -1},  {"99999999999", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.index, installer::ChooseSetupType(c.text, names, 3));
    }
}

TEST(SetupSwitches, FindsTheFolderOfARegisteredUninstallCommand) {
    struct Case {
        const char* command;
        const char* folder;
    } cases[] = {
        {"\"C:\\Program Files\\App\\drevok.exe\" C:\\Program Files\\App\\uninst.log",
         "C:\\Program Files\\App"},
        {"C:\\App\\DREVOK.EXE C:\\App\\UNINST.LOG", "C:\\App"},
        {"\"C:\\App\\drevok.exe\" /S C:\\App\\uninst.log", "/S C:\\App"},
        {"C:\\App\\other.exe C:\\App\\uninst.log", ""},
        {"\"C:\\App\\drevok.exe\" C:\\App\\other.log", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(c.folder, installer::FolderOfUninstallCommand(c.command));
    }
}

TEST(SetupSwitches, WritesAMessageAsOneLogLine) {
    EXPECT_EQ("Vornel Setup: Cannot create directory C:\\A  Installation must end now !",
              installer::LogLine("Vornel Setup", "Cannot create directory C:\\A\n Installation must end now !"));
    EXPECT_EQ("GetLastError: Access denied. x y", installer::LogLine("GetLastError", "Access denied.\r\nx\ry"));
}

// Deployment tools branch on these numbers.
TEST(ExitCodes, AreNeverRenumbered) {
    EXPECT_EQ(0, installer::kSetupFailed);
    EXPECT_EQ(1, installer::kSetupDone);
    EXPECT_EQ(2, installer::kSetupRestartNeeded);
    EXPECT_EQ(0, uninstaller::kUninstallFailed);
    EXPECT_EQ(1, uninstaller::kUninstallDone);
}
