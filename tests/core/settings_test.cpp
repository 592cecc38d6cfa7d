#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"

#include "tests/support/read_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// Flags are added and subtracted as numbers: a second set or clear must change nothing.
TEST(Flags, ResetGivesPendingAndActiveSetAndClearAreIdempotentAndToggleFlips) {
    EngineSettings s;
    s.flags = 0xFF;
    s.reset();
    EXPECT_EQ(s.flags, unsigned(FLAG_INIT_PENDING | FLAG_ACTIVE));
    s.setFlag(FLAG_ACTIVE);
    s.toggleFlag(FLAG_FREEMOVE);
    EXPECT_EQ(s.flags, unsigned(FLAG_INIT_PENDING | FLAG_ACTIVE | FLAG_FREEMOVE));
    s.toggleFlag(FLAG_FREEMOVE);
    s.clearFlag(FLAG_ACTIVE);
    s.clearFlag(FLAG_ACTIVE);
    EXPECT_EQ(s.flags, unsigned(FLAG_INIT_PENDING));
}

TEST(Detail, CycleWrapsFromFourToZeroAndABadLevelKeepsValues) {
    EngineSettings s;
    s.applyDetailLevel(4);
    s.cycleDetailLevel();
    EXPECT_EQ(s.detailLevel, 0);
    EXPECT_EQ(s.terrainWindowPages, 5);
    s.applyDetailLevel(3);
    s.applyDetailLevel(9);
    EXPECT_EQ(s.terrainWindowPages, 11);
}

TEST(Clock, TickMeasuresFromZeroAndScalesTheTimeFactor) {
    EngineSettings s;
    s.tickAt(1000);
    EXPECT_EQ(s.deltaTime, 1000);
    s.tickAt(1016);
    EXPECT_EQ(s.totalTime, 1016);
    EXPECT_DOUBLE_EQ(s.timeFactor, 1.6);
}

// The Windows C run-time generator after srand(1); the helpers scale its draws.
TEST(Random, MatchesTheWindowsRuntimeSequenceAndHelpersScaleTheNextDraws) {
    crt::srand(1);
    for (int expected : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358})
        EXPECT_EQ(crt::rand(), expected);
    crt::srand(1);
    EXPECT_DOUBLE_EQ(random01(), 41 / 32767.0);
    EXPECT_DOUBLE_EQ(randomCentered(10.0), 18467 / 32767.0 * 10.0 - 5.0);
}

// The header, then this run's lines only.
TEST(Log, EachRunStartsAfreshAfterTheHeader) {
    const char* path = "log_test_errlog.txt";
    openLog(path);
    g_log << "first run" << std::endl;
    closeLog();
    openLog(path);
    g_settings.applyDetailLevel(2);
    closeLog();
    const std::string text = testsupport::readFile(path);
    EXPECT_EQ(text.rfind("ERROR LOG\n-------------\nSetting engine level to 2\n", 0), 0u) << text;
    EXPECT_NE(text.find("Done with detail.\n"), std::string::npos);
    EXPECT_EQ(g_settings.flags, 5u) << "opening the log resets the settings";
    std::remove(path);
}

} // namespace
