// The contact sheet and the viewer on the default content pack, drawn in a
// real window.
#include "tests/support/test_window.h"
#include "tools/content/image.h"
#include "tools/content/pack.h"
#include "tools/view/view.h"

#include <GL/gl.h>
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

// The default pack, written for this process under the build directory and
// removed when the process ends.
struct PackedGame {
    std::string dir;
    ~PackedGame() {
        if (!dir.empty()) std::filesystem::remove_all(dir);
    }
};

std::string packedGame() {
    static PackedGame packed;
    std::string& game = packed.dir;
    if (game.empty()) {
        std::string dir =
            std::string(ZEB_BUILD_DIR) + "/test-view-game-" + std::to_string(::getpid());
        std::filesystem::remove_all(dir);
        std::ostringstream log;
        if (content::writePack(dir + "/Data", content::DEFAULT_SEED, log)) game = dir;
    }
    return game;
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

void postKey(int vk) {
    win::PostMessage(g_window.window, win::WM_KEYDOWN, win::WPARAM(vk), 0);
    win::PostMessage(g_window.window, win::WM_KEYUP, win::WPARAM(vk), 0);
}

} // namespace

TEST(Viewer, ShowsTheModelAndStepsThroughItsAnimationsWithTheKeys) {
    std::string game = packedGame();
    ASSERT_FALSE(game.empty());
    ZEB_REQUIRE_GL_WINDOW(window);
    g_engine.fontCount = 0; // the fonts of an earlier window went with its context
    win::SetSystemEvents(false);
    std::string actors = game + "/Data/models/actors/";
    view::Viewer v;
    ASSERT_TRUE(v.open(actors + "penguin.md2", actors + "penguin.bmp"));
    const int count = v.slot.animationCount, idle = v.instance.animation;
    ASSERT_GE(count, 5);
    ASSERT_TRUE(v.step());
    // The penguin stands in the middle of the window, clear of the texts.
    v.draw();
    EXPECT_GT(drawnInBack(312, 184, 400, 400), 400 * 400 / 20);

    struct Press {
        int vk;
        int animation;
    };
    const Press presses[] = {
        {win::VK_RIGHT, idle + 1}, {win::VK_LEFT, idle}, {win::VK_LEFT, idle - 1}};
    for (const Press& p : presses) {
        postKey(p.vk);
        ASSERT_TRUE(v.step());
        EXPECT_EQ(v.instance.animation, (p.animation + count) % count);
    }
    // Left from the first animation goes round to the last.
    for (int i = 0; i <= count; ++i)
        postKey(win::VK_LEFT);
    ASSERT_TRUE(v.step());
    EXPECT_EQ(v.instance.animation, ((idle - 2 - count) % count + count) % count);

    double zoom = v.zoom;
    postKey(win::VK_UP);
    postKey(win::VK_SPACE);
    ASSERT_TRUE(v.step());
    EXPECT_GT(v.zoom, zoom);
    EXPECT_FALSE(v.turning);
    postKey(win::VK_ESCAPE);
    EXPECT_FALSE(v.step());
    win::SetSystemEvents(true);
    win::FlushMessages();
}

TEST(ContactSheet, EveryUsedSlotGetsALabelledCellShowingItsModel) {
    namespace fs = std::filesystem;
    std::string game = packedGame();
    ASSERT_FALSE(game.empty());
    ZEB_REQUIRE_GL_WINDOW(window);
    g_engine.fontCount = 0; // the fonts of an earlier window went with its context
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
}
