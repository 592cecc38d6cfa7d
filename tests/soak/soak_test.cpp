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
    EXPECT_NE(std::find(bound.keys.begin(), bound.keys.end(), (unsigned long)XK_t),
              bound.keys.end());
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

TEST(SoakReport, GrowthIsMeasuredFromTheFirstMinuteToThePeakAfterIt) {
    long base = 0, peak = 0;
    // Start-up growth inside the first minute does not count; a peak after it does.
    const std::vector<soak::RssSample> samples = {{0, 100},     {30, 400},  {59.5, 900},
                                                  {60.2, 1000}, {90, 1080}, {120, 1040}};
    EXPECT_DOUBLE_EQ(soak::growthAfterFirstMinute(samples, base, peak), 8.0);
    EXPECT_EQ(base, 1000);
    EXPECT_EQ(peak, 1080);
    const std::vector<soak::RssSample> shrinking = {{60, 1000}, {70, 990}, {80, 950}};
    EXPECT_DOUBLE_EQ(soak::growthAfterFirstMinute(shrinking, base, peak), 0.0);
    const std::vector<soak::RssSample> short_run = {{0, 100}, {50, 500}};
    EXPECT_DOUBLE_EQ(soak::growthAfterFirstMinute(short_run, base, peak), 0.0);
    EXPECT_EQ(base, -1);
}

} // namespace
