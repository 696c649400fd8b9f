// Progress shown from copy loops: a bar from 0 to 100 and, beside it, an
// optional text line, with their changes paced. Shared by the builder, the
// installer and the uninstaller.
#pragma once

#include <windows.h>

#include <commctrl.h>

namespace win32 {

// The millisecond clock that paces progress displays; tests replace it to
// make every change due (or none) without waiting.
inline DWORD(WINAPI* g_progressClock)() = GetTickCount;

// Each change of a bar or a text control repaints it at once (about 1.2 ms
// under Wine) and copy loops move every 4096 bytes: 12,500 moves for 50 MB,
// which cost far more than the copy itself. So a change goes out only when
// it differs from what is shown and no sooner than kMinIntervalMs after the
// last one; what is held back waits for the next change that goes out, or
// for Flush. 100 goes out however soon it comes, so a finished copy never
// leaves its bar short of full.
class ProgressDisplay {
  public:
    static constexpr DWORD kMinIntervalMs = 50;

    // Shows on bar (a progress control showing `showing`, -1 when unknown)
    // and line (a static); either may be null. The next change goes out at
    // once.
    void Attach(HWND bar, HWND line = nullptr, int showing = -1) {
        bar_ = bar;
        line_ = line;
        shown_ = wanted_ = showing;
        text_[0] = 0;
        textWaiting_ = false;
        Restart();
    }

    HWND bar() const { return bar_; }

    // The next change goes out at once (a new phase begins).
    void Restart() { paced_ = false; }

    // Asks for the bar at percent; true when the bar moved now.
    bool SetPercent(int percent) {
        wanted_ = percent;
        if (Due()) return Send();
        if (!bar_ || percent != 100 || percent == shown_) return false;
        MoveBar();
        return true;
    }

    // Asks for text on the line (copied, cut at MAX_PATH - 1 characters); it
    // goes out with the next change that goes out.
    void SetText(const char* text) {
        lstrcpynA(text_, text, sizeof text_);
        textWaiting_ = true;
    }

    // Sends at once whatever was asked for and not shown yet.
    void Flush() { Send(); }

  private:
    bool Due() const { return !paced_ || g_progressClock() - sentAt_ >= kMinIntervalMs; }

    // Returns true when the bar moved.
    bool Send() {
        bool sent = false;
        if (textWaiting_ && line_) {
            SendMessageA(line_, WM_SETTEXT, 0, (LPARAM)text_);
            sent = true;
        }
        textWaiting_ = false;
        bool moved = bar_ && wanted_ != shown_ && wanted_ >= 0;
        if (moved) MoveBar();
        if (sent && !moved) Paced();
        return moved;
    }

    void MoveBar() {
        if (!bar_) return;
        shown_ = wanted_;
        SendMessageA(bar_, PBM_SETPOS, (WPARAM)wanted_, 0);
        Paced();
    }

    void Paced() {
        paced_ = true;
        sentAt_ = g_progressClock();
    }

    HWND bar_ = nullptr;
    HWND line_ = nullptr;
    int shown_ = -1;
    int wanted_ = -1;
    bool paced_ = false;
    DWORD sentAt_ = 0;
    bool textWaiting_ = false;
    char text_[MAX_PATH] = {};
};

}  // namespace win32
