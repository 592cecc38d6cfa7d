#include "support.h"
#include "terrain/local_terrain.h"

#include <gtest/gtest.h>

namespace {

class Window : public ::testing::Test {
  protected:
    void SetUp() override { g_settings.applyDetailLevel(0); } // 5 x 5, radius 2
    void TearDown() override { g_settings.applyDetailLevel(3); }
};

TEST_F(Window, RebuildCentresOnTheCameraPageLeavesNullBeyondTheMapAndLocatesInsideOnly) {
    auto list = terraintest::makeFlatList(6, 6);
    LocalTerrain w(*list, 300.0, 10.0);
    EXPECT_EQ(w.centreX, 256);
    EXPECT_EQ(w.centreY, 0);
    EXPECT_EQ(w.pages[2][2], list->findPage(256, 0));
    EXPECT_EQ(w.pages[0][2], nullptr) << "left of the map";
    EXPECT_EQ(w.pages[4][4], list->findPage(768, 512));
    LocalTerrain neg(*list, -100.0, -1.0);
    EXPECT_EQ(neg.centreX, 0) << "truncation toward zero: just left of x = 0 is page 0";
    EXPECT_EQ(neg.centreY, 0);

    double lx = -1, ly = -1;
    EXPECT_EQ(w.locate(530.0, 30.5, lx, ly), list->findPage(512, 0));
    EXPECT_DOUBLE_EQ(lx, 4.5);
    EXPECT_DOUBLE_EQ(ly, 7.625);
    EXPECT_EQ(w.locate(1100.0, 10.0, lx, ly), nullptr) << "on the map, outside the window";
    EXPECT_EQ(lx, 0.0);
    EXPECT_EQ(ly, 0.0);
}

// In the middle of the map and at its edge, where nulls come in.
TEST_F(Window, UpdateAfterAOnePageMoveMatchesARebuildInEveryDirection) {
    auto list = terraintest::makeFlatList(8, 8);
    for (double start : {1000.0, 300.0})
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                SCOPED_TRACE(::testing::Message() << start << " moved " << dx << ", " << dy);
                const double x = start + dx * 256.0, y = start - 100 + dy * 256.0;
                LocalTerrain moving(*list, start, start - 100);
                moving.update(*list, x, y);
                const LocalTerrain fresh(*list, x, y);
                EXPECT_EQ(moving.centreX, fresh.centreX);
                EXPECT_EQ(moving.centreY, fresh.centreY);
                for (int i = 0; i < MAX_WINDOW_PAGES; ++i)
                    for (int j = 0; j < MAX_WINDOW_PAGES; ++j)
                        ASSERT_EQ(moving.pages[i][j], fresh.pages[i][j]) << i << ", " << j;
            }
}

// Height i^2 + 100 j on each of 3 x 3 pages, light j.
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

TEST_F(Queries, HeightInterpolatesEachTriangleOfTheCellAndCornersFromEitherSide) {
    const LocalTerrain& w = *window;
    // Corners of cell (2, 3): h00 = 304, h10 = 309, h01 = 404, h11 = 409.
    const double x0 = 8.0, y0 = 12.0, fx = 0.75, fy = 0.25;
    EXPECT_FLOAT_EQ(w.heightAt(x0, y0), 304.0f);
    EXPECT_NEAR(w.heightAt(x0 + 4 * 0.999999, y0), 309.0f, 1e-3);
    // Below the diagonal: h10 + (h11 - h10) fy + (h00 - h10)(1 - fx); above it mirrored.
    EXPECT_NEAR(w.heightAt(x0 + 4 * fx, y0 + 4 * fy), 309 + 100 * fy - 5 * (1 - fx), 1e-3);
    EXPECT_NEAR(w.heightAt(x0 + 4 * fy, y0 + 4 * fx), 404 - 100 * (1 - fx) + 5 * fy, 1e-3);
    EXPECT_NEAR(w.heightAt(x0 + 2, y0 + 2), (304 + 409) / 2.0, 1e-3);
    EXPECT_NEAR(w.lightAt(x0 + 1, y0 + 2), 3.5, 1e-6) << "light on its own grid";
    // Vertex (5, 7) as the far corner of cell (4, 6) and the near corner of (5, 7).
    EXPECT_NEAR(w.heightAt(20.0, 28.0), 725, 1e-3);
    EXPECT_NEAR(interpolateGrid(list->head->height, 5.0 - 1e-9, 7.0 - 1e-9), 725, 1e-3);
    EXPECT_NEAR(interpolateGrid(list->head->height, 4.0 + 1e-12, 7.0 - 1e-9), 716, 1e-3);
}

TEST_F(Queries, PointsOffTheMapOrWindowGiveNothingAndBlockedCellsAreNotWalkable) {
    const LocalTerrain& w = *window;
    const std::pair<double, double> off[] = {{-300.0, 10.0}, {10.0, -300.0}, {9000.0, 10.0},
                                             {800.0, 10.0},  {-1e30, 5.0},   {-10.0, 10.0}};
    for (auto [x, y] : off) {
        EXPECT_EQ(w.heightAt(x, y), 0.0f) << x << ", " << y;
        EXPECT_EQ(w.lightAt(x, y), 0.0f);
        EXPECT_TRUE(w.isWalkable(x, y));
    }
    EXPECT_GT(w.heightAt(10.0, 10.0), 0.0f);
    list->head->blocked[3][4] = 1;
    EXPECT_FALSE(w.isWalkable(12.5, 17.9));
    EXPECT_TRUE(w.isWalkable(16.5, 17.9));
}

} // namespace
