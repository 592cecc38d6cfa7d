#include "core/random.h"
#include "support.h"
#include "terrain/terrain_build.h"

#include <gtest/gtest.h>

namespace {

TEST(HeightFile, SamplesAreBigEndianAndMissingOnesOrAMissingFileReadAsZero) {
    terraintest::TempDir dir;
    // 0x0102, 0xFFFF (missing), 0x1234, then a lone byte whose absent second byte reads 0xFF.
    bmptest::writeFile(dir.file("terrain.dat"), {0x01, 0x02, 0xFF, 0xFF, 0x12, 0x34, 0x00});
    HeightSamples s;
    std::FILE* f = std::fopen(dir.file("terrain.dat").c_str(), "rb");
    const HeightRange r = readHeightSamples(f, s);
    std::fclose(f);
    const int expected[] = {0x0102, 0, 0x1234, 0x00FF, 0};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(s.s[k], expected[k]) << k;
    EXPECT_EQ(s.s[SAMPLE_COUNT - 1], 0);
    EXPECT_EQ(r.highest, 0x1234) << "0xFFFF must never become the maximum";
    EXPECT_EQ(r.lowest, 0) << "the lowest point starts at 0";

    s.s[5] = 77;
    const HeightRange none = readHeightSamples(nullptr, s);
    EXPECT_EQ(none.highest, 0);
    EXPECT_EQ(none.lowest, 0);
    EXPECT_EQ(s.s[5], 0);
}

// (The curve shapes the hills of the outside reference frame.)
TEST(HeightShape, AMapBelowOneUnitStaysFlatAndStillMakesItsDraws) {
    EXPECT_EQ(maxHeightFromRange({7, 0}), 0);
    HeightSamples low, high;
    low.s[0] = 7;
    low.s[123] = 3;
    high.s[0] = 16000;
    crt::srand(1);
    shapeHeights(low, {7, 0}, 0);
    const int next = crt::rand();
    crt::srand(1);
    shapeHeights(high, {16000, 0}, maxHeightFromRange({16000, 0}));
    EXPECT_EQ(crt::rand(), next) << "the objects drawn after the heights stay the same";
    EXPECT_EQ(low.s[0], 0);
    EXPECT_EQ(low.s[123], 0);
}

} // namespace
