#include "core/settings.h"
#include "support.h"
#include "terrain/local_terrain.h"

#include <gtest/gtest.h>

using terraintest::makeFlatList;

namespace {

class Window : public ::testing::Test {
  protected:
    void SetUp() override { g_settings.applyDetailLevel(0); } // 5 x 5, radius 2
    void TearDown() override { g_settings.applyDetailLevel(3); }
};

void expectSameWindow(const LocalTerrain& a, const LocalTerrain& b) {
    EXPECT_EQ(a.centreX, b.centreX);
    EXPECT_EQ(a.centreY, b.centreY);
    for (int i = 0; i < MAX_WINDOW_PAGES; ++i)
        for (int j = 0; j < MAX_WINDOW_PAGES; ++j)
            ASSERT_EQ(a.pages[i][j], b.pages[i][j]) << "cell " << i << ", " << j;
}

TEST_F(Window, RebuildCentresOnTheCameraPageLeavesNullBeyondTheMapAndLocatesInsideOnly) {
    auto list = makeFlatList(6, 6);
    LocalTerrain w(*list, 300.0, 10.0);
    EXPECT_EQ(w.centreX, 256);
    EXPECT_EQ(w.centreY, 0);
    EXPECT_EQ(w.pages[2][2], list->findPage(256, 0));
    EXPECT_EQ(w.pages[0][2], nullptr) << "left of the map";
    EXPECT_EQ(w.pages[1][1], nullptr);
    EXPECT_EQ(w.pages[4][4], list->findPage(768, 512));
    EXPECT_NE(w.pages[4][4], nullptr);
    // Truncation toward zero: just left of x = 0 is still page 0.
    LocalTerrain neg(*list, -100.0, -1.0);
    EXPECT_EQ(neg.centreX, 0);
    EXPECT_EQ(neg.centreY, 0);

    double lx = -1, ly = -1;
    EXPECT_EQ(w.locate(530.0, 30.5, lx, ly), list->findPage(512, 0));
    EXPECT_DOUBLE_EQ(lx, 4.5);
    EXPECT_DOUBLE_EQ(ly, 7.625);
    EXPECT_EQ(w.locate(1100.0, 10.0, lx, ly), nullptr) << "on the map, outside the window";
    EXPECT_EQ(lx, 0.0);
    EXPECT_EQ(ly, 0.0);
}

TEST_F(Window, UpdateAfterAOnePageMoveMatchesARebuildInEveryDirection) {
    auto list = makeFlatList(8, 8);
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) {
            const double x0 = 1000.0, y0 = 900.0;
            LocalTerrain moving(*list, x0, y0);
            moving.update(*list, x0 + dx * 256.0, y0 + dy * 256.0);
            LocalTerrain fresh(*list, x0 + dx * 256.0, y0 + dy * 256.0);
            SCOPED_TRACE(::testing::Message() << "move " << dx << ", " << dy);
            expectSameWindow(moving, fresh);
        }
}

TEST_F(Window, UpdateAtTheMapEdgeBringsInNullsAndAJumpShiftsOnlyOnePage) {
    auto list = makeFlatList(8, 8);
    LocalTerrain w(*list, 300.0, 300.0);
    w.update(*list, 40.0, 40.0);
    LocalTerrain fresh(*list, 40.0, 40.0);
    expectSameWindow(w, fresh);

    // Three pages at once: the window moves one page, then a rebuild puts it right.
    LocalTerrain jump(*list, 1000.0, 1000.0);
    jump.update(*list, 1000.0 + 3 * 256, 1000.0);
    EXPECT_EQ(jump.centreX, 768 + 3 * 256);
    LocalTerrain onePage(*list, 1000.0 + 256, 1000.0);
    for (int a = 0; a < 5; ++a)
        for (int b = 0; b < 5; ++b)
            EXPECT_EQ(jump.pages[a][b], onePage.pages[a][b]);
    jump.rebuild(*list, 1000.0 + 3 * 256, 1000.0);
    expectSameWindow(jump, LocalTerrain(*list, 1000.0 + 3 * 256, 1000.0));
}

