#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"

#include "tests/support/read_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

namespace {

TEST(Flags, ResetGivesPendingAndActive) {
    EngineSettings s;
    s.flags = 0xFF;
    s.reset();
    EXPECT_EQ(s.flags, 5u);
    EXPECT_TRUE(s.testFlag(FLAG_INIT_PENDING));
    EXPECT_TRUE(s.testFlag(FLAG_ACTIVE));
    EXPECT_FALSE(s.testFlag(FLAG_QUIT));
}

TEST(Flags, SetAndClearAreIdempotentAndToggleFlips) {
    EngineSettings s;
    s.setFlag(FLAG_ACTIVE);
    EXPECT_EQ(s.flags, 5u) << "setting a set bit must not add it twice";
    s.clearFlag(FLAG_FREEMOVE);
    EXPECT_EQ(s.flags, 5u) << "clearing a clear bit must not subtract";
    s.toggleFlag(FLAG_FREEMOVE);
    EXPECT_EQ(s.flags, 5u | FLAG_FREEMOVE);
    s.toggleFlag(FLAG_FREEMOVE);
    EXPECT_EQ(s.flags, 5u);
    s.clearFlag(FLAG_ACTIVE);
    s.clearFlag(FLAG_ACTIVE);
    EXPECT_EQ(s.flags, unsigned(FLAG_INIT_PENDING));
}

TEST(Detail, LevelsGiveTheirLodDistancesAndWindowSizes) {
    EngineSettings s;
    const int distances[5] = {56, 96, 146, 256, 320};
    const int pages[5] = {5, 7, 9, 11, 11};
    for (int level = 0; level < 5; ++level) {
        s.applyDetailLevel(level);
        EXPECT_EQ(s.terrainLodDistance, distances[level]) << "level " << level;
        EXPECT_EQ(s.terrainWindowPages, pages[level]);
        EXPECT_EQ(s.terrainViewRange, 256 * (pages[level] - 1) / 2);
    }
}

TEST(Detail, CycleWrapsFromFourToZeroAndBadLevelKeepsValues) {
    EngineSettings s;
    s.applyDetailLevel(4);
    s.cycleDetailLevel();
    EXPECT_EQ(s.detailLevel, 0);
    EXPECT_EQ(s.terrainWindowPages, 5);
    EXPECT_EQ(s.dungeonViewCells, 10);
    s.applyDetailLevel(3);
    s.applyDetailLevel(9);
    EXPECT_EQ(s.terrainWindowPages, 11);
    EXPECT_EQ(s.dungeonDetailFactor, 10);
}

TEST(Clock, TickMeasuresFromZeroAndScalesTimeFactor) {
    EngineSettings s;
    s.tickAt(1000);
    EXPECT_EQ(s.deltaTime, 1000);
    s.tickAt(1016);
    EXPECT_EQ(s.deltaTime, 16);
    EXPECT_EQ(s.totalTime, 1016);
    EXPECT_DOUBLE_EQ(s.timeFactor, 1.6);
}

TEST(Clock, TinyDeltasGiveThousandFps) {
    EngineSettings s;
    s.deltaTime = 0;
    s.updateFps();
    EXPECT_FLOAT_EQ(s.fps, 1000.0f);
    s.deltaTime = 1;
    s.updateFps();
    EXPECT_FLOAT_EQ(s.fps, 1000.0f);
    s.deltaTime = 20;
    s.updateFps();
    EXPECT_FLOAT_EQ(s.fps, 50.0f);
}

TEST(Clock, FpsWindowFirstChangesOnTheFiftyFirstSample) {
    EngineSettings s;
    int now = 0;
    for (int i = 0; i < 50; ++i) {
        now += 20; // even totals: every tick is sampled
        s.tickAt(now);
    }
    EXPECT_EQ(s.sampleCount, 50);
    EXPECT_FLOAT_EQ(s.minFps, 1000.0f);
    EXPECT_FLOAT_EQ(s.maxFps, 0.0f);
    now += 10;
    s.tickAt(now);
    EXPECT_EQ(s.sampleCount, 0);
    EXPECT_FLOAT_EQ(s.avgFps, 50.0f);
    EXPECT_FLOAT_EQ(s.maxFps, 50.0f);
    EXPECT_FLOAT_EQ(s.minFps, 50.0f);
}

TEST(Clock, OddTotalsAreNotSampled) {
    EngineSettings s;
    s.tickAt(7);
    EXPECT_EQ(s.sampleCount, 0);
    s.tickAt(8);
    EXPECT_EQ(s.sampleCount, 1);
}

TEST(Random, MatchesTheWindowsRuntimeSequence) {
    // First draws of the Windows C run-time generator after srand(1) and srand(100).
    crt::srand(1);
    EXPECT_EQ(crt::rand(), 41);
    EXPECT_EQ(crt::rand(), 18467);
    EXPECT_EQ(crt::rand(), 6334);
    crt::srand(100);
    unsigned state = 100;
    for (int i = 0; i < 1000; ++i) {
        state = state * 214013u + 2531011u;
        int r = crt::rand();
        ASSERT_EQ(r, int((state >> 16) & 0x7FFF));
        ASSERT_GE(r, 0);
        ASSERT_LE(r, 32767);
    }
}

TEST(Random, HelpersStayInTheirRanges) {
    crt::srand(7);
    for (int i = 0; i < 2000; ++i) {
        double u = random01();
        ASSERT_GE(u, 0.0);
        ASSERT_LE(u, 1.0);
        double c = randomCentered(10.0);
        ASSERT_GE(c, -5.0);
        ASSERT_LE(c, 5.0);
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
