#include "terrain/terrain.h"
#include "support.h"

#include <gtest/gtest.h>

using terraintest::makeList;

namespace {

// Height unique to page and vertex, in steps small enough to keep the slope low.
float code(const TerrainPage& p, int i, int j) {
    return float((p.originX / 256 * 10 + p.originY / 256) * 1000) + i * 0.05f + j * 0.025f;
}

TEST(Stitch, SharedBordersComeFromNeighboursAndFarEdgesRepeatTheLastLine) {
    auto list = makeList(2, 2, [](const TerrainPage& p, int i, int j) {
        return (i == 64 || j == 64) ? -1.0f : code(p, i, j);
    });
    list->finishPages();
    const TerrainPage& p00 = *list->findPage(0, 0);
    const TerrainPage& p01 = *list->findPage(0, 256);
    const TerrainPage& p10 = *list->findPage(256, 0);
    const TerrainPage& p11 = *list->findPage(256, 256);
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(p00.height[k][64], p01.height[k][0]);
        EXPECT_EQ(p00.height[64][k], p10.height[0][k]);
        // Far edges repeat row / column 63.
        EXPECT_EQ(p11.height[k][64], p11.height[k][63]);
        EXPECT_EQ(p11.height[64][k], p11.height[63][k]);
        EXPECT_EQ(p01.height[k][64], p01.height[k][63]);
    }
    EXPECT_EQ(p00.height[64][64], p11.height[0][0]);
    EXPECT_EQ(p01.height[64][64], p11.height[0][63]) << "+y missing: from the +x page";
    EXPECT_EQ(p10.height[64][64], p11.height[63][0]) << "+x missing: from the +y page";
    EXPECT_EQ(p11.height[64][64], p11.height[63][63]);
}

TEST(Slope, SteepVerticesBlockHeightsAreTruncatedFirstAndAHighMapsFarEdgeBlocks) {
    auto list = terraintest::makeFlatList(2, 2);
    TerrainPage& p = *list->findPage(0, 0);
    p.height[20][30] = 5.1f;  // 5 up from its neighbours: 5/6 blocks
    p.height[40][30] = 4.9f;  // truncates to 4: 4/6 does not
    p.height[50][51] = -4.5f; // along y into (50, 51) from (50, 50): 4 / 6
    list->finishPages();
    EXPECT_NEAR(p.slope[20][30], 5.0f / 6.0f, 1e-6);
    EXPECT_NEAR(p.slope[19][30], 5.0f / 6.0f, 1e-6) << "hx of (19, 30) is (20, 30)";
    EXPECT_NEAR(p.slope[40][30], 4.0f / 6.0f, 1e-6);
    EXPECT_NEAR(p.slope[50][50], 4.0f / 6.0f, 1e-6);
    // (20, 30) and (19, 30) are blocked; a pair of cells is not a lone speck.
    const int blocked[][3] = {{20, 30, 1}, {19, 30, 1}, {40, 30, 0}, {50, 50, 0}};
    for (auto [i, j, b] : blocked)
        EXPECT_EQ(p.blocked[i][j], b) << i << ", " << j;

    auto high = makeList(1, 1, [](const TerrainPage&, int, int) { return 30.0f; });
    high->finishPages();
    const TerrainPage& h = *high->head;
    EXPECT_EQ(h.slope[10][10], 0.0f);
    EXPECT_NEAR(h.slope[10][64], 5.0f, 1e-6);
    EXPECT_EQ(h.blocked[10][64], 1);
    EXPECT_EQ(h.blocked[64][10], 1);
}

} // namespace
