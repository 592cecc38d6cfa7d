// Test support: a real window with a GL context on the test display (Xvfb),
// made through the game's own window code with message boxes answered by the test.
#pragma once

#include "app/window.h"
#include "platform/win.h"
#include "render/engine.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <string>
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
// Skips the test when no display is available.
class GlWindow {
  public:
    explicit GlWindow(int width = 1024, int height = 768) {
        std::string why;
        if (!win::InitVideo(&why)) return;
        initGlutOnce();
        BoxRecorder boxes;
        ok_ = openGLWindow("Zeb", width, height, 16, false);
        win::FlushMessages();
    }
    ~GlWindow() {
        if (ok_) closeGLWindow();
        win::FlushMessages();
    }
    bool ok() const { return ok_; }

  private:
    bool ok_ = false;
};

} // namespace testsupport

// Opens a window for the test, or skips the test without a display.
#define ZEB_REQUIRE_GL_WINDOW(name)                                                                \
    testsupport::GlWindow name;                                                                    \
    if (!name.ok()) GTEST_SKIP() << "no display for GL tests"
