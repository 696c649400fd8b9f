// Writes a one-file installer: the stub program with the shipped files
// appended, and the directory and trailer the stub finds them by
// (package/one_file.h). Portable: standard C files only.
#pragma once

#include <string>
#include <vector>

namespace zekmake {

struct OneFilePart {
    std::string name;  // as the stub unpacks it: a plain name of at most 15 characters
    std::string path;  // where zekmake reads it
};

// Writes outPath from the stub at stubPath and parts, in their order.
// Returns false with *problem telling why (a file that cannot be read or
// written, a name that does not fit, a result of 4 GiB or more); outPath
// may then hold a part of the file.
bool WriteOneFile(const std::string& stubPath, const std::vector<OneFilePart>& parts,
                  const std::string& outPath, std::string* problem);

}  // namespace zekmake
