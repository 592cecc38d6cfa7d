#include "tools/soak/soak.h"

#include "app/input.h"

#include <gtest/gtest.h>

#include <X11/keysym.h>

#include <algorithm>
#include <sstream>

namespace {

TEST(SoakKeys, EveryBoundKeyCanBeSentAndTheQuitKeyIsKeptForTheEnd) {
    const soak::BoundKeys bound = soak::boundKeys();
    EXPECT_TRUE(bound.unsendable.empty()) << "first unsendable code " << bound.unsendable.front();
    EXPECT_EQ(bound.quitKey, (unsigned long)XK_Escape);
    EXPECT_EQ(std::count(bound.keys.begin(), bound.keys.end(), (unsigned long)XK_Escape), 0);
    // Every keyboard binding of the table is among the keys sent.
    const InputState defaults;
    int keyboard = 0;
    for (int key : defaults.bindings)
        keyboard += key > 0 && key < 256 && key != win::VK_ESCAPE;
    EXPECT_EQ(int(bound.keys.size()), keyboard);
}

TEST(SoakReport, SanitizerReportsAreCountedAndEchoed) {
    std::istringstream errors("zeb: starting\n"
                              "==12==ERROR: AddressSanitizer: heap-use-after-free on address\n"
                              "    #0 0x1 in f\n"
                              "terrain.cpp:10:5: runtime error: signed integer overflow\n"
                              "==12==ERROR: LeakSanitizer: detected memory leaks\n"
                              "SUMMARY: AddressSanitizer: 64 byte(s) leaked\n");
    std::ostringstream echo;
    EXPECT_EQ(soak::countFindings(errors, echo), 3);
    EXPECT_NE(echo.str().find("heap-use-after-free"), std::string::npos);
    std::istringstream clean("ERROR: Not enough textures available for texture lighting.\n");
    EXPECT_EQ(soak::countFindings(clean, echo), 0) << "the game's own ERROR lines are not findings";
}

TEST(SoakReport, GrowthIsTheLastMinuteOverTheSecondAndPeaksAreOnlyReported) {
    std::vector<soak::RssSample> samples;
    // Start-up climbs in the first minute, a level build peaks at 90 s, then
    // the size creeps up by 10 %.
    for (int t = 0; t <= 300; ++t) {
        long kb = t < 60 ? 100 + 15 * t : 1000 + (t >= 240 ? 100 : 0);
        if (t == 90) kb = 2000;
        samples.push_back({double(t), kb});
    }
    const soak::RssFigures figures = soak::residentFigures(samples);
    EXPECT_EQ(figures.base, 1000);
    EXPECT_EQ(figures.end, 1100);
    EXPECT_EQ(figures.peak, 2000);
    EXPECT_DOUBLE_EQ(figures.growth, 10.0);
    const std::vector<soak::RssSample> shortRun = {{0, 100}, {50, 500}};
    EXPECT_EQ(soak::residentFigures(shortRun).base, -1);
}

} // namespace
