// Test support: a real window with a GL context on the test display (Xvfb),
// made through the game's own window code with message boxes answered by the test.
#pragma once

#include "app/window.h"
#include "platform/win.h"
#include "render/engine.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace testsupport {

// Records every message box shown and answers with `answer`.
struct BoxRecorder {
    std::vector<win::MessageBoxRecord> shown;
    int answer = win::IDOK;
    BoxRecorder() {
        win::SetMessageBoxAnswerer([this](const win::MessageBoxRecord& r) {
            shown.push_back(r);
            return answer;
        });
    }
    ~BoxRecorder() { win::SetMessageBoxAnswerer(nullptr); }
};

// True when the tests run with a display (as under xvfb-run): a window that
// cannot be opened then is a failure, not a reason to skip.
inline bool displayExpected() {
    const char* d = std::getenv("DISPLAY");
    return d && *d;
}

// A file name that no other test process running at the same time uses.
inline std::string uniqueName(const std::string& stem, const std::string& ext) {
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = stem + "_" + std::to_string(::getpid());
    if (t) name += std::string("_") + t->name();
    return name + ext;
}

// The colour of a client pixel of a window of the platform layer.
inline win::COLORREF pixelOf(win::HWND hwnd, int x, int y) {
    win::HDC dc = win::GetDC(hwnd);
    win::COLORREF c = win::GetPixel(dc, x, y);
    win::ReleaseDC(hwnd, dc);
    return c;
}

inline void initGlutOnce() {
    static bool done = false;
    if (done) return;
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    done = true;
}

// Opens the game window (windowed, 1024 x 768) for the life of the object.
class GlWindow {
  public:
    explicit GlWindow(int width = 1024, int height = 768) {
        if (!win::InitVideo(&why_)) return;
        initGlutOnce();
        BoxRecorder boxes;
        ok_ = openGLWindow("Zeb", width, height, 16, false);
        if (!ok_ && !boxes.shown.empty()) why_ = boxes.shown.front().text;
        win::FlushMessages();
    }
    ~GlWindow() {
        if (ok_) closeGLWindow();
        win::FlushMessages();
    }
    bool ok() const { return ok_; }
    const std::string& why() const { return why_; }

  private:
    bool ok_ = false;
    std::string why_;
};

} // namespace testsupport

// Stops a test whose window did not open: skipped without a display, failed with one.
#define ZEB_REQUIRE_OPEN_WINDOW(window)                                                            \
    if (!(window).ok()) {                                                                          \
        if (testsupport::displayExpected())                                                        \
            FAIL() << "cannot open the test window: " << (window).why();                           \
        GTEST_SKIP() << "no display for GL tests";                                                 \
    }

// Opens the video layer in a fixture's SetUp: skipped or failed, as above.
#define ZEB_REQUIRE_VIDEO()                                                                        \
    if (std::string why_; !win::InitVideo(&why_)) {                                                \
        if (testsupport::displayExpected()) FAIL() << "display set but not usable: " << why_;      \
        GTEST_SKIP() << "no display: " << why_;                                                    \
    }

// Opens a window for the test, as above.
#define ZEB_REQUIRE_GL_WINDOW(name)                                                                \
    testsupport::GlWindow name;                                                                    \
    ZEB_REQUIRE_OPEN_WINDOW(name)
