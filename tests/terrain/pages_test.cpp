#include "core/random.h"
#include "support.h"
#include "terrain/terrain_build.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int blockedCount(const TerrainPage& p) {
    int n = 0;
    for (auto& row : p.blocked)
        for (int c : row)
            n += c != 0;
    return n;
}

TEST(VertexLight, FlatGroundFacesUpAndATiltedPlaneTurnsWithItsNormal) {
    TerrainLight light;
    HeightSamples flat;
    const long n = 500L * SAMPLE_STRIDE + 500;
    EXPECT_NEAR(vertexShade(flat, n, light), light.direction[2], 1e-9);
    EXPECT_NEAR(light.direction[2], std::sin(60.0 * M_PI / 180.0), 1e-6);

    // Planes h = a x + b y (both ways, to catch a swapped neighbour): every
    // triangle's normal is (-a, -b, 1) / |(-a, -b, 1)|.
    HeightSamples plane;
    for (auto [a, b] : {std::pair{3, 0}, {0, 2}}) {
        for (int y = 0; y < 1000; ++y)
            for (int x = 0; x < 1000; ++x)
                plane.at(x, y) = a * x + b * y;
        const double* d = light.direction;
        EXPECT_NEAR(vertexShade(plane, n, light),
                    (-a * d[0] - b * d[1] + d[2]) / std::sqrt(a * a + b * b + 1.0), 1e-9)
            << a << " x + " << b << " y";
    }
}

TEST(VertexLight, FirstRowAndBeyondTheGridAreUnshadedAndTheCurveClampsOntoItsRange) {
    TerrainLight light;
    HeightSamples h;
    h.at(3, 0) = 999;
    EXPECT_EQ(vertexShade(h, 3, light), 1.0);
    EXPECT_EQ(vertexShade(h, SAMPLE_STRIDE, light), 1.0) << "n must be above W";
    EXPECT_EQ(vertexShade(h, long(SAMPLE_STRIDE) * SAMPLE_STRIDE, light), 1.0);
    EXPECT_NE(vertexShade(h, SAMPLE_STRIDE + 1, light), 1.0);
    const std::pair<double, double> curve[] = {{5.0, 1.0},
                                               {0.85, 1.0},
                                               {-0.5, 0.1},
                                               {-3.0, 0.1},
                                               {0.0, std::pow(0.5 / 1.35, 0.35) * 0.9 + 0.1}};
    for (auto [shade, lit] : curve)
        EXPECT_NEAR(lightCurve(shade, light), lit, 1e-6) << shade;
}

TEST(Blocking, DiscsCoverTheirCellsAndSkipCellsOffThePage) {
    TerrainPage p;
    blockDisc(p, 10, 10, 1.5f);
    EXPECT_EQ(blockedCount(p), 4);
    EXPECT_EQ(p.blocked[9][9], 1);
    EXPECT_EQ(p.blocked[10][10], 1);
    EXPECT_EQ(p.blocked[11][10], 0);

    TerrainPage q;
    blockDisc(q, 30, 30, 2.0f);
    EXPECT_EQ(blockedCount(q), 12);
    EXPECT_EQ(q.blocked[28][28], 0) << "corners of the square fall outside the circle";

    TerrainPage edge;
    blockDisc(edge, 0, 64, 2.0f);
    EXPECT_EQ(edge.blocked[0][64], 1);
    // The disc is centred half a cell below and left of the vertex: of its
    // 12 cells, those with a >= 0 and b <= 0 are on the page.
    EXPECT_EQ(blockedCount(edge), 5);
}

TEST(Portal, FacesItsLowestNeighbourEvenOnTheHighestGround) {
    TerrainPage p;
    terraintest::fillPage(p, &TerrainPage::height, 50.0f);
    p.height[11][9] = 40.0f; // (+1, -1): 315 degrees
    p.height[9][10] = 45.0f; // (-1, 0) is lower than the rest, not the lowest
    EXPECT_FLOAT_EQ(downhillRotation(p, 10, 10), 315.0f + 90.0f);

    TERRAIN_MAX_HEIGHT = 10; // everything is at or above the map height
    p.height[11][9] = 50.0f;
    p.height[9][10] = 50.0f;
    EXPECT_FLOAT_EQ(downhillRotation(p, 10, 10), 225.0f + 90.0f) << "first of equals";
}

TEST(Objects, BuildingsBlockTheirFootprintsAndWearDirtAroundThem) {
    crt::srand(42);
    int placed = 0, portals = 0;
    for (int n = 0; n < 40; ++n) {
        TerrainPage p;
        p.setOrigin(512, 768);
        placePageObjects(p, 1.0);
        portals += p.portalCount;
        EXPECT_LE(p.decorCount, MAX_DECOR);
        EXPECT_LE(p.buildingCount, MAX_BUILDINGS);
        for (int k = 0; k < p.buildingCount; ++k) {
            const Building& b = p.buildings[k];
            ++placed;
            const int i = int((b.x - p.originX) / 4), j = int((b.y - p.originY) / 4);
            ASSERT_GE(i, 0);
            ASSERT_LE(i, 64);
            EXPECT_EQ(p.blocked[i][j], 1) << "the footprint's first corner";
            // The corner diagonally across the footprint, turned by the
            // building's own rotation.
            const double rad = b.rotation * M_PI / 180.0, l = b.length / 4.0, w = b.width / 4.0;
            const double fi = i + l * std::cos(rad) - w * std::sin(rad);
            const double fj = j + l * std::sin(rad) + w * std::cos(rad);
            const double mi = i + (fi - i) / 2, mj = j + (fj - j) / 2;
            EXPECT_EQ(p.blocked[int(mi)][int(mj)], 1) << "the footprint's middle";
            EXPECT_GT(p.dirt[int(mi)][int(mj)], 0.0f);
        }
    }
    EXPECT_GT(placed, 40) << "a dense town page holds several buildings";
    EXPECT_LE(portals, 10);
    // (Pages of town density 0 stay without buildings in the full build's test.)
}

TEST(Objects, DecorStandsOnItsVertexAndBlocksUnlessPassable) {
    crt::srand(7);
    TerrainPage p;
    p.setOrigin(0, 256);
    for (int i = 0; i < PAGE_VERTS; ++i)
        for (int j = 0; j < PAGE_VERTS; ++j) {
            p.height[i][j] = float(i + 100 * j);
            p.light[i][j] = float(j) / 64.0f;
        }
    for (int tries = 0; tries < 20 && p.decorCount == 0; ++tries)
        placePageObjects(p, 0.0);
    ASSERT_GT(p.decorCount, 0);
    for (int k = 0; k < p.decorCount; ++k) {
        const DecorObject& d = p.decor[k];
        const int i = int(d.x - p.originX) / 4, j = int(d.y - p.originY) / 4;
        ASSERT_NE(d.kind, nullptr);
        EXPECT_FLOAT_EQ(float(d.z), p.height[i][j]);
        EXPECT_FLOAT_EQ(d.light, p.light[i][j]);
        EXPECT_GE(i, 1);
        EXPECT_LE(i, 62);
        EXPECT_EQ(p.blocked[i][j], 1);
    }
}

} // namespace
