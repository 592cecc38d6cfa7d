#include "terrain/terrain.h"
#include "support.h"

#include <gtest/gtest.h>

using terraintest::makeList;

namespace {

// Height unique to page and vertex: page number * 1000 + i * 0.5 + j * 0.25
// (small steps keep the slope low).
float code(const TerrainPage& p, int i, int j) {
    return float((p.originX / 256 * 10 + p.originY / 256) * 1000) + i * 0.05f + j * 0.025f;
}

TEST(Stitch, SharedBordersComeFromNeighboursAndFarEdgesRepeatTheLastLine) {
    auto list = makeList(2, 2, [](const TerrainPage& p, int i, int j) {
        return (i == 64 || j == 64) ? -1.0f : code(p, i, j);
    });
    for (TerrainPage* p = list->head; p; p = p->next)
        for (int i = 0; i < 65; ++i)
            for (int j = 0; j < 65; ++j)
                p->light[i][j] = p->height[i][j] + 0.5f;
    list->finishPages();
    const TerrainPage& p00 = *list->findPage(0, 0);
    const TerrainPage& p01 = *list->findPage(0, 256);
    const TerrainPage& p10 = *list->findPage(256, 0);
    const TerrainPage& p11 = *list->findPage(256, 256);
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(p00.height[k][64], p01.height[k][0]);
        EXPECT_EQ(p00.light[k][64], p01.light[k][0]);
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
    EXPECT_EQ(p01.light[64][64], p11.light[0][63]);
    // Edge arrays copy the stitched borders.
    for (int k = 0; k < 65; ++k) {
        EXPECT_EQ(p00.edgeHighY[k], p00.height[k][64]);
        EXPECT_EQ(p00.edgeLowY[k], p00.height[k][0]);
        EXPECT_EQ(p00.edgeHighX[k], p00.height[64][k]);
        EXPECT_EQ(p00.edgeLowX[k], p00.height[0][k]);
    }
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

TEST(WalkGrid, PocketsFillAndLoneSpecksClear) {
    auto list = terraintest::makeFlatList(1, 1);
    TerrainPage& p = *list->head;
    // A U of blocked cells around (10, 10), open towards +j: (10, 10) has
    // three blocked sides and fills, which walls in (10, 11) in turn.
    p.blocked[9][10] = p.blocked[11][10] = p.blocked[10][9] = 1;
    p.blocked[9][11] = p.blocked[11][11] = 1;
    // A corridor two cells long: filling (30, 30) walls in (30, 31).
    p.blocked[29][30] = p.blocked[31][30] = p.blocked[30][29] = 1;
    p.blocked[29][31] = p.blocked[31][31] = p.blocked[30][32] = 1;
    // A lone speck, and one on the outer ring that is left alone.
    p.blocked[50][50] = 1;
    p.blocked[0][40] = 1;
    list->finishPages();
    EXPECT_EQ(p.blocked[10][10], 1);
    EXPECT_EQ(p.blocked[10][11], 1) << "(10, 11) now has three blocked sides too";
    EXPECT_EQ(p.blocked[10][12], 0);
    EXPECT_EQ(p.blocked[30][30], 1);
    EXPECT_EQ(p.blocked[30][31], 1) << "filling repeats until nothing changes";
    EXPECT_EQ(p.blocked[50][50], 0);
    EXPECT_EQ(p.blocked[0][40], 1);
}

} // namespace
