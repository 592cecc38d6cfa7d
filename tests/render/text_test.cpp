#include "render/engine.h"

#include "app/mainloop.h"
#include "render/screen.h"
#include "render_support.h"

#include "../support/test_window.h"

#include <GL/glu.h>
#include <cmath>
#include <cstring>
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

class TextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<testsupport::GlWindow>();
        ZEB_REQUIRE_OPEN_WINDOW(*window_);
        log_ = std::make_unique<LogCapture>();
        engine_ = std::make_unique<Engine>();
        engine_->buildFonts();
        engine_->fogEnabled = false;
        g_settings.clearFlag(FLAG_INIT_PENDING);
        clearFrame();
    }
    void TearDown() override {
        engine_.reset();
        log_.reset();
        window_.reset();
    }
    Engine& e() { return *engine_; }
    std::unique_ptr<testsupport::GlWindow> window_;
    std::unique_ptr<LogCapture> log_;
    std::unique_ptr<Engine> engine_;
};

TEST_F(TextTest, SevenFontsAreLoggedWithTheirBasesAndAnEleventhFails) {
    std::istringstream lines(log_->text());
    std::string line;
    for (int i = 0; i < 7; ++i) {
        ASSERT_TRUE(std::getline(lines, line));
        EXPECT_EQ(line.rfind("Building font #" + std::to_string(i) + ": ", 0), 0u) << line;
        EXPECT_NE(e().fontBases[i], 0u);
        EXPECT_EQ(line.substr(line.rfind("... ") + 4), std::to_string(e().fontBases[i])) << line;
    }
    EXPECT_EQ(log_->text().rfind("Building font #0: Times New Roman, size 24... ", 0), 0u);
    EXPECT_FALSE(std::getline(lines, line)) << "no error lines with the fonts installed: " << line;
    for (int i = 7; i < 10; ++i)
        e().buildFont("Arial", 12);
    EXPECT_EQ(e().fontCount, 10);
    e().buildFont("Arial", 30);
    EXPECT_EQ(e().fontCount, 10);
    std::string text = log_->text();
    EXPECT_EQ(text.substr(text.size() - 46), "Building font #10: Arial, size 30... FAILURE!\n");
}

TEST_F(TextTest, GlyphsAdvanceByTheirWidthsAndUnknownBytesDrawNothing) {
    beginScreenSpace();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glColor3f(0, 1, 0);
    // Courier New 12 is monospaced at about 7 pixels a character.
    e().printText(FONT_COURIER_12, 10, 100, 0, "%s", "MMMMMMMMMM");
    int first = 0, last = 0;
    litColumns(95, 20, first, last);
    EXPECT_GE(first, 10);
    EXPECT_LE(first, 12);
    EXPECT_GE(last - first, 60);
    EXPECT_LE(last - first, 75);
    // Wider faces give wider text: Times 24 "WWW" is wider than Times 10 "WWW".
    e().printText(FONT_TIMES_24, 10, 300, 0, "WWW");
    e().printText(FONT_TIMES_10, 10, 200, 0, "WWW");
    int f24 = 0, l24 = 0, f10 = 0, l10 = 0;
    litColumns(295, 30, f24, l24);
    litColumns(197, 12, f10, l10);
    EXPECT_GT(l24 - f24, 2 * (l10 - f10));
    // Bytes outside 32..127 and an unbuilt font draw nothing.
    e().printText(FONT_COURIER_12, 10, 400, 0, "\x80\xC8\xFF\x1F");
    e().printText(9, 10, 450, 0, "MMMM");
    EXPECT_EQ(litPixels(0, 390, 300, 80), 0);
    glPopMatrix();
}

// Where the key list, the debug block and their lines fall, by the switches:
// each row draws the overlay afresh and reads one band.
TEST_F(TextTest, KeyListStartsBelowTheDebugBlockOrTwoLinesFromTheTop) {
    const struct {
        bool debug, keys, freeMove;
        int x, y, w, h;
        bool lit;
        const char* what;
    } bands[] = {
        {false, true, false, 0, 757, 500, 11, false, "nothing in the top line"},
        {false, true, false, 0, 741, 500, 15, true, "\"Keys:\" on y = 768 - 24"},
        {false, true, false, 0, 446, 500, 35, false, "no mouse lines below the 21 keys"},
        {false, true, true, 0, 446, 500, 35, true, "free-move mouse lines"},
        {true, false, false, 0, 757, 300, 11, true, "FPS line at the top"},
        {true, false, false, 600, 757, 300, 11, true, "free-move hint"},
        {true, false, false, 0, 573, 300, 12, true, "the debug block's sixteenth line"},
        {true, false, false, 0, 480, 300, 90, false, "nothing below the block"},
        {true, true, false, 0, 549, 300, 15, true, "\"Keys:\" below the block at 768 - 216"},
    };
    for (const auto& b : bands) {
        g_settings.showDebugInfo = b.debug;
        e().showKeyList = b.keys;
        b.freeMove ? g_settings.setFlag(FLAG_FREEMOVE) : g_settings.clearFlag(FLAG_FREEMOVE);
        clearFrame();
        e().drawOverlay();
        EXPECT_EQ(litPixels(b.x, b.y, b.w, b.h) > 0, b.lit) << b.what;
    }
    EXPECT_EQ(readPixel(20, 742).r, 0.0f) << "texts are green";
    g_settings.showDebugInfo = false;
    g_settings.clearFlag(FLAG_FREEMOVE);
}

bool near(rendertest::Rgb p, float r, float g, float b) {
    return std::abs(p.r - r) < 0.02f && std::abs(p.g - g) < 0.02f && std::abs(p.b - b) < 0.02f;
}

