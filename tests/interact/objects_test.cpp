#include "../support/test_window.h"
#include "core/random.h"
#include "interact/building.h"
#include "interact/decor.h"
#include "model/md2.h"
#include "render/engine.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

namespace {

// Ids count up from a reset, and a building takes exactly eight draws: the
// generator then continues where a fresh one stands after eight.
TEST(Buildings, IdsCountUpAndEachTakesEightDraws) {
    resetBuildingIds();
    for (int n = 0; n < 3; ++n) {
        crt::srand(11);
        Building b;
        constructBuilding(b);
        EXPECT_EQ(b.id, n);
        const int next = crt::rand();
        crt::srand(11);
        for (int k = 0; k < 8; ++k)
            crt::rand();
        EXPECT_EQ(next, crt::rand());
    }
}

TEST(DecorKinds, SetupTakesTheFirstFrameAndAKindWithoutAMeshIsPassedOver) {
    Model saved = g_engine.models[3];
    g_engine.models[3].clear();
    g_engine.models[3].frames.resize(2);
    g_engine.models[3].frameCount = 2;
    DecorKind kind;
    setupKind(kind, 3, 5);
    EXPECT_EQ(kind.skin, 5);
    EXPECT_EQ(kind.mesh, &g_engine.models[3].frames[0]);
    // A model that did not load leaves the kind without a mesh; drawing
    // such a decor, or one without a kind, must not reach for the mesh.
    g_engine.models[3].clear();
    setupKind(kind, 3, 5);
    EXPECT_EQ(kind.mesh, nullptr);
    DecorObject d;
    d.kind = &kind;
    drawDecor(d, 0);
    d.kind = nullptr;
    drawDecor(d, 0);
    g_engine.models[3] = saved;
}

TEST(DecorKinds, ColourKeyClearsOnlyTheKeyColourAtAnySkinSize) {
    ZEB_REQUIRE_GL_WINDOW(window);
    // 300 x 4 texels: a skin that is not 256 x 256 is keyed all the same.
    const int w = 300, h = 4;
    std::vector<unsigned char> rgb(std::size_t(w) * h * 3, 200);
    // Every third texel of every row is black.
    for (int t = 0; t < w * h; t += 3)
        for (int c = 0; c < 3; ++c)
            rgb[std::size_t(t) * 3 + c] = 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, w, h, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    const GLuint savedSkin = g_engine.skinTextures[0];
    g_engine.skinTextures[0] = name;
    DecorKind kind;
    kind.skin = 0;
    makeColourKeyTransparent(kind, 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(kind.transparent);
    std::vector<float> out(std::size_t(w) * h * 4);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, out.data());
    EXPECT_EQ(out[3], 0.0f) << "black texel keyed out";
    EXPECT_EQ(out[4 + 3], 1.0f) << "grey texel kept";
    EXPECT_EQ(out[(std::size_t(w) * h - 3) * 4 + 3], 0.0f) << "last row, past column 256";
    g_engine.skinTextures[0] = savedSkin;
    glDeleteTextures(1, &name);
}

} // namespace
