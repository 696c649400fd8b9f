#include "tests/win32/file_holder.h"

namespace wintest {

// The holder shows its box only once it holds the file.
FileHolder::FileHolder(Mode mode, const std::string& path) {
    if (driver_.Start(std::string(SUITE_FIXTURE_DIR) + "\\file_holder.exe",
                      (mode == kOpen ? "open " : "load ") + path, SUITE_FIXTURE_DIR))
        box_ = driver_.WaitWindow("File holder");
}

FileHolder::~FileHolder() {
    if (box_) driver_.Click(box_, IDOK);
    driver_.WaitExit();
}

}  // namespace wintest
