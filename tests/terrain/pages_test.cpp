#include "core/random.h"
#include "support.h"
#include "terrain/terrain_build.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// (The light of each vertex shows in the outside reference frame.)
TEST(Blocking, ADiscSkipsCellsOffThePage) {
    TerrainPage edge;
    blockDisc(edge, 0, 64, 2.0f);
    EXPECT_EQ(edge.blocked[0][64], 1);
    // Centred half a cell below and left of the vertex: 5 of its 12 cells are on the page.
    int blocked = 0;
    for (auto& row : edge.blocked)
        for (int c : row)
            blocked += c != 0;
    EXPECT_EQ(blocked, 5);
}

TEST(Objects, BuildingsBlockTheirFootprintsAndWearDirtAroundThem) {
    crt::srand(42);
    int placed = 0;
    for (int n = 0; n < 40; ++n) {
        TerrainPage p;
        p.setOrigin(512, 768);
        placePageObjects(p, 1.0);
        for (int k = 0; k < p.buildingCount; ++k) {
            const Building& b = p.buildings[k];
            ++placed;
            const int i = int((b.x - p.originX) / 4), j = int((b.y - p.originY) / 4);
            ASSERT_GE(i, 0);
            ASSERT_LE(i, 64);
            EXPECT_EQ(p.blocked[i][j], 1) << "the footprint's first corner";
            // The corner across the footprint, turned by the building's rotation.
            const double rad = b.rotation * M_PI / 180.0, l = b.length / 4.0, w = b.width / 4.0;
            const double fi = i + l * std::cos(rad) - w * std::sin(rad);
            const double fj = j + l * std::sin(rad) + w * std::cos(rad);
            const double mi = i + (fi - i) / 2, mj = j + (fj - j) / 2;
            EXPECT_EQ(p.blocked[int(mi)][int(mj)], 1) << "the footprint's middle";
            EXPECT_GT(p.dirt[int(mi)][int(mj)], 0.0f);
        }
    }
    EXPECT_GT(placed, 40) << "a dense town page holds several buildings";
}

} // namespace
