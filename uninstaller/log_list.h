// One list of the uninstall log, read through wendlo and released with it.
#pragma once

#include "uninstall_log/wendlo.h"

namespace uninstaller {

class LogList {
  public:
    // Reads section/prefix of the log; an empty or missing list has count 0.
    LogList(const char* log, const char* section, const char* prefix) {
        LogReadList(log, section, prefix, &items_, &count_);
    }
    ~LogList() { LogFreeList(items_, count_); }
    LogList(const LogList&) = delete;
    LogList& operator=(const LogList&) = delete;

    int count() const { return count_; }
    const char* operator[](int i) const { return items_[i]; }

  private:
    char** items_ = nullptr;
    int count_ = 0;
};

}  // namespace uninstaller
