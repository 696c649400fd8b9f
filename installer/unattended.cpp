#include "installer/unattended.h"

#include <windows.h>

#include <cstdio>

#include "installer/command_line.h"
#include "installer/setup_run.h"
#include "win32/message_box.h"
#include "win32/unique_handle.h"

namespace installer {

namespace {

// The sink is a plain function, so the path it writes to lives here.
std::string logPath;

int WriteLine(const char* caption, const char* text, UINT type) {
    if (!logPath.empty()) {
        // Opened for each line: a run that ends anywhere leaves every line
        // written, and an administrator's file gathering several runs keeps
        // the earlier ones.
        win32::UniqueFile file(fopen(logPath.c_str(), "ab"));
        if (file) fprintf(file.get(), "%s\r\n", LogLine(caption, text).c_str());
    }
    UINT buttons = type & MB_TYPEMASK;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

}  // namespace

void RouteMessagesToLog(const std::string& path) {
    logPath = path;
    win32::SetMessageSink(WriteLine);
}

void LogUnattended(const std::string& text) {
    win32::ShowMessage(nullptr, text.c_str(), kSetupName, MB_OK);
}

}  // namespace installer
