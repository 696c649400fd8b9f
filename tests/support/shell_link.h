// Shell links as the tests read them back.
#pragma once

#include <string>

namespace testpkg {

// The target path a .lnk file holds; empty when it cannot be loaded.
std::string LinkTarget(const std::string& linkPath);

}  // namespace testpkg
