// The splash fades: how many frames each pass draws and the GL state left behind.
#include "render/engine.h"

#include "bmp_writer.h"
#include "render_support.h"

#include "../support/test_window.h"

namespace {

using rendertest::ScratchDir;

// A clock that moves by a fixed step each time the frame clock reads it.
int g_clockNow = 0;
int g_clockStep = 0;
int g_clockReads = 0;
int steppingClock() {
    ++g_clockReads;
    g_clockNow += g_clockStep;
    return g_clockNow;
}

struct SteppingClock {
    explicit SteppingClock(int stepMs) {
        g_clockNow = 0;
        g_clockStep = stepMs;
        g_clockReads = 0;
        g_settings.reset();
        g_settings.clock = steppingClock;
    }
    ~SteppingClock() { g_settings.clock = nullptr; }
};

// Plays the splash with the two pictures loaded from solid-colour files.
void playWithPictures(Engine& e, ScratchDir& dir) {
    bmptest::writeFile(dir.file("Data/splash1.bmp"), bmptest::solidBmp(8, 8, 200, 200, 200));
    bmptest::writeFile(dir.file("Data/splash2.bmp"), bmptest::solidBmp(8, 8, 0, 0, 255));
    e.splashTextures[0] = e.loadTexture("Data/splash1.bmp", GL_REPEAT, GL_LINEAR, GL_RGB, true);
    e.splashTextures[1] = e.loadTexture("Data/splash2.bmp", GL_REPEAT, GL_LINEAR, GL_RGB, true);
    e.playSplash();
}

TEST(Splash, FramesFollowTheTimeStepAndStateIsRestored) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ScratchDir dir;
    Engine e;
    e.fogEnabled = true;
    glEnable(GL_FOG);
    {
        // 10 ms a frame: one time unit, so 400 frames fade to red and 100 to black,
        // plus the one tick before the passes.
        SteppingClock clock(10);
        playWithPictures(e, dir);
        EXPECT_EQ(g_clockReads, 1 + 400 + 100);
    }
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
}

TEST(Splash, AVerySlowFrameEndsEachPassAfterOneDrawnFrame) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ScratchDir dir;
    Engine e;
    SteppingClock clock(4000); // time factor 400 a frame
    playWithPictures(e, dir);
    EXPECT_EQ(g_clockReads, 1 + 1 + 1);
}

} // namespace
