// Textures that tile, a sky cube without seams, and the same bytes for the same seed.
#include "tools/content/creatures.h"
#include "tools/content/models.h"
#include "tools/content/textures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace content;

namespace {

double colourDistance(Rgb a, Rgb b) {
    return std::fabs(a.r - b.r) + std::fabs(a.g - b.g) + std::fabs(a.b - b.b);
}

double brightness(const Image& img, int row) {
    double sum = 0;
    for (int x = 0; x < img.width; ++x) {
        Rgb c = img.get(x, row);
        sum += c.r + c.g + c.b;
    }
    return sum / img.width;
}

} // namespace

TEST(SkyCube, NeighbouringFacesMeetWithoutSeams) {
    // Walk every edge texel of every face and find the nearest direction on
    // the other faces: the colours there must match closely.
    std::vector<NamedImage> faces = skyFaces(5);
    ASSERT_EQ(faces.size(), 6u);
    const int n = TEXTURE_SIDE;
    int compared = 0;
    double worst = 0;
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < n; k += 5)
            for (auto [col, row] :
                 {std::pair{0, k}, std::pair{n - 1, k}, std::pair{k, 0}, std::pair{k, n - 1}}) {
                Direction d = skyDirection(f, col, row, n);
                double best = 1e9;
                Rgb match;
                for (int g = 0; g < 6; ++g) {
                    if (g == f) continue;
                    for (int j = 0; j < n; ++j)
                        for (auto [c2, r2] : {std::pair{0, j}, std::pair{n - 1, j}, std::pair{j, 0},
                                              std::pair{j, n - 1}}) {
                            Direction e = skyDirection(g, c2, r2, n);
                            double dist = std::hypot(d.x - e.x, d.y - e.y, d.z - e.z);
                            if (dist < best) best = dist, match = faces[g].image.get(c2, r2);
                        }
                }
                ASSERT_LT(best, 0.2);
                worst = std::max(worst, colourDistance(faces[f].image.get(col, row), match));
                ++compared;
            }
    EXPECT_GT(compared, 1000);
    EXPECT_LT(worst, 0.2);
}

TEST(SkyCube, BlueAboveDarkBelowHazeAtTheHorizon) {
    std::vector<NamedImage> faces = skyFaces(5);
    double red = 0, blue = 0;
    for (int y = 0; y < 256; y += 2)
        for (int x = 0; x < 256; x += 2) {
            Rgb c = faces[5].image.get(x, y);
            red += c.r, blue += c.b;
        }
    EXPECT_GT(blue, red * 1.2); // blue above, between the clouds
    Rgb nadir = faces[4].image.get(128, 128);
    EXPECT_LT(nadir.r + nadir.g + nadir.b, 1.0f);
    for (int f = 0; f < 4; ++f) {
        // Side faces: the top row (t = 1) looks up, the bottom row at the ground.
        EXPECT_GT(brightness(faces[f].image, 0) + 0.3, brightness(faces[f].image, 255)) << f;
        Rgb horizon = faces[f].image.get(10, 127);
        EXPECT_GT(horizon.r, 0.5f) << f; // pale haze, not deep blue
    }
}

TEST(Textures, TileSeamlesslyAndFillTheirTables) {
    std::vector<NamedImage> world = worldTextures(9);
    ASSERT_EQ(world.size(), 7u + 24u);
    for (const NamedImage& t : world) {
        ASSERT_EQ(t.image.width, 256) << t.file;
        if (t.file == "door.bmp" || t.file == "chest.bmp" || t.file == "stairs.bmp") continue;
        // Opposite edges continue into each other about as smoothly as neighbours inside.
        double across = 0, inside = 0;
        for (int k = 0; k < 256; ++k) {
            across += colourDistance(t.image.get(255, k), t.image.get(0, k)) +
                      colourDistance(t.image.get(k, 255), t.image.get(k, 0));
            inside += colourDistance(t.image.get(127, k), t.image.get(128, k)) +
                      colourDistance(t.image.get(k, 127), t.image.get(k, 128));
        }
        EXPECT_LT(across, inside * 2.5 + 20) << t.file;
    }
}

TEST(Sprites, LightOnBlack) {
    std::vector<NamedImage> sprites = spriteTextures(9);
    ASSERT_EQ(sprites.size(), 6u);
    for (const NamedImage& s : sprites) {
        Rgb corner = s.image.get(0, 0);
        EXPECT_LT(corner.r + corner.g + corner.b, 0.05f) << s.file;
        double peak = 0;
        for (int y = 0; y < 256; y += 4)
            for (int x = 0; x < 256; x += 4) {
                Rgb c = s.image.get(x, y);
                peak = std::max(peak, double(c.r + c.g + c.b));
            }
        EXPECT_GT(peak, 1.0) << s.file;
    }
}

TEST(Determinism, SameSeedSameBytesOtherSeedOtherBytes) {
    auto skinBytes = [](std::uint32_t seed) {
        return encodeBmp(paintSkin(buildCreature("goblin", seed), 2));
    };
    auto modelBytes = [](std::uint32_t seed) {
        return encodeMd2(creatureMd2(buildCreature("hand", seed), false, "hand.bmp"));
    };
    EXPECT_EQ(skinBytes(11), skinBytes(11));
    EXPECT_NE(skinBytes(11), skinBytes(12));
    EXPECT_EQ(modelBytes(11), modelBytes(11));
    EXPECT_EQ(encodeBmp(skyFaces(3)[2].image), encodeBmp(skyFaces(3)[2].image));
    EXPECT_NE(encodeBmp(worldTextures(3)[0].image), encodeBmp(worldTextures(4)[0].image));
}
