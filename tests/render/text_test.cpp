#include "render/engine.h"

#include "app/mainloop.h"
#include "render_support.h"

#include "../support/test_window.h"

#include <GL/glu.h>
#include <cmath>
#include <sstream>

namespace {

using rendertest::clearFrame;
using rendertest::litPixels;
using rendertest::LogCapture;
using rendertest::readPixel;

// Columns holding lit pixels in a band of rows: first and last, or -1.
void litColumns(int y, int h, int& first, int& last) {
    first = last = -1;
    for (int x = 0; x < 1024; ++x) {
        if (litPixels(x, y, 1, h) == 0) continue;
        if (first < 0) first = x;
        last = x;
    }
}

// The window opens first, so the log holds only what the engine writes.
class TextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ZEB_REQUIRE_OPEN_WINDOW(window_);
        e.buildFonts();
        e.fogEnabled = false;
        g_settings.clearFlag(FLAG_INIT_PENDING);
        clearFrame();
    }
    testsupport::GlWindow window_;
    LogCapture log_;
    Engine e;
};

TEST_F(TextTest, SevenFontsAreLoggedWithTheirBasesAndAnEleventhFails) {
    std::istringstream lines(log_.text());
    std::string line;
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(line.rfind("Building font #" + std::to_string(i) + ": ", 0), 0u) << line;
        EXPECT_NE(e.fontBases[i], 0u);
        EXPECT_EQ(line.substr(line.rfind("... ") + 4), std::to_string(e.fontBases[i])) << line;
    }
    EXPECT_EQ(log_.text().rfind("Building font #0: Times New Roman, size 24... ", 0), 0u);
    EXPECT_FALSE(std::getline(lines, line)) << "no error lines with the fonts installed: " << line;
    for (int i = 7; i < 10; ++i)
        e.buildFont("Arial", 12);
    EXPECT_EQ(e.fontCount, 10);
    e.buildFont("Arial", 30);
    EXPECT_EQ(e.fontCount, 10);
    std::string text = log_.text();
    EXPECT_EQ(text.substr(text.size() - 46), "Building font #10: Arial, size 30... FAILURE!\n");
}

bool near(rendertest::Rgb p, float r, float g, float b) {
    return std::abs(p.r - r) < 0.02f && std::abs(p.g - g) < 0.02f && std::abs(p.b - b) < 0.02f;
}

TEST_F(TextTest, StatusBarsLoadingBarAndLoadingPicture) {
    e.statusBarValues[0] = 100;
    e.statusBarValues[1] = 50;
    e.statusBarValues[2] = 20;
    e.drawOverlay();
    EXPECT_TRUE(near(readPixel(700, 742), 1, 0, 0)) << "health red";
    EXPECT_TRUE(near(readPixel(700, 712), 0, 0, 1)) << "mana blue";
    EXPECT_TRUE(near(readPixel(700, 682), 0, 1, 0)) << "third value green";
    EXPECT_TRUE(near(readPixel(800, 742), 0, 0, 0)) << "health 100 of 310 fills to x 791";
    EXPECT_TRUE(near(readPixel(780, 742), 1, 0, 0));
    EXPECT_TRUE(near(readPixel(100, 70), 0, 0, 0)) << "no loading bar";

    clearFrame();
    e.setLoadingBar(40, 60, 400, 20, 0, 47);
    for (int i = 0; i < 24; ++i)
        e.loadingBar.value++;
    e.drawOverlay();
    EXPECT_TRUE(near(readPixel(100, 70), 0.8f, 0.6f, 0)) << "filled part";
    EXPECT_TRUE(near(readPixel(400, 70), 0, 0, 0)) << "24 of 47 fills to x 244";

    // While loading: the loading picture (untextured white here), no bars.
    clearFrame();
    e.hideLoadingBar();
    g_settings.setFlag(FLAG_INIT_PENDING);
    e.drawOverlay();
    g_settings.clearFlag(FLAG_INIT_PENDING);
    EXPECT_TRUE(near(readPixel(500, 400), 1, 1, 1));
    EXPECT_TRUE(near(readPixel(700, 742), 1, 1, 1)) << "no red bar over the picture";
}

// Float texts: centred over their point and drawn for one frame; none behind
// the eye or beyond the far plane; 64 at most.
TEST_F(TextTest, FloatTextsAreCentredOverTheirPointForOneFrameAndUnseenOrSurplusOnesDropped) {
    rendertest::viewFrom(0, 0, 10, 1, 0, 10, 1000.0); // looking along +x
    e.addFloatText("behind", -100, 0, 10);
    e.addFloatText("too far", 5000, 0, 10);
    EXPECT_EQ(e.floatTextCount, 0);
    e.addFloatText("Dungeon entrance", 100, 0, 10);
    ASSERT_EQ(e.floatTextCount, 1);
    double wx, wy, wz;
    gluProject(100, 0, 10, g_frame.modelview, g_frame.projection, g_frame.viewport, &wx, &wy, &wz);
    e.drawOverlay();
    EXPECT_EQ(e.floatTextCount, 0) << "float texts live one frame";
    int first = 0, last = 0;
    litColumns(int(wy) - 4, 14, first, last);
    ASSERT_GE(first, 0);
    EXPECT_NEAR((first + last) / 2.0, wx, 6.0) << first << ".." << last;
    EXPECT_GT(last - first, 50);

    for (int i = 0; i < 64; ++i)
        e.addFloatText("label", 50, i % 10, 10);
    EXPECT_EQ(e.floatTextCount, 64);
    EXPECT_EQ(log_.text().find("Too many floattexts!"), std::string::npos);
    e.addFloatText("sixty-fifth", 50, 0, 10);
    EXPECT_EQ(e.floatTextCount, 64);
    std::string text = log_.text();
    EXPECT_EQ(text.substr(text.size() - 21), "Too many floattexts!\n");
}

} // namespace
