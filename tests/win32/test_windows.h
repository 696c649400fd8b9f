// Windows for in-process tests of the installer library: a stand-in for the
// status window that records what it is sent, and a watcher that answers
// the message boxes this process shows.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tools/dialog_driver/dialog_driver.h"

namespace wintest {

// A hidden window with a progress control 1016 and a file line 1017, both
// recording in one list, in order: "pos N" for each PBM_SETPOS and "file
// TEXT" for each text set.
class StatusRecorder {
  public:
    StatusRecorder();
    ~StatusRecorder();
    StatusRecorder(const StatusRecorder&) = delete;
    StatusRecorder& operator=(const StatusRecorder&) = delete;

    HWND window() const { return window_; }
    std::vector<std::string> events;

  private:
    static LRESULT CALLBACK ControlProc(HWND, UINT, WPARAM, LPARAM);
    HWND window_ = nullptr;
};

// Replaces the clock that paces progress displays while it lives: stepping,
// it moves on by the pacing interval at each read, so every change is due;
// frozen, no change is due after the first (a bar's 100 still goes out).
class ProgressClock {
  public:
    enum Mode { kStepping, kFrozen };
    explicit ProgressClock(Mode mode);
    ~ProgressClock();
    ProgressClock(const ProgressClock&) = delete;
    ProgressClock& operator=(const ProgressClock&) = delete;
};

// Answers every message box of this process captioned as one of captions
// with OK, from a thread of its own, until Stop.
class BoxWatcher {
  public:
    explicit BoxWatcher(std::vector<std::string> captions);
    ~BoxWatcher() { Stop(); }
    BoxWatcher(const BoxWatcher&) = delete;
    BoxWatcher& operator=(const BoxWatcher&) = delete;

    // Ends the watch and returns the boxes answered, as "caption|text".
    std::vector<std::string> Stop();

  private:
    std::vector<std::string> captions_;
    std::vector<std::string> answered_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace wintest
