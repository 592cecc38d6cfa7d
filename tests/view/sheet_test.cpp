// The contact sheet on the default content pack, drawn in a real window.
#include "tests/support/test_window.h"
#include "tools/content/image.h"
#include "tools/content/pack.h"
#include "tools/view/view.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::vector<std::uint8_t> slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Pixels of the cell at (column, row) inside [x0, x1) x [y0, y1) of the cell
// (fractions of its size) that are not the background colour.
int drawnPixels(const content::Image& sheet, int column, int row, int cell, double x0, double x1,
                double y0, double y1, bool white) {
    const content::Rgb background = sheet.get(1, 1);
    int count = 0;
    for (int y = int(y0 * cell); y < int(y1 * cell); ++y)
        for (int x = int(x0 * cell); x < int(x1 * cell); ++x) {
            content::Rgb c = sheet.get(column * cell + x, row * cell + y);
            bool isWhite = c.r > 0.8f && c.g > 0.8f && c.b > 0.8f;
            bool differs = c.r != background.r || c.g != background.g || c.b != background.b;
            count += white ? isWhite : differs;
        }
    return count;
}

} // namespace

TEST(ContactSheet, EveryUsedSlotGetsALabelledCellShowingItsModel) {
    namespace fs = std::filesystem;
    std::string game = std::string(ZEB_BUILD_DIR) + "/test-view-game";
    fs::remove_all(game);
    std::ostringstream packLog;
    ASSERT_TRUE(content::writePack(game + "/Data", content::DEFAULT_SEED, packLog));
    ZEB_REQUIRE_GL_WINDOW(window);
    fs::path before = fs::current_path();
    fs::current_path(game);

    std::string error;
    bool written = view::writeContactSheet("sheet.bmp", error);
    std::vector<view::SheetCell> cells = view::sheetCells();
    std::vector<std::uint8_t> bytes = slurp("sheet.bmp");
    fs::current_path(before);
    ASSERT_TRUE(written) << error;

    content::Image sheet;
    std::string why;
    ASSERT_TRUE(content::decodeBmp(bytes, sheet, why)) << why;
    view::SheetLayout layout = view::layoutFor(int(cells.size()));
    EXPECT_EQ(sheet.width, layout.width());
    EXPECT_EQ(sheet.height, layout.height());
    // Creatures, the player's leader and the weapon carriers are all there.
    EXPECT_GE(cells.size(), 60u);
    for (std::size_t n = 0; n < cells.size(); ++n) {
        int column = int(n) % layout.columns, row = int(n) / layout.columns;
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
    fs::remove_all(game);
}
