// The map as the terrain build will read it: stride-2049 addressing, the
// height curve, the control bitmaps' orientation, steepness and the start.
#include "tools/content/image.h"
#include "tools/content/terrain.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace content;

namespace {

const TerrainMaps& maps() {
    static const TerrainMaps m = generateTerrain(42);
    return m;
}

// Red byte of pixel (x, y) as the build addresses a bitmap: rows bottom-up as
// stored, offset (y * w + x) * 3 into the rows without their padding.
int storedRed(const std::vector<std::uint8_t>& bmp, int width, int x, int y) {
    std::size_t row = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    return bmp[54 + row * y + std::size_t(x) * 3 + 2];
}

// The height the build would see at cell (x, y) from the file bytes.
double fileHeight(const std::vector<std::uint8_t>& file, int x, int y) {
    std::size_t n = std::size_t(y) * 2049 + x;
    return builtHeight(file[n * 2] << 8 | file[n * 2 + 1]);
}

} // namespace

TEST(HeightCurve, RawForHeightInvertsTheBuildsCurve) {
    EXPECT_EQ(builtHeight(0), 0.0);
    double previous = -1;
    for (int raw = 0; raw <= RAW_MAX; raw += 7) {
        EXPECT_GE(builtHeight(raw), previous);
        previous = builtHeight(raw);
    }
    for (double h : {0.5, 3.0, 47.25, 150.0, 300.0}) {
        int raw = rawForHeight(h);
        EXPECT_GE(builtHeight(raw), h);
        EXPECT_LT(builtHeight(raw - 1), h);
    }
    EXPECT_EQ(rawForHeight(1e9), RAW_MAX);
}

TEST(HeightFile, BigEndianSamplesAddressedWithStride2049) {
    const TerrainMaps& m = maps();
    ASSERT_EQ(m.raw.size(), std::size_t(2050) * 2050);
    std::vector<std::uint8_t> file = encodeHeightFile(m.raw);
    ASSERT_EQ(file.size(), 8405000u);
    EXPECT_EQ(file[0], m.raw[0] >> 8);
    EXPECT_EQ(file[1], m.raw[0] & 0xFF);
    // Cell (x, y) of the intended map is where the build looks for it, in
    // the last column too (index 2048 of a row of 2049).
    for (auto [x, y] :
         std::vector<std::pair<int, int>>{{0, 0}, {2048, 5}, {17, 2047}, {1591, 1387}}) {
        EXPECT_NEAR(fileHeight(file, x, y), m.height[sampleIndex(x, y)], 0.6) << x << "," << y;
    }
    // The sample past the rows the build reads pins its height range (the
    // check mode reads the highest sample of the written pack).
    EXPECT_EQ(m.raw.back(), RAW_MAX);
}

// The share of steep ground and the gentle ground around the start are
// measured on the engine's own build of the pack by the check mode.
TEST(Landscape, HillsAndValleysAndAStartTownWithVillages) {
    const TerrainMaps& m = maps();
    float lo = 1e9f, hi = -1e9f;
    for (float h : m.height)
        lo = std::min(lo, h), hi = std::max(hi, h);
    EXPECT_GT(hi - lo, 150.0f);
    EXPECT_LT(hi, float(builtHeight(RAW_MAX)));
    ASSERT_GE(m.towns.size(), 4u);
    ASSERT_LE(m.towns.size(), 7u);
    EXPECT_TRUE(m.towns[0].isStartTown);
    EXPECT_EQ(m.towns[0].pageX, int(START_X) / 256);
    EXPECT_EQ(m.towns[0].pageY, int(START_Y) / 256);
}

TEST(ControlMaps, TownDensityAndDirtSitWhereTheBuildReadsThem) {
    const TerrainMaps& m = maps();
    std::vector<std::uint8_t> town = encodeBmp(m.townmap);
    // The start page keeps room for a square; the pages around it are dense.
    int start = storedRed(town, 32, 24, 21);
    EXPECT_GT(start, 0);
    EXPECT_LT(start * 6 / 255, 2);
    EXPECT_GE(storedRed(town, 32, 25, 21) * 6 / 255, 5);
    int villages = 0, empty = 0;
    for (const Town& t : m.towns)
        if (!t.isStartTown) villages += storedRed(town, 32, t.pageX, t.pageY) > 0;
    for (int py = 0; py < 32; ++py)
        for (int px = 0; px < 32; ++px)
            empty += storedRed(town, 32, px, py) == 0;
    EXPECT_EQ(villages, int(m.towns.size()) - 1);
    EXPECT_GT(empty, 32 * 32 - 60);
    std::vector<std::uint8_t> dirt = encodeBmp(m.dirt);
    ASSERT_EQ(m.dirt.width, 2050);
    // The town square is worn; a road leaves the start town toward the first village.
    EXPECT_GT(storedRed(dirt, 2050, 1591, 1387), 150);
    const Town& v = m.towns[1];
    int onRoad = 0;
    for (int k = 1; k < 20; ++k) {
        double t = k / 20.0;
        int x = int(1591 + (v.centreX - 1591) * t), y = int(1387 + (v.centreY - 1387) * t);
        int best = 0;
        for (int dy = -120; dy <= 120; dy += 2)
            for (int dx = -120; dx <= 120; dx += 2)
                if (x + dx >= 0 && x + dx < 2050 && y + dy >= 0 && y + dy < 2050)
                    best = std::max(best, storedRed(dirt, 2050, x + dx, y + dy));
        onRoad += best > 200;
    }
    EXPECT_GE(onRoad, 17);
}

TEST(Steepness, BlocksExactlyTheStepsTheBuildBlocks) {
    // A ramp along x: each cell climbs by its column's step; the build blocks
    // a vertex whose whole-unit drop to a neighbour is 5 or more.
    std::vector<float> h(std::size_t(MAP_SAMPLES), 0.0f);
    for (int y = 0; y < 2050; ++y)
        for (int x = 0; x < 2049; ++x) {
            std::size_t n = sampleIndex(x, y);
            if (n >= h.size()) continue;
            h[n] = x < 1000 ? x * 4.0f + 0.5f : 4000.5f + (x - 1000) * 5.0f;
        }
    double share = estimateSlopeBlocked(h);
    // Steps of 4 never block, steps of 5 (from column 1000 on) always do.
    double inner = 2049 - 1 - 2 * 24;
    double expected = (inner - (1000 - 24)) / inner;
    EXPECT_NEAR(share, expected, 1e-9);
}
