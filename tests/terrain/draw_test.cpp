#include "../support/frame_compare.h"
#include "../support/test_window.h"
#include "support.h"
#include "terrain/light_textures.h"
#include "terrain/terrain_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

class Visibility : public ::testing::Test {
  protected:
    void SetUp() override { g_settings.applyDetailLevel(3); } // 11 x 11, radius 5
};

TEST_F(Visibility, NeighboursOfTheEyePageAreAlwaysDrawnAndFarPagesCoarsely) {
    auto list = terraintest::makeFlatList(32, 32);
    heightScale = 0.001f;
    const double eye[3] = {4000.0, 4000.0, 50.0};
    LocalTerrain w(*list, eye[0], eye[1]);
    assignTerrainDetail(w, eye, 0.0f); // looking along +x
    // Beside and just behind the eye's page drawn anyway; well behind and 90 degrees off, not.
    const int pages[][3] = {{4, 5, 1}, {4, 4, 1}, {0, 5, 0}, {6, 5, 1}, {10, 5, 1}, {5, 10, 0}};
    for (auto [i, j, visible] : pages)
        EXPECT_EQ(w.pages[i][j]->visible, visible) << i << ", " << j;
    EXPECT_EQ(w.pages[0][5]->lodLevel, 0) << "an undrawn page's detail is reset";
    EXPECT_EQ(w.pages[0][5]->lodStep, 1);
    EXPECT_EQ(w.pages[5][5]->lodStep, 2) << "the nearest finely";
    EXPECT_GE(w.pages[10][5]->lodLevel, 4) << "the farthest coarsely";
}

