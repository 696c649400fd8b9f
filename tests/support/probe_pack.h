// Run packs whose program is the runpack_probe fixture: it reads probe.ini
// beside it and writes to its log "<name> start <folder>", one line
// "<name> file <file>" per file beside it, and "<name> end" when it ends.
#pragma once

#include <string>
#include <vector>

#include "tests/support/test_package.h"

namespace testpkg {

class ProbePacks {
  public:
    // probeExe: the fixture program; the logs are written into logDir.
    ProbePacks(const std::string& probeExe, const std::string& logDir);

    bool HasProgram() const { return !program_.empty(); }

    // A pack of probe.ini, the extra files and the program last
    // ("probe.exe"). With waitEvent the program runs until that event is set;
    // it ends with exitCode.
    Bytes Pack(const std::string& name, bool wait, const std::string& waitEvent = "",
               std::vector<StoredFile> extra = {}, int exitCode = 0) const;
    std::string Ini(const std::string& name, const std::string& waitEvent = "",
                    int exitCode = 0) const;

    std::string LogPath(const std::string& name) const { return logDir_ + "\\" + name + ".log"; }
    // The lines of the probe's log; empty when it never ran.
    std::vector<std::string> Log(const std::string& name) const;
    // The log's last line ("<name> end" once it ended); empty when it never ran.
    std::string LastLine(const std::string& name) const;
    // The files the probe found beside it, sorted.
    std::vector<std::string> FilesSeen(const std::string& name) const;
    // The folder it ran in; empty when it never ran.
    std::string FolderSeen(const std::string& name) const;

  private:
    Bytes program_;
    std::string logDir_;
};

}  // namespace testpkg
