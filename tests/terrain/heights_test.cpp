#include "core/random.h"
#include "support.h"
#include "terrain/terrain_build.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(HeightFile, SamplesAreBigEndianAndMissingOnesOrAMissingFileReadAsZero) {
    terraintest::TempDir dir;
    // 0x0102, 0xFFFF (missing), 0x1234, then a lone byte: the absent second
    // byte reads as 0xFF.
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

TEST(HeightShape, CurveBendsRawHeightsNoiseStaysUnderOnePercentAndFlatMapsStayFlat) {
    // (The height from the highest sample is checked on the full build.)
    HeightSamples s;
    const int raw = 16000, m = maxHeightFromRange({raw, 0});
    s.s[0] = raw;
    s.s[1] = 0;
    s.s[2] = raw / 2;
    crt::srand(1);
    shapeHeights(s, {raw, 0}, m);
    // s -> (s / M)^0.85 x M with M the height in world units.
    const double top = std::pow(double(raw) / m, 0.85) * m;
    EXPECT_GE(s.s[0], int(top) - 1);
    EXPECT_LE(s.s[0], top + m / 100.0);
    EXPECT_GE(s.s[1], 0);
    EXPECT_LE(s.s[1], m / 100);
    // Half the raw height lands on 0.5^0.85 of the top: low ground is lifted.
    EXPECT_NEAR(s.s[2], std::pow(0.5, 0.85) * top, m / 100.0 + 1.0);
    bool varied = false;
    for (int k = 3; k < 200; ++k)
        varied = varied || s.s[std::size_t(k)] != s.s[3];
    EXPECT_TRUE(varied) << "the noise differs between samples of the same height";

    // A map below one world unit: no division by zero, and flat.
    EXPECT_EQ(maxHeightFromRange({7, 0}), 0);
    HeightSamples low;
    low.s[0] = 7;
    low.s[123] = 3;
    shapeHeights(low, {7, 0}, 0);
    EXPECT_EQ(low.s[0], 0);
    EXPECT_EQ(low.s[123], 0);
}

TEST(HeightRim, NearAndFarEdgesOfAColumnRiseThenDipAtTheOuterCells) {
    HeightSamples s; // all zero
    raiseRimColumns(s);
    const int x = 1000, W = SAMPLE_STRIDE;
    // Near edge: parabola 5 (20 - k)^2, then the outer 11 fall below the
    // (already lifted) sample 10, which itself ends at 500 - sqrt(10100).
    EXPECT_EQ(s.at(x, 20), 0);
    EXPECT_EQ(s.at(x, 11), 405);
    EXPECT_EQ(s.at(x, 0), 500 - 10);
    EXPECT_EQ(s.at(x, 5), int(500 - std::sqrt(625.0 + 100.0)));
    EXPECT_EQ(s.at(x, 10), int(500 - std::sqrt(10100.0)));
    // Far edge: samples W - 2 - k, referred to W - 22 and W - 11.
    EXPECT_EQ(s.at(x, W - 22), 0);
    EXPECT_EQ(s.at(x, W - 2), 605 - 10);
    EXPECT_EQ(s.at(x, W - 12), int(int(605 - std::sqrt(6561.0 + 100.0)) - std::sqrt(10100.0)));
    EXPECT_EQ(s.at(x, 1000), 0);

    // The whole rim lifts all four sides and the corner squares, inside the array.
    HeightSamples all;
    raiseRim(all);
    for (auto [cx, cy] :
         {std::pair{1000, 15}, {15, 1000}, {1000, W - 17}, {W - 17, 1000}, {5, 3}, {W - 15, W - 5}})
        EXPECT_GT(all.at(cx, cy), 0) << cx << ", " << cy;
    EXPECT_EQ(all.at(1000, 1000), 0);
}

} // namespace