// A page whose grid value is i + 100 j, and a 3 x 3 map of them.
class Queries : public Window {
  protected:
    void SetUp() override {
        Window::SetUp();
        list = terraintest::makeList(
            3, 3, [](const TerrainPage&, int i, int j) { return float(i * i + 100 * j); });
        for (TerrainPage* p = list->head; p; p = p->next)
            for (int i = 0; i < 65; ++i)
                for (int j = 0; j < 65; ++j)
                    p->light[i][j] = float(j);
        window = std::make_unique<LocalTerrain>(*list, 10.0, 10.0);
    }
    std::unique_ptr<TerrainList> list;
    std::unique_ptr<LocalTerrain> window;
};

TEST_F(Queries, HeightInterpolatesEachTriangleOfTheCell) {
    const LocalTerrain& w = *window;
    // Corners of cell (2, 3): h00 = 304, h10 = 309, h01 = 404, h11 = 409.
    const double x0 = 8.0, y0 = 12.0;
    EXPECT_FLOAT_EQ(w.heightAt(x0, y0), 304.0f);
    EXPECT_NEAR(w.heightAt(x0 + 4 * 0.999999, y0), 309.0f, 1e-3);
    // Below the diagonal (fy < fx): h10 + (h11 - h10) fy + (h00 - h10)(1 - fx).
    const double fx = 0.75, fy = 0.25;
    EXPECT_NEAR(w.heightAt(x0 + 4 * fx, y0 + 4 * fy), 309 + 100 * fy - 5 * (1 - fx), 1e-3);
    // Above it (fy > fx): h01 + (h00 - h01)(1 - fy) + (h11 - h01) fx.
    EXPECT_NEAR(w.heightAt(x0 + 4 * fy, y0 + 4 * fx), 404 - 100 * (1 - fx) + 5 * fy, 1e-3);
    // On the diagonal both agree; the midpoint is the mean of h00 and h11.
    EXPECT_NEAR(w.heightAt(x0 + 2, y0 + 2), (304 + 409) / 2.0, 1e-3);
    // Light uses the same interpolation on its own grid.
    EXPECT_NEAR(w.lightAt(x0 + 1, y0 + 2), 3.5, 1e-6);
}

TEST_F(Queries, CornersGiveTheirVertexValueFromEitherSide) {
    // Vertex (5, 7) as the far corner of cell (4, 6) and the near corner of (5, 7).
    const float v = 5 * 5 + 700;
    EXPECT_NEAR(window->heightAt(20.0, 28.0), v, 1e-3);
    EXPECT_NEAR(interpolateGrid(list->head->height, 5.0 - 1e-9, 7.0 - 1e-9), v, 1e-3);
    EXPECT_NEAR(interpolateGrid(list->head->height, 4.0 + 1e-12, 7.0 - 1e-9), 4 * 4 + 700, 1e-3);
}

TEST_F(Queries, PointsOffTheMapOrWindowGiveNothingAndBlockedCellsAreNotWalkable) {
    const LocalTerrain& w = *window;
    for (auto pt :
         {std::pair{-300.0, 10.0}, {10.0, -300.0}, {9000.0, 10.0}, {800.0, 10.0}, {-1e30, 5.0}}) {
        EXPECT_EQ(w.heightAt(pt.first, pt.second), 0.0f);
        EXPECT_EQ(w.lightAt(pt.first, pt.second), 0.0f);
        EXPECT_TRUE(w.isWalkable(pt.first, pt.second));
    }
    // Just left of x = 0 the point locates page 0 with a negative lx.
    EXPECT_EQ(w.heightAt(-10.0, 10.0), 0.0f);
    EXPECT_GT(w.heightAt(10.0, 10.0), 0.0f);
    // Walkability reads the blocked cell.
    list->head->blocked[3][4] = 1;
    EXPECT_FALSE(w.isWalkable(12.5, 17.9));
    EXPECT_TRUE(w.isWalkable(16.5, 17.9));
}

} // namespace
