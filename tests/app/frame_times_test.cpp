// The frame-time hook's schedule: which levels it runs, which frames it
// records and when it tells the game to switch and to quit.
#include "app/frame_times.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameTimeSchedule, SettingsComeFromTheVariablesAndBadLevelsAreDropped) {
    FrameTimeSchedule s;
    EXPECT_FALSE(s.configure(nullptr, "3", "2"));
    EXPECT_FALSE(s.configure("", nullptr, nullptr));
    EXPECT_FALSE(s.enabled());
    EXPECT_FALSE(s.configure("/tmp/x", "7 -1 9", nullptr)) << "no level left";

    ASSERT_TRUE(s.configure("/tmp/x", nullptr, nullptr));
    EXPECT_EQ(s.levelCount, 5);
    EXPECT_EQ(s.recordMs, 4000.0);
    ASSERT_TRUE(s.configure("/tmp/x", "4 7 0", "2.5"));
    ASSERT_EQ(s.levelCount, 2);
    EXPECT_EQ(s.levels[0], 4);
    EXPECT_EQ(s.levels[1], 0);
    EXPECT_EQ(s.recordMs, 2500.0);
}

TEST(FrameTimeSchedule, RecordsOnlySettledFramesOfEachLevelThenFinishes) {
    FrameTimeSchedule s;
    ASSERT_TRUE(s.configure("/tmp/x", "3 4", "1"));
    s.settleMs = 100.0;
    struct Expect {
        double now, cpu;
        int apply;
        bool finished;
    };
    // 50 ms frames; each frame after a switch and within the settling time
    // goes unrecorded.
    const Expect steps[] = {
        {0, 0, 3, false},       {50, 10, -1, false},    {100, 20, -1, false},
        {150, 30, -1, false},   {200, 45, -1, false},   {1100, 100, 4, false},
        {1150, 110, -1, false}, {1200, 120, -1, false}, {1300, 140, -1, false},
        {2200, 200, -1, true},  {2250, 210, -1, true},
    };
    for (const Expect& e : steps) {
        const FrameTimeSchedule::Step got = s.frameDone(e.now, e.cpu);
        EXPECT_EQ(got.applyLevel, e.apply) << "at " << e.now;
        EXPECT_EQ(got.finished, e.finished) << "at " << e.now;
    }
    ASSERT_EQ(s.samples.size(), 5u);
    EXPECT_EQ(s.samples[0].level, 3);
    EXPECT_DOUBLE_EQ(s.samples[0].ms, 50.0); // the frame ending at 150
    EXPECT_DOUBLE_EQ(s.samples[1].cpuMs, 15.0);
    EXPECT_EQ(s.samples[2].level, 3) << "the frame that ends a level still counts for it";
    EXPECT_DOUBLE_EQ(s.samples[2].ms, 900.0);
    EXPECT_EQ(s.samples[3].level, 4);
    EXPECT_DOUBLE_EQ(s.samples[3].ms, 100.0);
    EXPECT_DOUBLE_EQ(s.samples[4].cpuMs, 60.0);
}

} // namespace
