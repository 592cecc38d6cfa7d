#include "render/engine.h"

#include "bmp_writer.h"
#include "render_support.h"

#include "../support/test_window.h"

#include <array>
#include <cstring>

namespace {

using bmptest::writeFile;
using rendertest::ScratchDir;

// A parameter of the texture, or of its first level.
GLint parameter(GLuint name, GLenum pname, bool level = false) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint v = 0;
    if (level)
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, pname, &v);
    else
        glGetTexParameteriv(GL_TEXTURE_2D, pname, &v);
    return v;
}

TEST(TextureLoader, UploadsPixelsWithTheGivenParametersAndBadFilesGiveNameZero) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ScratchDir dir;
    // Bottom row red, top row blue; 3 wide so the file rows carry padding.
    writeFile(dir.file("Data/pic.bmp"), bmptest::makeBmp(3, 2, [](int, int y) {
                  return std::array<int, 3>{y == 0 ? 255 : 0, 0, y == 0 ? 0 : 255};
              }));
    Engine e;
    const GLuint plain =
        e.loadTexture("Data/pic.bmp", GL_CLAMP_TO_EDGE, GL_NEAREST, GL_RGBA, false);
    const GLuint mipmapped = e.loadTexture("Data/pic.bmp", GL_REPEAT, GL_LINEAR, GL_RGB, true);
    ASSERT_NE(plain, 0u);
    ASSERT_NE(mipmapped, 0u);
    EXPECT_EQ(parameter(plain, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(plain, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(parameter(mipmapped, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    // Without mipmaps the size is kept; the mipmap builder rescales to a power of two.
    EXPECT_EQ(parameter(plain, GL_TEXTURE_WIDTH, true), 3);
    const int w = parameter(mipmapped, GL_TEXTURE_WIDTH, true);
    EXPECT_TRUE(w > 0 && (w & (w - 1)) == 0) << w;
    // The first texel row is the bitmap's bottom row, red and opaque; the second blue.
    unsigned char rgba[3 * 2 * 4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, plain);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    const unsigned char bottom[4] = {255, 0, 0, 255}, top[4] = {0, 0, 255, 255};
    EXPECT_EQ(std::memcmp(rgba, bottom, 4), 0);
    EXPECT_EQ(std::memcmp(rgba + 3 * 4, top, 4), 0);

    // A missing file, a cut one and no name at all give no texture, with or without mipmaps.
    auto cut = bmptest::encodeBmp({"24-bit", 24}, 4, 4);
    cut.resize(cut.size() - 20);
    writeFile(dir.file("Data/cut.bmp"), cut);
    for (bool mipmaps : {false, true})
        for (const char* name : {"Data/none.bmp", "Data/cut.bmp", (const char*)nullptr})
            EXPECT_EQ(e.loadTexture(name, GL_REPEAT, GL_LINEAR, GL_RGB, mipmaps), 0u)
                << (name ? name : "null") << (mipmaps ? " with mipmaps" : "");
}

TEST(TextureTables, MissingFilesLeaveHolesAndLoadingGoesOn) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ScratchDir dir;
    // No rock.bmp.
    for (const char* f :
         {"Data/grass.bmp", "Data/floor7.bmp", "Data/sprite5.bmp", "Data/splash2.bmp",
          "Data/models/decor/bigtree.bmp", "Data/models/decor/pillar_stone2.bmp",
          "Data/models/actors/yohko_weapon.bmp", "Data/models/actors/cloud_weapon.bmp",
          "Data/models/actors/dragon5.bmp", "Data/models/actors/tengu1.bmp",
          "Data/models/actors/dragon.bmp"})
        writeFile(dir.file(f), bmptest::encodeBmp({"24-bit", 24}, 2, 2));
    Engine e;
    e.loadWorldTextures();
    e.loadSprites();
    e.loadSkins();
    e.loadSplashImages();
    EXPECT_NE(e.worldTextures[TEX_GRASS], 0u);
    EXPECT_EQ(e.worldTextures[TEX_ROCK], 0u);
    EXPECT_NE(e.worldTextures[37], 0u) << "floor7";
    EXPECT_NE(e.spriteTextures[5], 0u);
    EXPECT_EQ(e.splashTextures[0], 0u);
    EXPECT_NE(e.splashTextures[1], 0u);
    // dragon5 is skin 92, tengu1 skin 103; model 68 (dragon) has only
    // numbered skins, so dragon.bmp is no skin.
    for (int skin = 0; skin < SKIN_TEXTURE_COUNT; ++skin) {
        const bool expected =
            skin == 0 || skin == 15 || skin == 54 || skin == 81 || skin == 92 || skin == 103;
        EXPECT_EQ(e.skinTextures[skin] != 0, expected) << "skin " << skin;
    }
    // Sprites clamp and keep alpha; skin 0 keeps alpha, other skins do not.
    EXPECT_EQ(parameter(e.spriteTextures[5], GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(parameter(e.spriteTextures[5], GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGBA);
    EXPECT_EQ(parameter(e.skinTextures[0], GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGBA);
    EXPECT_EQ(parameter(e.skinTextures[54], GL_TEXTURE_INTERNAL_FORMAT, true), GL_RGB);
}

} // namespace
