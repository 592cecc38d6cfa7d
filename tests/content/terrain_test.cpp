// The map as the terrain build will read it: stride-2049 addressing, the
// height curve, the control bitmaps' orientation and the start town.
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

// The pages as the build addresses the town map: the start town's page keeps
// room for a square among dense pages, and the town square is worn.
TEST(ControlMaps, TownDensityAndDirtSitWhereTheBuildReadsThem) {
    const TerrainMaps& m = maps();
    ASSERT_FALSE(m.towns.empty());
    ASSERT_TRUE(m.towns[0].isStartTown);
    EXPECT_EQ(m.towns[0].pageX, int(START_X) / 256);
    EXPECT_EQ(m.towns[0].pageY, int(START_Y) / 256);
    std::vector<std::uint8_t> town = encodeBmp(m.townmap);
    const int start = storedRed(town, 32, 24, 21);
    EXPECT_GT(start, 0);
    EXPECT_LT(start * 6 / 255, 2);
    EXPECT_GE(storedRed(town, 32, 25, 21) * 6 / 255, 5);
    ASSERT_EQ(m.dirt.width, 2050);
    EXPECT_GT(storedRed(encodeBmp(m.dirt), 2050, 1591, 1387), 150);
}
