#include "render/engine.h"

#include "bmp_writer.h"
#include "render_support.h"

#include "../support/test_window.h"

#include <cstring>

namespace {

using bmptest::solidBmp;
using bmptest::writeFile;
using rendertest::ScratchDir;

GLint texParameter(GLuint name, GLenum pname) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint v = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, pname, &v);
    return v;
}

GLint levelParameter(GLuint name, GLenum pname) {
    glBindTexture(GL_TEXTURE_2D, name);
    GLint v = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, pname, &v);
    return v;
}

TEST(TextureLoader, UploadsPixelsWithTheGivenParametersAndBadFilesGiveNameZero) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ScratchDir dir;
    // Bottom row red, top row blue; 3 wide so the file rows carry padding.
    writeFile(dir.file("Data/pic.bmp"), bmptest::makeBmp(3, 2, [](int, int y) {
                  return std::vector<unsigned char>{(unsigned char)(y == 0 ? 255 : 0), 0,
                                                    (unsigned char)(y == 0 ? 0 : 255)};
              }));
    Engine e;
    const GLuint plain =
        e.loadTexture("Data/pic.bmp", GL_CLAMP_TO_EDGE, GL_NEAREST, GL_RGBA, false);
    const GLuint mipmapped = e.loadTexture("Data/pic.bmp", GL_REPEAT, GL_LINEAR, GL_RGB, true);
    ASSERT_NE(plain, 0u);
    ASSERT_NE(mipmapped, 0u);
    EXPECT_NE(mipmapped, plain);
    EXPECT_EQ(texParameter(plain, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(texParameter(plain, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(texParameter(plain, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texParameter(plain, GL_TEXTURE_WRAP_T), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texParameter(mipmapped, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
    EXPECT_EQ(texParameter(mipmapped, GL_TEXTURE_WRAP_S), GL_REPEAT);
    // Without mipmaps the size is kept; the mipmap builder rescales to a power of two.
    EXPECT_EQ(levelParameter(plain, GL_TEXTURE_WIDTH), 3);
    EXPECT_EQ(levelParameter(plain, GL_TEXTURE_HEIGHT), 2);
    const int w = levelParameter(mipmapped, GL_TEXTURE_WIDTH);
    EXPECT_TRUE(w > 0 && (w & (w - 1)) == 0) << w;
    // The first texel row is the bitmap's bottom row, red and opaque; the second blue.
    unsigned char rgba[3 * 2 * 4] = {};
    glBindTexture(GL_TEXTURE_2D, plain);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    const unsigned char bottom[4] = {255, 0, 0, 255}, top[4] = {0, 0, 255, 255};
    EXPECT_EQ(std::memcmp(rgba, bottom, 4), 0);
    EXPECT_EQ(std::memcmp(rgba + 3 * 4, top, 4), 0);

    // A missing file, a cut one, one whose header claims 8 bits over 24-bit
    // rows, and no name at all.
    auto cut = solidBmp(4, 4, 1, 2, 3);
    cut.resize(cut.size() - 20);
    writeFile(dir.file("Data/cut.bmp"), cut);
    writeFile(dir.file("Data/eight.bmp"), bmptest::makeBmp(
                                              4, 4,
                                              [](int, int) {
                                                  return std::vector<unsigned char>{1, 1, 1};
                                              },
                                              8));
    for (bool mipmaps : {false, true})
        for (const char* name :
             {"Data/none.bmp", "Data/cut.bmp", "Data/eight.bmp", (const char*)nullptr})
            EXPECT_EQ(e.loadTexture(name, GL_REPEAT, GL_LINEAR, GL_RGB, mipmaps), 0u)
                << (name ? name : "null") << (mipmaps ? " with mipmaps" : "");
}

TEST(TextureTables, MissingFilesLeaveHolesAndLoadingGoesOn) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ScratchDir dir;
    auto pic = solidBmp(2, 2, 9, 9, 9);
    // No rock.bmp.
    for (const char* f : {"Data/grass.bmp", "Data/path.bmp", "Data/wall7.bmp", "Data/dungeon0.bmp",
                          "Data/floor7.bmp", "Data/sprite5.bmp", "Data/splash2.bmp",
                          "Data/models/decor/bigtree.bmp", "Data/models/decor/pillar_stone2.bmp",
                          "Data/models/actors/yohko_weapon.bmp",
                          "Data/models/actors/cloud_weapon.bmp", "Data/models/actors/dragon5.bmp",
                          "Data/models/actors/tengu1.bmp", "Data/models/actors/dragon.bmp"})
        writeFile(dir.file(f), pic);
    Engine e;
    e.loadWorldTextures();
    e.loadSprites();
    e.loadSkins();
    e.loadSplashImages();
    EXPECT_NE(e.worldTextures[TEX_GRASS], 0u);
    EXPECT_EQ(e.worldTextures[TEX_ROCK], 0u);
    EXPECT_NE(e.worldTextures[TEX_BUILDING_WALL_FIRST + 7], 0u);
    EXPECT_NE(e.worldTextures[37], 0u) << "floor7";
    EXPECT_NE(e.spriteTextures[5], 0u);
    EXPECT_EQ(e.splashTextures[0], 0u);
    EXPECT_NE(e.splashTextures[1], 0u);
    EXPECT_NE(e.skinTextures[0], 0u);
    EXPECT_NE(e.skinTextures[15], 0u);
    EXPECT_NE(e.skinTextures[54], 0u);
    EXPECT_NE(e.skinTextures[81], 0u);
    EXPECT_NE(e.skinTextures[92], 0u) << "dragon5 is skin 92";
    EXPECT_NE(e.skinTextures[103], 0u) << "tengu1 is skin 103";
    // Model 68 (dragon) has only numbered skins; dragon.bmp is no skin.
    EXPECT_EQ(e.skinTextures[68], 0u);
    int loaded = 0;
    for (GLuint t : e.skinTextures)
        loaded += t != 0;
    EXPECT_EQ(loaded, 6);

    // Upload parameters per table: sprites clamp without mipmaps and keep
    // alpha; skin 0 keeps alpha, other skins do not; world textures mipmap.
    EXPECT_EQ(texParameter(e.spriteTextures[5], GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(texParameter(e.spriteTextures[5], GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(levelParameter(e.spriteTextures[5], GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(levelParameter(e.skinTextures[0], GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
    EXPECT_EQ(levelParameter(e.skinTextures[54], GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    EXPECT_EQ(texParameter(e.skinTextures[54], GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(texParameter(e.worldTextures[TEX_GRASS], GL_TEXTURE_MIN_FILTER),
              GL_LINEAR_MIPMAP_LINEAR);
}

} // namespace
