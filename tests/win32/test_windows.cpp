#include "tests/win32/test_windows.h"

#include <commctrl.h>

#include "win32/progress_display.h"

namespace wintest {

namespace {

constexpr char kRecorderClass[] = "SuiteStatusRecorder";

DWORD g_fakeNow = 0;

DWORD WINAPI SteppingClock() { return g_fakeNow += win32::ProgressDisplay::kMinIntervalMs; }
DWORD WINAPI FrozenClock() { return g_fakeNow; }

}  // namespace

LRESULT CALLBACK StatusRecorder::ControlProc(HWND control, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    auto* self = reinterpret_cast<StatusRecorder*>(GetWindowLongPtrA(GetParent(control), GWLP_USERDATA));
    if (self && message == PBM_SETPOS) {
        self->events.push_back("pos " + std::to_string((int)wParam));
        return 0;
    }
    if (self && message == WM_SETTEXT)
        self->events.push_back("file " + std::string(reinterpret_cast<const char*>(lParam)));
    return DefWindowProcA(control, message, wParam, lParam);
}

StatusRecorder::StatusRecorder() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ControlProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRecorderClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    window_ = CreateWindowA("STATIC", "status", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                            nullptr, nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, (LONG_PTR)this);
    for (int id : {1016, 1017})
        CreateWindowA(kRecorderClass, "", WS_CHILD, 0, 0, 10, 10, window_, (HMENU)(INT_PTR)id,
                      nullptr, nullptr);
    events.clear();
}

StatusRecorder::~StatusRecorder() { DestroyWindow(window_); }

ProgressClock::ProgressClock(Mode mode) {
    win32::g_progressClock = mode == kStepping ? SteppingClock : FrozenClock;
}

ProgressClock::~ProgressClock() { win32::g_progressClock = GetTickCount; }

BoxWatcher::BoxWatcher(std::vector<std::string> captions) : captions_(std::move(captions)) {
    thread_ = std::thread([this] {
        dlgdrive::Driver driver;
        driver.Attach(GetCurrentProcessId());
        while (!stop_) {
            for (const std::string& caption : captions_) {
                HWND box = driver.WaitWindow(caption, 30);
                if (!box) continue;
                answered_.push_back(caption + "|" + driver.Text(box, 0xFFFF));
                driver.Click(box, IDOK);
                driver.WaitGone(box);
            }
        }
    });
}

std::vector<std::string> BoxWatcher::Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return answered_;
}

}  // namespace wintest
