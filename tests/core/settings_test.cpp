#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"

#include "tests/support/read_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

TEST(Flags, ResetGivesPendingAndActiveSetAndClearAreIdempotentAndToggleFlips) {
    EngineSettings s;
    s.flags = 0xFF;
    s.reset();
    EXPECT_EQ(s.flags, unsigned(FLAG_INIT_PENDING | FLAG_ACTIVE));
    s.setFlag(FLAG_ACTIVE);
    EXPECT_EQ(s.flags, 5u) << "setting a set bit must not add it twice";
    s.clearFlag(FLAG_FREEMOVE);
    EXPECT_EQ(s.flags, 5u) << "clearing a clear bit must not subtract";
    s.toggleFlag(FLAG_FREEMOVE);
    EXPECT_EQ(s.flags, 5u | FLAG_FREEMOVE);
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

TEST(Clock, TickMeasuresFromZeroScalesTimeFactorAndTinyDeltasGiveAThousandFps) {
    EngineSettings s;
    s.tickAt(1000);
    EXPECT_EQ(s.deltaTime, 1000);
    s.tickAt(1016);
    EXPECT_EQ(s.deltaTime, 16);
    EXPECT_EQ(s.totalTime, 1016);
    EXPECT_DOUBLE_EQ(s.timeFactor, 1.6);
    for (auto [delta, fps] : {std::pair{0, 1000.0f}, {1, 1000.0f}, {20, 50.0f}}) {
        s.deltaTime = delta;
        s.updateFps();
        EXPECT_FLOAT_EQ(s.fps, fps) << delta;
    }
}

TEST(Clock, OnlyEvenTotalsAreSampledAndTheFpsWindowFirstChangesOnTheFiftyFirst) {
    EngineSettings odd, s;
    odd.tickAt(7);
    EXPECT_EQ(odd.sampleCount, 0);
    odd.tickAt(8);
    EXPECT_EQ(odd.sampleCount, 1);
    int now = 0;
    for (int i = 0; i < 50; ++i)
        s.tickAt(now += 20);
    EXPECT_EQ(s.sampleCount, 50);
    EXPECT_FLOAT_EQ(s.minFps, 1000.0f);
    EXPECT_FLOAT_EQ(s.maxFps, 0.0f);
    s.tickAt(now += 10);
    EXPECT_EQ(s.sampleCount, 0);
    EXPECT_FLOAT_EQ(s.avgFps, 50.0f);
    EXPECT_FLOAT_EQ(s.maxFps, 50.0f);
    EXPECT_FLOAT_EQ(s.minFps, 50.0f);
}

TEST(Random, MatchesTheWindowsRuntimeSequenceAndHelpersStayInTheirRanges) {
    // First draws of the Windows C run-time generator after srand(1).
    crt::srand(1);
    EXPECT_EQ(crt::rand(), 41);
    EXPECT_EQ(crt::rand(), 18467);
    EXPECT_EQ(crt::rand(), 6334);
    crt::srand(100);
    unsigned state = 100;
    for (int i = 0; i < 1000; ++i) {
        state = state * 214013u + 2531011u;
        ASSERT_EQ(crt::rand(), int((state >> 16) & 0x7FFF));
    }
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
    EXPECT_NE(text.find("Setting engine level to 2\n"), std::string::npos);
    EXPECT_NE(text.find("Done with detail.\n"), std::string::npos);
    EXPECT_EQ(g_settings.flags, 5u) << "opening the log resets the settings";
    std::remove(path);
}

} // namespace
