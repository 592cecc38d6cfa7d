// The pack is a function of its seed: the same seed gives the same bytes.
#include "tools/content/creatures.h"
#include "tools/content/models.h"
#include "tools/content/textures.h"

#include <gtest/gtest.h>

using namespace content;

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
