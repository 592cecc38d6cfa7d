// The contact sheet and the viewer on the default content pack, drawn in a
// real window.
#include "tests/support/read_file.h"
#include "tests/support/test_window.h"
#include "tools/content/image.h"
#include "tools/content/pack.h"
#include "tools/view/view.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

// Pixels inside [x0, x1) x [y0, y1) (fractions of the cell) of the cell at
// (column, row) that differ from the background, or that are white.
int drawnPixels(const content::Image& sheet, int column, int row, int cell, double x0, double x1,
                double y0, double y1, bool white) {
    const content::Rgb bg = sheet.get(1, 1);
    int count = 0;
    for (int y = int(y0 * cell); y < int(y1 * cell); ++y)
        for (int x = int(x0 * cell); x < int(x1 * cell); ++x) {
            content::Rgb c = sheet.get(column * cell + x, row * cell + y);
            count += white ? c.r > 0.8f && c.g > 0.8f && c.b > 0.8f
                           : c.r != bg.r || c.g != bg.g || c.b != bg.b;
        }
    return count;
}

// Pixels of the back buffer inside the box that differ from its corner.
int drawnInBack(int x0, int y0, int width, int height) {
    std::vector<std::uint8_t> px(std::size_t(width) * height * 3);
    std::uint8_t corner[3] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(1, 1, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, corner);
    glReadPixels(x0, y0, width, height, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    int count = 0;
    for (std::size_t i = 0; i < px.size(); i += 3)
        count += px[i] != corner[0] || px[i + 1] != corner[1] || px[i + 2] != corner[2];
    return count;
}

// The default pack, written once under the build directory for the tests
// of this file and removed after them.
class View : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::ostringstream log;
        packed = content::writePack(game + "/Data", content::DEFAULT_SEED, log);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(game); }
    static inline const std::string game =
        std::string(ZEB_BUILD_DIR) + "/test-view-game-" + std::to_string(::getpid());
    static inline bool packed = false;
};

TEST_F(View, ViewerShowsTheModelAndStepsThroughItsAnimationsWithTheKeys) {
    ASSERT_TRUE(packed);
    ZEB_REQUIRE_GL_WINDOW(window);
    g_engine.fontCount = 0; // the fonts of an earlier window went with its context
    win::SetSystemEvents(false);
    const std::string actors = game + "/Data/models/actors/";
    view::Viewer v;
    ASSERT_TRUE(v.open(actors + "penguin.md2", actors + "penguin.bmp"));
    const int count = v.slot.animationCount, idle = v.instance.animation;
    ASSERT_GE(count, 5);
    ASSERT_TRUE(v.step());
    // The penguin stands in the middle of the window, clear of the texts.
    v.draw();
    EXPECT_GT(drawnInBack(312, 184, 400, 400), 400 * 400 / 20);

    auto press = [&](int vk, int times) {
        for (int i = 0; i < times; ++i) {
            win::PostMessage(g_window.window, win::WM_KEYDOWN, win::WPARAM(vk), 0);
            win::PostMessage(g_window.window, win::WM_KEYUP, win::WPARAM(vk), 0);
        }
        return v.step();
    };
    ASSERT_TRUE(press(win::VK_RIGHT, 1));
    EXPECT_EQ(v.instance.animation, (idle + 1) % count);
    // Left past the first animation goes round to the last.
    ASSERT_TRUE(press(win::VK_LEFT, count + 2));
    EXPECT_EQ(v.instance.animation, (idle - 1 + count) % count);

    const double zoom = v.zoom;
    press(win::VK_UP, 1);
    ASSERT_TRUE(press(win::VK_SPACE, 1));
    EXPECT_GT(v.zoom, zoom);
    EXPECT_FALSE(v.turning);
    EXPECT_FALSE(press(win::VK_ESCAPE, 1));
    win::SetSystemEvents(true);
    win::FlushMessages();
}

TEST_F(View, ContactSheetGivesEveryUsedSlotALabelledCellShowingItsModel) {
    namespace fs = std::filesystem;
    ASSERT_TRUE(packed);
    ZEB_REQUIRE_GL_WINDOW(window);
    g_engine.fontCount = 0; // the fonts of an earlier window went with its context
    const fs::path before = fs::current_path();
    fs::current_path(game);
    std::string error;
    const bool written = view::writeContactSheet("sheet.bmp", error);
    const std::vector<view::SheetCell> cells = view::sheetCells();
    const std::string raw = testsupport::readFile("sheet.bmp");
    fs::current_path(before);
    ASSERT_TRUE(written) << error;

    content::Image sheet;
    ASSERT_TRUE(content::decodeBmp({raw.begin(), raw.end()}, sheet, error)) << error;
    const view::SheetLayout layout = view::layoutFor(int(cells.size()));
    EXPECT_EQ(sheet.width, layout.width());
    EXPECT_EQ(sheet.height, layout.height());
    // Creatures, the player's leader and the weapon carriers are all there.
    EXPECT_GE(cells.size(), 60u);
    for (std::size_t n = 0; n < cells.size(); ++n) {
        const int column = int(n) % layout.columns, row = int(n) / layout.columns;
        SCOPED_TRACE(cells[n].label);
        // The model fills the middle of its cell; its label sits at the bottom.
        EXPECT_GT(drawnPixels(sheet, column, row, layout.cell, 0.3, 0.7, 0.2, 0.7, false),
                  layout.cell * layout.cell / 100);
        EXPECT_GT(drawnPixels(sheet, column, row, layout.cell, 0.0, 1.0, 0.85, 1.0, true), 10);
    }
    // A directory without the game's data is refused, not half drawn.
    fs::current_path(game + "/Data");
    EXPECT_FALSE(view::writeContactSheet("none.bmp", error));
    EXPECT_NE(error.find("is missing"), std::string::npos);
    EXPECT_FALSE(fs::exists("none.bmp"));
    fs::current_path(before);
}

} // namespace
