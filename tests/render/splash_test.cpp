// The splash fades: how many frames each pass draws and the GL state left behind.
#include "render/engine.h"

#include "bmp_writer.h"
#include "render_support.h"

#include "../support/test_window.h"

namespace {

// A clock that moves by a fixed step each time the frame clock reads it.
int g_clockNow = 0, g_clockStep = 0, g_clockReads = 0;
int steppingClock() {
    ++g_clockReads;
    return g_clockNow += g_clockStep;
}

// At 10 ms a frame (one time unit) 400 frames fade to red and 100 to black; a
// very slow frame ends each pass after one drawn frame. The clock is read
// once more before the passes.
TEST(Splash, FramesFollowTheTimeStepAndStateIsRestored) {
    ZEB_REQUIRE_GL_WINDOW(window);
    rendertest::ScratchDir dir;
    bmptest::writeFile(dir.file("Data/splash1.bmp"), bmptest::solidBmp(8, 8, 200, 200, 200));
    bmptest::writeFile(dir.file("Data/splash2.bmp"), bmptest::solidBmp(8, 8, 0, 0, 255));
    for (auto [stepMs, reads] : {std::pair{10, 1 + 400 + 100}, {4000, 1 + 1 + 1}}) {
        Engine e;
        e.fogEnabled = true;
        glEnable(GL_FOG);
        e.splashTextures[0] = e.loadTexture("Data/splash1.bmp", GL_REPEAT, GL_LINEAR, GL_RGB, true);
        e.splashTextures[1] = e.loadTexture("Data/splash2.bmp", GL_REPEAT, GL_LINEAR, GL_RGB, true);
        g_clockNow = g_clockReads = 0;
        g_clockStep = stepMs;
        g_settings.reset();
        g_settings.clock = steppingClock;
        e.playSplash();
        g_settings.clock = nullptr;
        EXPECT_EQ(g_clockReads, reads) << stepMs << " ms a frame";
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_TRUE(glIsEnabled(GL_FOG));
    }
}

} // namespace