struct Pixel {
    int r, g, b;
};
Pixel readPixel(int x, int y) {
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

// The middle of the bottom edge of the terrain drawn from g_camera over a blue clear colour.
Pixel groundPixel(LocalTerrain& w) {
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    terraintest::viewFromCamera();
    drawTerrain(w);
    glFinish();
    return readPixel(512, 60);
}

// Vertex light draws dirt as a second blended pass, unlit ground blends the path on a
// texture unit of its own by the vertex colour: both give the same pictures.
using TerrainPixels = terraintest::OutsideTest;

TEST_F(TerrainPixels, GroundBelowTheHorizonRockBySlopeAndDirtBlendsThePath) {
    ZEB_REQUIRE_GL_WINDOW(window);
    struct Mode {
        const char* name;
        bool lightEnabled;
        int lightType;
    };
    const Mode modes[] = {{"vertex light, dirt pass", true, 1}, {"unlit, dirt unit", false, 3}};
    g_engine.fogEnabled = false;
    g_engine.worldTextures[TEX_GRASS] = testsupport::solidTexture(0, 200, 0);
    g_engine.worldTextures[TEX_ROCK] = testsupport::solidTexture(128, 128, 128);
    g_engine.worldTextures[TEX_PATH] = testsupport::solidTexture(220, 0, 0);
    for (const Mode& m : modes) {
        SCOPED_TRACE(m.name);
        g_settings.applyDetailLevel(3);
        terraintest::setUpOutsideGL(m.lightEnabled, m.lightType);
        auto list = terraintest::makeFlatList(5, 5);
        for (TerrainPage* p = list->head; p; p = p->next)
            terraintest::fillPage(*p, &TerrainPage::light, 1.0f);
        list->finishPages();
        heightScale = 0.001f;
        g_camera.mode = CAMERA_FREE;
        g_camera.eye[0] = 640.0, g_camera.eye[1] = 300.0, g_camera.eye[2] = 60.0;
        g_camera.yaw = float(M_PI / 2);
        g_camera.pitch = -0.2f;
        g_camera.far = 3000;
        g_camera.updateCamera();
        LocalTerrain w(*list, g_camera.eye[0], g_camera.eye[1]);

        const Pixel ground = groundPixel(w), sky = readPixel(512, 740);
        EXPECT_GT(ground.g, 150) << "grass below the horizon";
        EXPECT_LT(ground.r, 40);
        EXPECT_TRUE(sky.b == 255 && sky.g == 0) << "the clear colour above the terrain's far edge";

        // Full dirt on the page under the view covers the grass with the path.
        TerrainPage* under = list->findPage(512, 256);
        terraintest::fillPage(*under, &TerrainPage::dirt, 1.0f);
        const Pixel dirt = groundPixel(w);
        EXPECT_GT(dirt.r, 200) << "path blended over the grass";
        EXPECT_LT(dirt.g, 20);
        // Steep ground without dirt shows the rock.
        if (g_engine.multitexture) {
            terraintest::fillPage(*under, &TerrainPage::dirt, 0.0f);
            terraintest::fillPage(*under, &TerrainPage::slope, 1.0f);
            const Pixel rock = groundPixel(w);
            EXPECT_NEAR(rock.r, 128, 4);
            EXPECT_NEAR(rock.g, 128, 4);
        }
    }
}

// Linear fog from `start` to 3000 in red over green ground, drawn with and
// without fog: every pixel nearer than the start must be the same in both,
// every pixel well beyond it reddened. Returns how many of each were seen.
struct FogCheck {
    int clear = 0, fogged = 0;
};
FogCheck checkFog(LocalTerrain& w, float start) {
    constexpr int W = 256, H = 192;
    glViewport(0, 0, W, H);
    const float red[4] = {1.0f, 0.0f, 0.0f, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, red);
    glFogf(GL_FOG_START, start);
    glFogf(GL_FOG_END, 3000.0f);
    std::vector<unsigned char> pictures[2];
    std::vector<float> depth(W * H);
    double model[16], projection[16];
    GLint viewport[4];
    for (int fog = 0; fog < 2; ++fog) {
        if (fog)
            glEnable(GL_FOG);
        else
            glDisable(GL_FOG);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        terraintest::viewFromCamera(double(W) / H);
        drawTerrain(w);
        glFinish();
        pictures[fog].resize(std::size_t(W) * H * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, pictures[fog].data());
        glReadPixels(0, 0, W, H, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
    }
    glDisable(GL_FOG);
    glViewport(0, 0, 1024, 768);
    FogCheck seen;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int k = y * W + x;
            if (depth[k] >= 1.0f) continue;
            double p[3];
            gluUnProject(x + 0.5, y + 0.5, depth[k], model, projection, viewport, &p[0], &p[1],
                         &p[2]);
            double distance = 0.0, eyeZ = model[14];
            for (int c = 0; c < 3; ++c) {
                distance += (p[c] - g_camera.eye[c]) * (p[c] - g_camera.eye[c]);
                eyeZ += model[4 * c + 2] * p[c];
            }
            distance = std::sqrt(distance);
            const unsigned char* clear = &pictures[0][3 * k];
            const unsigned char* fogged = &pictures[1][3 * k];
            if (distance < 0.95 * start) {
                ++seen.clear;
                EXPECT_TRUE(std::equal(clear, clear + 3, fogged))
                    << "pixel " << x << ", " << y << " at " << distance << " is fogged";
            } else if (-eyeZ > 1.05 * start) {
                ++seen.fogged;
                EXPECT_GT(fogged[0], clear[0])
                    << "pixel " << x << ", " << y << " at depth " << -eyeZ << " is not fogged";
            }
            if (::testing::Test::HasFailure()) return seen;
        }
    return seen;
}

// The fog is left off the pages that lie wholly before its start, which
// must not show: seen across the ground, and from high above, where the
// pages below are near along the ground but far down.
TEST_F(TerrainPixels, FogLeftOffOnlyWhereItChangesNothing) {
    ZEB_REQUIRE_GL_WINDOW(window);
    g_settings.applyDetailLevel(3);
    terraintest::setUpOutsideGL(false, 3);
    g_engine.worldTextures[TEX_GRASS] = testsupport::solidTexture(0, 200, 0);
    g_engine.worldTextures[TEX_ROCK] = testsupport::solidTexture(0, 200, 0);
    g_engine.worldTextures[TEX_PATH] = testsupport::solidTexture(0, 200, 0);
    auto list = terraintest::makeList(16, 16, [](const TerrainPage& p, int i, int j) {
        return float(30 * std::sin((p.originX + 4 * i) / 150.0) *
                     std::cos((p.originY + 4 * j) / 90.0));
    });
    heightScale = 0.001f;
    g_camera.mode = CAMERA_FREE;
    g_camera.far = 3000;
    g_camera.eye[0] = 1000.0, g_camera.eye[1] = 1000.0;
    g_camera.yaw = 0.7f;
    {
        SCOPED_TRACE("across the ground");
        g_camera.eye[2] = 60.0;
        g_camera.pitch = -0.15f;
        g_camera.updateCamera();
        LocalTerrain w(*list, g_camera.eye[0], g_camera.eye[1]);
        const FogCheck seen = checkFog(w, 500.0f);
        EXPECT_GT(seen.clear, 1000);
        EXPECT_GT(seen.fogged, 1000);
    }
    {
        SCOPED_TRACE("from above");
        g_camera.eye[2] = 700.0;
        g_camera.pitch = -1.2f;
        g_camera.updateCamera();
        LocalTerrain w(*list, g_camera.eye[0], g_camera.eye[1]);
        EXPECT_GT(checkFog(w, 450.0f).fogged, 1000);
    }
}

std::vector<float> readLuminance(GLuint texture, int side) {
    std::vector<float> out(std::size_t(side) * side, -1.0f);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE, GL_FLOAT, out.data());
    return out;
}

