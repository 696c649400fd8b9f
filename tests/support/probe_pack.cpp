#include "tests/support/probe_pack.h"

#include <algorithm>

namespace testpkg {

ProbePacks::ProbePacks(const std::string& probeExe, const std::string& logDir)
    : program_(ReadFileBytes(probeExe)), logDir_(logDir) {}

Bytes ProbePacks::Pack(const std::string& name, bool wait, const std::string& waitEvent,
                       std::vector<StoredFile> extra, int exitCode) const {
    extra.insert(extra.begin(), {"probe.ini", TextBytes(Ini(name, waitEvent, exitCode))});
    extra.push_back({"probe.exe", program_});
    return RunPackBlock("probe.exe", wait, extra);
}

std::string ProbePacks::Ini(const std::string& name, const std::string& waitEvent,
                            int exitCode) const {
    return "[probe]\r\nname=" + name + "\r\nlog=" + LogPath(name) + "\r\nwait=" + waitEvent +
           "\r\nexit=" + std::to_string(exitCode) + "\r\n";
}

std::vector<std::string> ProbePacks::Log(const std::string& name) const {
    std::vector<std::string> lines;
    Bytes bytes = ReadFileBytes(LogPath(name));
    std::string text(bytes.begin(), bytes.end());
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

std::string ProbePacks::LastLine(const std::string& name) const {
    std::vector<std::string> lines = Log(name);
    return lines.empty() ? "" : lines.back();
}

std::vector<std::string> ProbePacks::FilesSeen(const std::string& name) const {
    std::vector<std::string> files;
    for (const std::string& line : Log(name))
        if (line.rfind(name + " file ", 0) == 0) files.push_back(line.substr(name.size() + 6));
    std::sort(files.begin(), files.end());
    return files;
}

std::string ProbePacks::FolderSeen(const std::string& name) const {
    std::vector<std::string> lines = Log(name);
    return lines.empty() ? "" : lines[0].substr(name.size() + 7);
}

}  // namespace testpkg
