// dlgdrive: runs a program and answers its dialogs from a script.
//
//   dlgdrive [--dir DIR] [--timeout MS] [--transcript FILE] [--env NAME=VALUE]...
//            --script FILE -- PROGRAM [ARGS...]
//
// Script lines (texts take \n, \t and \\ escapes; # starts a comment line):
//   wait CAPTION        wait for a window and make it the current one
//   expect ID TEXT      the control's text must be TEXT (ID 65535: a message box's text)
//   set ID TEXT         set an edit control's text
//   select ID INDEX     choose a combo box entry
//   check ID 0|1        set a check box or radio button
//   click ID            send the command of control ID (a button click)
//   gone                wait until the current window has closed
//   shot FILE           save the screen as a BMP file, once the current window is painted
//   exit CODE           wait for the program to end with CODE
//   clock LABEL         print "LABEL SECONDS" on stdout, seconds on a monotonic
//                       clock (for benchmarks: the difference of two labels)
// Exit status: 0 when every line held, 1 otherwise; the transcript names the line.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tools/dialog_driver/dialog_driver.h"

namespace {

void PrintClock(const std::string& label) {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    printf("%s %.4f\n", label.c_str(), (double)now.QuadPart / (double)frequency.QuadPart);
    fflush(stdout);
}

bool RunScript(dlgdrive::Driver& driver, std::istream& script, std::string* failure) {
    HWND current = nullptr;
    std::string line;
    for (int number = 1; std::getline(script, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string verb;
        words >> verb;
        std::string rest;
        std::getline(words >> std::ws, rest);
        std::string text = dlgdrive::Unescape(rest);
        int id = atoi(rest.c_str());
        std::string arg = rest.substr(std::min(rest.size(), rest.find(' ') + 1));
        bool ok = true;
        if (verb == "wait") ok = (current = driver.WaitWindow(text)) != nullptr;
        else if (verb == "exit") ok = driver.WaitExit() == id;
        else if (verb == "shot") ok = driver.SaveScreenshot(current, text);
        else if (verb == "clock") PrintClock(text);
        else if (!current) ok = false;
        else if (verb == "expect") ok = driver.Text(current, id) == dlgdrive::Unescape(arg);
        else if (verb == "set") ok = driver.SetText(current, id, dlgdrive::Unescape(arg));
        else if (verb == "select") ok = driver.SelectCombo(current, id, atoi(arg.c_str()));
        else if (verb == "check") ok = driver.Check(current, id, atoi(arg.c_str()) != 0);
        else if (verb == "click") ok = driver.Click(current, id);
        else if (verb == "gone") ok = driver.WaitGone(current);
        else ok = false;
        if (!ok) {
            *failure = "script line " + std::to_string(number) + " failed: " + line;
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = ".", transcriptPath, scriptPath, program, args;
    std::vector<std::string> env;
    DWORD timeout = 20000;
    int i = 1;
    for (; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--") break;
        if (i + 1 >= argc) return fprintf(stderr, "dlgdrive: %s needs a value\n", a.c_str()), 2;
        std::string value = argv[++i];
        if (a == "--dir") dir = value;
        else if (a == "--timeout") timeout = (DWORD)atol(value.c_str());
        else if (a == "--transcript") transcriptPath = value;
        else if (a == "--env") env.push_back(value);
        else if (a == "--script") scriptPath = value;
        else return fprintf(stderr, "dlgdrive: unknown option %s\n", a.c_str()), 2;
    }
    if (i + 1 >= argc || scriptPath.empty())
        return fprintf(stderr, "usage: dlgdrive [options] --script FILE -- PROGRAM [ARGS...]\n"), 2;
    program = argv[++i];
    for (++i; i < argc; ++i) args += (args.empty() ? "" : " ") + std::string(argv[i]);

    std::ifstream script(scriptPath);
    if (!script) return fprintf(stderr, "dlgdrive: cannot read %s\n", scriptPath.c_str()), 2;
    dlgdrive::Driver driver(timeout);
    std::string failure;
    bool ok = driver.Start(program, args, dir, env) && RunScript(driver, script, &failure);
    std::string transcript = driver.Transcript() + (failure.empty() ? "" : failure + "\n");
    if (!transcriptPath.empty()) {
        std::ofstream(transcriptPath, std::ios::binary) << transcript;
    }
    if (!ok) fprintf(stderr, "%s", transcript.c_str());
    return ok ? 0 : 1;
}
