// setup.exe's background window on a real display: Wine's X11 driver on
// Xvfb, read back from the screen (scripts/xvfb-test runs this program).
#include <windows.h>

#include <vector>

#include "tests/e2e/setup_fixture.h"

namespace {

// The whole screen as one capture, read pixel by pixel.
class Screen {
  public:
    Screen() : width_(GetSystemMetrics(SM_CXSCREEN)), height_(GetSystemMetrics(SM_CYSCREEN)) {
        BITMAPINFO info = {};
        info.bmiHeader = {sizeof info.bmiHeader, width_, -height_, 1, 32, BI_RGB};
        pixels_.resize((size_t)width_ * height_);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
        GdiFlush();
        memcpy(pixels_.data(), bits, pixels_.size() * 4);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    int width() const { return width_; }
    int height() const { return height_; }
    // 0x00RRGGBB.
    uint32_t At(int x, int y) const { return pixels_[(size_t)y * width_ + x] & 0xFFFFFF; }
    int WhiteIn(int left, int top, int right, int bottom) const {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += At(x, y) == 0xFFFFFF;
        return count;
    }

  private:
    int width_, height_;
    std::vector<uint32_t> pixels_;
};

int Blue(uint32_t rgb) {
    return rgb & 0xFF;
}
int RedGreen(uint32_t rgb) {
    return rgb >> 8;
}

class BackgroundE2E : public e2e::SetupTest {
  protected:
    // Starts setup with these background settings and waits for the welcome
    // in front of a painted background: the far right of the top row has
    // left the X server's initial black.
    HWND StartWithSettings(const std::string& settings) {
        WritePackage(testpkg::EmptyPackage("Paint App").Finish(), settings);
        StartSetup();
        HWND welcome = driver_.WaitWindow("Vornel Setup");
        if (!welcome ||
            !WaitForScreen([](const Screen& s) { return s.At(s.width() - 10, 10) != 0; }))
            return nullptr;
        return welcome;
    }

    // Captures the screen until ready holds for it; false after 5 seconds.
    template <typename Ready>
    bool WaitForScreen(Ready ready) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
            if (ready(Screen())) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return false;
    }

    // Waits until window has no part left to paint.
    static bool WaitPainted(HWND window) {
        for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
            if (!GetUpdateRect(window, nullptr, FALSE)) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return false;
    }

    // The title "Setup of Paint App version 1.0" in white at the top left.
    static bool TitleDrawn(const Screen& s) { return s.WhiteIn(7, 7, s.width() / 2, 50) > 30; }

    void Finish(HWND welcome) {
        driver_.Click(welcome, 1009);
        EXPECT_EQ(0, driver_.WaitExit()) << TRANSCRIPT();
    }
};

}  // namespace

// Without settings: a blue gradient from full blue at the top to black at the
// bottom, the title on it, and the same again after a repaint.
TEST_F(BackgroundE2E, DefaultIsABlueGradientWithTheTitle) {
    HWND welcome = StartWithSettings("");
    ASSERT_TRUE(welcome) << TRANSCRIPT();
    Screen s;
    int x = s.width() - 10;
    EXPECT_GE(Blue(s.At(x, 8)), 240);
    EXPECT_LE(Blue(s.At(x, s.height() - 8)), 12);
    EXPECT_NEAR(127, Blue(s.At(x, s.height() / 2)), 10);
    for (int y = 8; y < s.height() - 8; y += 16) {
        SCOPED_TRACE(y);
        EXPECT_EQ(0, RedGreen(s.At(x, y)));
        EXPECT_GE(Blue(s.At(x, y)), Blue(s.At(x, y + 16)));
    }
    EXPECT_TRUE(TitleDrawn(s));

    // Wine keeps a window's pixels when it is uncovered; an invalidation
    // with erase, as Windows makes on uncovering, has the window paint again.
    HWND background = GetWindow(welcome, GW_OWNER);
    ASSERT_TRUE(background);
    RedrawWindow(background, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    EXPECT_TRUE(WaitPainted(background));
    EXPECT_TRUE(WaitForScreen([&](const Screen& now) {
        return Blue(now.At(x, 8)) >= 240 && Blue(now.At(x, now.height() - 8)) <= 12 &&
               TitleDrawn(now);
    })) << "the gradient or the title did not come back after a repaint";
    Finish(welcome);
}

TEST_F(BackgroundE2E, DitheredZeroIsASolidColour) {
    HWND welcome = StartWithSettings("BackColor=255\r\nDithered=0\r\n");
    ASSERT_TRUE(welcome) << TRANSCRIPT();
    Screen s;
    int x = s.width() - 10;
    for (int y : {8, s.height() / 2, s.height() - 8}) {
        SCOPED_TRACE(y);
        EXPECT_EQ(0xFF0000u, s.At(x, y));  // BackColor 255 is pure red
    }
    EXPECT_TRUE(TitleDrawn(s));
    Finish(welcome);
}

// Grey has no gradient: the background is left as the dialog's own face,
// never the grey asked for, and the title is still drawn.
TEST_F(BackgroundE2E, GreyInGradientModeIsNotPainted) {
    HWND welcome = StartWithSettings("BackColor=8421504\r\nDithered=1\r\n");
    ASSERT_TRUE(welcome) << TRANSCRIPT();
    Screen s;
    int x = s.width() - 10;
    for (int y : {8, s.height() / 2, s.height() - 8}) {
        SCOPED_TRACE(y);
        EXPECT_NE(0x808080u, s.At(x, y));
        EXPECT_EQ(s.At(x, 8), s.At(x, y));
    }
    EXPECT_TRUE(TitleDrawn(s));
    Finish(welcome);
}
