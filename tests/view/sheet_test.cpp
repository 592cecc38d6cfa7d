// The viewer and the contact sheet on the default content pack, drawn in a
// real window.
#include "tests/support/read_file.h"
#include "tests/support/test_window.h"
#include "tools/content/image.h"
#include "tools/content/pack.h"
#include "tools/view/view.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

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

TEST(View, ViewerStepsThroughTheAnimationsAndTheSheetShowsEveryUsedSlot) {
    const std::string game = std::string(ZEB_BUILD_DIR) + "/test-view-game";
    ZEB_REQUIRE_GL_WINDOW(window);
    std::ostringstream packLog;
    ASSERT_TRUE(content::writePack(game + "/Data", content::DEFAULT_SEED, packLog));
    const std::string actors = game + "/Data/models/actors/";
    view::Viewer v;
    ASSERT_TRUE(v.open(actors + "penguin.md2", actors + "penguin.bmp"));
    // Left from the first animation goes round to the last; Escape quits.
    v.showAnimation(0);
    win::PostMessage(g_window.window, win::WM_KEYDOWN, win::VK_LEFT, 0);
    ASSERT_TRUE(v.step());
    EXPECT_EQ(v.instance.animation, v.slot.animationCount - 1);
    win::PostMessage(g_window.window, win::WM_KEYDOWN, win::VK_ESCAPE, 0);
    EXPECT_FALSE(v.step());

    const fs::path before = fs::current_path();
    fs::current_path(game);
    std::string error;
    EXPECT_TRUE(view::writeContactSheet("sheet.bmp", error)) << error;
    const std::vector<view::SheetCell> cells = view::sheetCells();
    const std::string raw = testsupport::readFile("sheet.bmp");
    // A directory without the game's data is refused, not half drawn.
    fs::current_path(game + "/Data");
    EXPECT_FALSE(view::writeContactSheet("none.bmp", error));
    EXPECT_NE(error.find("is missing"), std::string::npos);
    EXPECT_FALSE(fs::exists("none.bmp"));
    fs::current_path(before);
    fs::remove_all(game);
    content::Image sheet;
    ASSERT_TRUE(content::decodeBmp({raw.begin(), raw.end()}, sheet, error)) << error;
    const view::SheetLayout layout = view::layoutFor(int(cells.size()));
    EXPECT_EQ(sheet.width, layout.width());
    EXPECT_EQ(sheet.height, layout.height());
    EXPECT_GE(cells.size(), 60u) << "creatures, the leader and the weapon carriers";
    for (std::size_t n = 0; n < cells.size(); ++n) {
        const int column = int(n) % layout.columns, row = int(n) / layout.columns;
        SCOPED_TRACE(cells[n].label);
        // The model fills the middle of its cell; its label sits at the bottom.
        EXPECT_GT(drawnPixels(sheet, column, row, layout.cell, 0.3, 0.7, 0.2, 0.7, false),
                  layout.cell * layout.cell / 100);
        EXPECT_GT(drawnPixels(sheet, column, row, layout.cell, 0.0, 1.0, 0.85, 1.0, true), 10);
    }
}

} // namespace
