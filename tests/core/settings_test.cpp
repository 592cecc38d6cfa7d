#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"

#include "tests/support/read_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Flags are added and subtracted as numbers: a second set or clear changes nothing.
TEST(Flags, ResetGivesPendingAndActiveSetAndClearAreIdempotentAndToggleFlips) {
    EngineSettings s;
    s.flags = 0xFF;
    s.reset();
    const unsigned pendingActive = FLAG_INIT_PENDING | FLAG_ACTIVE;
    EXPECT_EQ(s.flags, pendingActive);
    s.setFlag(FLAG_ACTIVE);
    s.clearFlag(FLAG_FREEMOVE);
    EXPECT_EQ(s.flags, pendingActive);
    s.toggleFlag(FLAG_FREEMOVE);
    EXPECT_EQ(s.flags, pendingActive | FLAG_FREEMOVE);
    s.toggleFlag(FLAG_FREEMOVE);
    s.clearFlag(FLAG_ACTIVE);
    s.clearFlag(FLAG_ACTIVE);
    EXPECT_EQ(s.flags, unsigned(FLAG_INIT_PENDING));
}

TEST(Detail, ViewRangeFollowsTheWindowCycleWrapsFromFourToZeroAndABadLevelKeepsValues) {
    EngineSettings s;
    for (int level = 0; level < 5; ++level) {
        s.applyDetailLevel(level);
        EXPECT_EQ(s.terrainViewRange, 256 * (s.terrainWindowPages - 1) / 2) << level;
    }
    s.cycleDetailLevel();
    EXPECT_EQ(s.detailLevel, 0);
    EXPECT_EQ(s.terrainWindowPages, 5);
    EXPECT_EQ(s.dungeonViewCells, 10);
    s.applyDetailLevel(3);
    s.applyDetailLevel(9);
    EXPECT_EQ(s.terrainWindowPages, 11);
    EXPECT_EQ(s.dungeonDetailFactor, 10);
}

// The clock measures from zero and scales the time factor; only even totals
// take an FPS sample, and the window of 50 samples is first averaged on the 51st.
TEST(Clock, TickScalesTimeFactorAndTheFpsWindowFirstChangesOnTheFiftyFirstEvenTick) {
    EngineSettings s;
    s.tickAt(1000);
    EXPECT_EQ(s.deltaTime, 1000);
    s.tickAt(1016);
    EXPECT_EQ(s.totalTime, 1016);
    EXPECT_DOUBLE_EQ(s.timeFactor, 1.6);
    s.deltaTime = 0;
    s.updateFps();
    EXPECT_FLOAT_EQ(s.fps, 1000.0f) << "a frame of no time counts as a thousand a second";
    EngineSettings odd, t;
    odd.tickAt(7);
    EXPECT_EQ(odd.sampleCount, 0);
    odd.tickAt(8);
    EXPECT_EQ(odd.sampleCount, 1);
    int now = 0;
    for (int i = 0; i < 50; ++i)
        t.tickAt(now += 20);
    EXPECT_EQ(t.sampleCount, 50);
    EXPECT_FLOAT_EQ(t.maxFps, 0.0f);
    t.tickAt(now += 10);
    EXPECT_EQ(t.sampleCount, 0);
    EXPECT_FLOAT_EQ(t.avgFps, 50.0f);
    EXPECT_FLOAT_EQ(t.maxFps, 50.0f);
    EXPECT_FLOAT_EQ(t.minFps, 50.0f);
}

TEST(Random, MatchesTheWindowsRuntimeSequenceAndHelpersStayInTheirRanges) {
    // The first draws of the Windows C run-time generator after srand(1).
    crt::srand(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358})
        EXPECT_EQ(crt::rand(), expected);
    for (int i = 0; i < 2000; ++i) {
        const double u = random01(), c = randomCentered(10.0);
        ASSERT_TRUE(u >= 0.0 && u <= 1.0) << u;
        ASSERT_TRUE(c >= -5.0 && c <= 5.0) << c;
    }
}

TEST(Log, HeaderThenLinesAndEachRunStartsAfresh) {
    const char* path = "log_test_errlog.txt";
    openLog(path);
    g_log << "first run" << std::endl;
    closeLog();
    openLog(path);
    g_settings.applyDetailLevel(2);
    closeLog();
    std::string text = testsupport::readFile(path);
    EXPECT_EQ(text.rfind("ERROR LOG\n-------------\n", 0), 0u);
    EXPECT_EQ(text.find("first run"), std::string::npos);
    EXPECT_NE(text.find("Setting engine level to 2\nDone with detail.\n"), std::string::npos);
    EXPECT_EQ(g_settings.flags, 5u) << "opening the log resets the settings";
    std::remove(path);
}

} // namespace
