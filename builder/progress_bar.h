// A progress bar moved from a copy loop, 0 to 100.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace builder {

class ProgressBar {
  public:
    void Attach(HWND bar) {
        bar_ = bar;
        shown_ = 0;
        sentAt_ = GetTickCount() - kMinIntervalMs;
    }

    // Moves the bar to percent; true when it moved. Each move repaints the
    // bar at once (about a millisecond under Wine), and files move in
    // 4096-byte blocks: moves come at most every kMinIntervalMs, the others
    // are dropped. The end of a copy (100) is never dropped, so a finished
    // file never leaves the bar short of full.
    bool Set(int percent) {
        if (!bar_ || percent == shown_) return false;
        if (percent < 100 && GetTickCount() - sentAt_ < kMinIntervalMs) return false;
        shown_ = percent;
        sentAt_ = GetTickCount();
        SendMessageA(bar_, PBM_SETPOS, percent, 0);
        return true;
    }

  private:
    static constexpr DWORD kMinIntervalMs = 50;
    HWND bar_ = nullptr;
    int shown_ = 0;
    DWORD sentAt_ = 0;
};

}  // namespace builder