TEST(LightTextures, PagesStartFromTheDummyImageAndTakeTheirLightRowByColumn) {
    ZEB_REQUIRE_GL_WINDOW(window);
    g_engine.probeMultitexture();
    terraintest::TempDir dir;
    ASSERT_TRUE(terraintest::writeBmp(dir.file("dummylight128.bmp"), 128, 128,
                                      [](int x, int, unsigned char* c) {
                                          c[0] = (unsigned char)(x < 100 ? 128 : 40);
                                          c[1] = c[2] = 0;
                                      }));
    auto page = std::make_unique<TerrainPage>();
    terraintest::fillPage(*page, &TerrainPage::light, 0.5f);
    page->light[3][5] = 0.9f; // column 3, row 5
    page->light[7][0] = 1.5f; // beyond the range a byte holds
    page->light[8][0] = -0.5f;
    LightTexels texels(dir.file("dummylight128.bmp"), lightTextureSize(3));
    texels.fill(page->light);
    const unsigned name = makeLightTexture(texels);
    ASSERT_NE(name, 0u);
    const std::vector<float> read = readLuminance(name, 128);
    struct Texel {
        int column, row;
        float value;
    };
    const Texel expect[] = {
        {3, 5, 0.9f},   {5, 3, 0.5f},           {7, 0, 1.0f},           {8, 0, 0.0f},
        {64, 64, 0.5f}, {65, 10, 128 / 255.0f}, {120, 10, 40 / 255.0f}, {10, 100, 128 / 255.0f},
    };
    for (const Texel& t : expect)
        EXPECT_NEAR(read[std::size_t(t.row) * 128 + t.column], t.value, 0.003f)
            << "column " << t.column << " row " << t.row;

    // Without its dummy image a page still gets a texture of its size, filled by its light.
    LightTexels blank(dir.file("dummylight65.bmp"), lightTextureSize(2));
    ASSERT_EQ(blank.size, 65);
    blank.fill(page->light);
    const unsigned other = makeLightTexture(blank);
    GLint width = 0;
    glBindTexture(GL_TEXTURE_2D, other);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    EXPECT_EQ(width, 65);
    const std::vector<float> small = readLuminance(other, 65);
    EXPECT_NEAR(small[5 * 65 + 3], 0.9f, 0.003f);
    EXPECT_NEAR(small[64 * 65 + 64], 0.5f, 0.003f) << "the page's last row and column";
}

} // namespace