// Lines may land one pixel either side of their coordinate.
bool nearAround(int x, int y, float r, float g, float b) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (near(readPixel(x + dx, y + dy), r, g, b)) return true;
    return false;
}

TEST_F(TextTest, StatusBarsLoadingBarAndLoadingPicture) {
    e().statusBarValues[0] = 100;
    e().statusBarValues[1] = 50;
    e().statusBarValues[2] = 20;
    e().drawOverlay();
    EXPECT_TRUE(near(readPixel(700, 742), 1, 0, 0)) << "health red";
    EXPECT_TRUE(near(readPixel(700, 712), 0, 0, 1)) << "mana blue";
    EXPECT_TRUE(near(readPixel(700, 682), 0, 1, 0)) << "third value green";
    EXPECT_TRUE(near(readPixel(800, 742), 0, 0, 0)) << "health 100 of 310 fills to x 791";
    EXPECT_TRUE(near(readPixel(780, 742), 1, 0, 0));
    EXPECT_TRUE(nearAround(680, 700, 1, 0.75f, 0)) << "panel outline";
    EXPECT_TRUE(near(readPixel(100, 70), 0, 0, 0)) << "no loading bar";

    clearFrame();
    e().setLoadingBar(40, 60, 400, 20, 0, 47);
    for (int i = 0; i < 24; ++i)
        e().loadingBar.value++;
    e().drawOverlay();
    EXPECT_TRUE(near(readPixel(100, 70), 0.8f, 0.6f, 0)) << "filled part";
    EXPECT_TRUE(near(readPixel(400, 70), 0, 0, 0)) << "24 of 47 fills to x 244";
    EXPECT_TRUE(nearAround(300, 60, 0.65f, 0, 0)) << "outline";
    // An overfull bar stays inside its outline.
    e().loadingBar.value = 500;
    clearFrame();
    e().drawOverlay();
    EXPECT_TRUE(near(readPixel(460, 70), 0, 0, 0));

    // While loading: the loading picture (untextured white here), no bars.
    clearFrame();
    e().hideLoadingBar();
    g_settings.setFlag(FLAG_INIT_PENDING);
    e().drawOverlay();
    g_settings.clearFlag(FLAG_INIT_PENDING);
    EXPECT_TRUE(near(readPixel(500, 400), 1, 1, 1));
    EXPECT_TRUE(near(readPixel(700, 742), 1, 1, 1)) << "no red bar over the picture";
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(TextTest, StatusLineIsCutRunsDownAndARepostRestartsIt) {
    beginScreenSpace();
    g_settings.timeFactor = 150.0;
    e().postStatus("Setting detail level to %i", 3);
    EXPECT_STREQ(e().statusLine, "Setting detail level to 3");
    e().drawStatus();
    EXPECT_FLOAT_EQ(e().statusTimer, 50.0f);
    EXPECT_GT(litPixels(90, 258, 500, 30), 0) << "drawn at (100, 768 - 500)";
    e().postStatus("%s", "second");
    EXPECT_FLOAT_EQ(e().statusTimer, 200.0f);
    e().drawStatus();
    e().drawStatus();
    clearFrame();
    e().drawStatus();
    EXPECT_EQ(litPixels(90, 258, 500, 30), 0) << "run down after 200 units";
    std::string longText(300, 'x');
    e().postStatus("%s", longText.c_str());
    EXPECT_EQ(std::strlen(e().statusLine), 127u);
    g_settings.timeFactor = 0.0;
    glPopMatrix();
}

// Float texts: centred over their point and drawn for one frame; none behind
// the eye or beyond the far plane; cut to 63 characters; 64 at most.
TEST_F(TextTest, FloatTextsAreCentredOverTheirPointForOneFrameAndUnseenOrSurplusOnesDropped) {
    rendertest::viewFrom(0, 0, 10, 1, 0, 10, 1000.0); // looking along +x
    e().addFloatText("behind", -100, 0, 10);
    e().addFloatText("too far", 5000, 0, 10);
    EXPECT_EQ(e().floatTextCount, 0);
    e().addFloatText("Dungeon entrance", 100, 0, 10);
    ASSERT_EQ(e().floatTextCount, 1);
    double wx, wy, wz;
    gluProject(100, 0, 10, g_frame.modelview, g_frame.projection, g_frame.viewport, &wx, &wy, &wz);
    e().drawOverlay();
    EXPECT_EQ(e().floatTextCount, 0) << "float texts live one frame";
    int first = 0, last = 0;
    litColumns(int(wy) - 4, 14, first, last);
    ASSERT_GE(first, 0);
    EXPECT_NEAR((first + last) / 2.0, wx, 6.0) << first << ".." << last;
    EXPECT_GT(last - first, 50);

    std::string longText(100, 'y');
    e().addFloatText(longText.c_str(), 50, 0, 10);
    EXPECT_EQ(std::strlen(e().floatTexts[0].text), 63u);
    for (int i = 1; i < 64; ++i)
        e().addFloatText("label", 50, i % 10, 10);
    EXPECT_EQ(e().floatTextCount, 64);
    EXPECT_EQ(log_->text().find("Too many floattexts!"), std::string::npos);
    e().addFloatText("sixty-fifth", 50, 0, 10);
    EXPECT_EQ(e().floatTextCount, 64);
    std::string text = log_->text();
    EXPECT_EQ(text.substr(text.size() - 21), "Too many floattexts!\n");

    // Switching float texts off empties the queue: nothing drawn this frame.
    e().toggleFloatTexts();
    EXPECT_EQ(e().floatTextCount, 0);
    e().addFloatText("label", 50, 0, 10);
    EXPECT_EQ(e().floatTextCount, 0);
    e().toggleFloatTexts();
    e().addFloatText("label", 50, 0, 10);
    EXPECT_EQ(e().floatTextCount, 1);
}

} // namespace
