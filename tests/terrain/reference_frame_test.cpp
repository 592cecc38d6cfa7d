// The outside frame (sky, lit and dirt-textured terrain, fog, particles) of a
// fixed view against a picture taken before the drawing was reorganised for
// speed, compared as 16 x 16 block averages to keep the rasteriser's noise out.
// ZEB_WRITE_REFERENCE_FRAME=<file> writes the picture instead of comparing.
#include "../support/frame_compare.h"
#include "../support/read_file.h"
#include "../support/test_window.h"
#include "app/mainloop.h"
#include "core/random.h"
#include "support.h"
#include "render/stream_draw.h"
#include "terrain/terrain_draw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

constexpr int WIDTH = 1024, HEIGHT = 768, BLOCK = 16;
constexpr int BW = WIDTH / BLOCK, BH = HEIGHT / BLOCK;
const std::string kReference = ZEB_SOURCE_DIR "/tests/terrain/reference/outside_view.ppm";

using Picture = std::vector<unsigned char>; // BW x BH x 3, top row first as in the file
const std::string kHeader = "P6\n" + std::to_string(BW) + " " + std::to_string(BH) + "\n255\n";

Picture readBlocks() {
    std::vector<unsigned char> px(std::size_t(WIDTH) * HEIGHT * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    Picture blocks(std::size_t(BW) * BH * 3);
    for (int by = 0; by < BH; ++by)
        for (int bx = 0; bx < BW; ++bx)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int y = 0; y < BLOCK; ++y)
                    for (int x = 0; x < BLOCK; ++x)
                        sum += px[(std::size_t(by * BLOCK + y) * WIDTH + bx * BLOCK + x) * 3 + c];
                blocks[(std::size_t(BH - 1 - by) * BW + bx) * 3 + c] =
                    (unsigned char)((sum + BLOCK * BLOCK / 2) / (BLOCK * BLOCK));
            }
    return blocks;
}

// The reference's blocks, or none when the file is not a picture of BW x BH.
Picture readPpm(const std::string& path) {
    const std::string file = testsupport::readFile(path);
    if (file.size() != kHeader.size() + std::size_t(BW) * BH * 3 || file.rfind(kHeader, 0) != 0)
        return {};
    return Picture(file.begin() + std::ptrdiff_t(kHeader.size()), file.end());
}

// Stripes and a checker, so that texture filtering and placement show.
bool writePattern(const std::string& path, int side, int r, int g, int b) {
    return terraintest::writeBmp(path, side, side, [&](int x, int y, unsigned char* c) {
        const int shade = ((x / 8 + y / 8) % 2 ? 30 : 0) + (x % 16 < 2 ? 40 : 0);
        c[0] = (unsigned char)std::min(255, r + shade);
        c[1] = (unsigned char)std::min(255, g + shade);
        c[2] = (unsigned char)std::min(255, b + shade);
    });
}

// Heights, dirt roads, the dummy light image, ground textures, a sprite and six sky faces.
bool writeScene(const terraintest::TempDir& dir) {
    if (system(("mkdir -p '" + dir.file("Data/sky") + "'").c_str()) != 0) return false;
    bool ok = terraintest::writeSyntheticHeightFile(dir.file("Data/terrain.dat"));
    ok = ok && terraintest::writeBmp(dir.file("Data/dirt.bmp"), 2050, 2050,
                                     [](int x, int y, unsigned char* c) {
                                         const int d = std::min(x % 128, y % 128);
                                         c[0] = (unsigned char)(d < 8 ? 255 - d * 30 : 0);
                                         c[1] = c[2] = 0;
                                     });
    ok = ok && terraintest::writeBmp(dir.file("Data/dummylight128.bmp"), 128, 128,
                                     [](int, int, unsigned char* c) { c[0] = c[1] = c[2] = 90; });
    ok = ok && writePattern(dir.file("Data/grass.bmp"), 64, 40, 120, 30);
    ok = ok && writePattern(dir.file("Data/rock.bmp"), 64, 110, 100, 95);
    ok = ok && writePattern(dir.file("Data/path.bmp"), 64, 150, 100, 50);
    ok = ok && terraintest::writeBmp(dir.file("Data/sprite0.bmp"), 32, 32,
                                     [](int x, int y, unsigned char* c) {
                                         const int d = (x - 16) * (x - 16) + (y - 16) * (y - 16);
                                         c[0] = c[1] = (unsigned char)(d < 200 ? 255 : 0);
                                         c[2] = (unsigned char)(d < 200 ? 80 : 0);
                                     });
    for (int f = 0; ok && f < SKY_FACE_COUNT; ++f)
        ok = writePattern(dir.file("Data/sky/sky3_" + std::to_string(f) + ".bmp"), 32, 40 * f, 120,
                          250 - 30 * f);
    return ok;
}

using ReferenceFrame = terraintest::OutsideTest;

// The reference view's world, built from the scene in dir: texture light,
// fog, detail 3, the camera behind a player standing on the dirt roads.
struct ReferenceWorld {
    terraintest::TempDir dir;
    std::unique_ptr<TerrainList> list;
    std::unique_ptr<LocalTerrain> window;
    double player[3] = {};
};

void buildWorld(ReferenceWorld& world) {
    const terraintest::TempDir& dir = world.dir;
    ASSERT_TRUE(writeScene(dir));
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);

    g_engine.fogEnabled = true;
    terraintest::setUpOutsideGL(true, 3);
    // The game's own loaders and upload parameters; absent files give texture 0.
    g_engine.loadWorldTextures();
    g_engine.loadSprites();
    g_engine.buildSky();

    TerrainBuildOptions options;
    options.lightType = 3;
    options.useGL = g_engine.multitexture;
    crt::srand(100);
    world.list = std::make_unique<TerrainList>();
    world.list->build(options);
    world.list->finishPages();
    ASSERT_EQ(chdir(cwd), 0);
    // Objects on the pages are other pictures' business.
    for (TerrainPage* p = world.list->head; p; p = p->next)
        p->decorCount = p->buildingCount = p->portalCount = 0;

    g_settings.applyDetailLevel(3);
    g_camera.mode = CAMERA_FOLLOW;
    g_camera.pitch = -0.3f;
    g_camera.yaw = 0.8f;
    g_camera.far = g_settings.terrainViewRange;
    const double start[3] = {6366.0, 5549.0, 0.0};
    world.window = std::make_unique<LocalTerrain>(*world.list, start[0], start[1]);
    const double player[3] = {start[0], start[1], world.window->heightAt(start[0], start[1]) + 7.0};
    for (int k = 0; k < 3; ++k)
        world.player[k] = player[k];
    g_camera.follow(player);
    world.window->rebuild(*world.list, g_camera.eye[0], g_camera.eye[1]);
    terrain = world.list.get();
    localTerrain = world.window.get();
    g_engine.fogColor[0] = 0.62f, g_engine.fogColor[1] = 0.64f, g_engine.fogColor[2] = 0.64f;
    g_engine.fogStart = float(g_camera.far / 2);
    g_engine.fogEnd = float(g_camera.far);
    g_engine.applyFog();
}

TEST_F(ReferenceFrame, OutsideViewMatchesThePictureBeforeTheSpeedWork) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ReferenceWorld world;
    ASSERT_NO_FATAL_FAILURE(buildWorld(world));
    const double* player = world.player;

    // Particles standing still: two above the ground ahead, one buried.
    g_settings.timeFactor = 0.0;
    g_particles.clear();
    g_particles.addParticle(float(player[0]), float(player[1]), float(player[2] + 4), 100, 0, 2, 0);
    g_particles.addParticle(float(player[0] + 20), float(player[1] + 25), float(player[2] + 10),
                            100, 0, 3, 0);
    g_particles.addParticle(float(player[0] + 40), float(player[1] + 40), float(player[2] - 60),
                            100, 0, 6, 0);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    terraintest::viewFromCamera(frameAspect(WIDTH, HEIGHT));
    drawWorld();
    g_particles.drawParticles();
    glFinish();
    const Picture now = readBlocks();

    if (const char* path = std::getenv("ZEB_WRITE_REFERENCE_FRAME")) {
        std::ofstream out(path, std::ios::binary);
        out << kHeader;
        out.write(reinterpret_cast<const char*>(now.data()), std::streamsize(now.size()));
        ASSERT_TRUE(out);
        GTEST_SKIP() << "reference written to " << path;
    }
    const Picture before = readPpm(kReference);
    ASSERT_EQ(before.size(), now.size()) << kReference;
    long total = 0;
    int worst = 0, worstAt = 0;
    for (std::size_t k = 0; k < now.size(); ++k) {
        const int d = std::abs(int(now[k]) - int(before[k]));
        total += d;
        if (d > worst) worst = d, worstAt = int(k / 3);
    }
    EXPECT_LE(worst, 12) << "block (" << worstAt % BW << ", " << worstAt / BW << ") from top left";
    EXPECT_LE(double(total) / double(now.size()), 1.0);
}

// With multitexturing off the ground is drawn with one unit: in the light of
// its vertices, or else in the colour the dirt pass of the page before left
// current. That ground, its dirt pass and the walk map over either ground
// must come out the same as vertex arrays as vertex by vertex.
TEST_F(ReferenceFrame, VertexArraysDrawTheSamePixelsAsSingleVertices) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ReferenceWorld world;
    ASSERT_NO_FATAL_FAILURE(buildWorld(world));
    auto frame = [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        terraintest::viewFromCamera(frameAspect(WIDTH, HEIGHT));
        drawTerrain(*localTerrain);
        return testsupport::readFrame(WIDTH, HEIGHT);
    };
    struct Case {
        bool multitexture, lightEnabled;
        int lightType;
        bool walkMap;
    };
    const Case cases[] = {{false, true, 1, false},
                          {false, false, 3, false},
                          {false, true, 3, true},
                          {true, true, 3, true}};
    const bool multitexture = g_engine.multitexture;
    for (const Case& c : cases) {
        g_engine.multitexture = multitexture && c.multitexture;
        g_engine.lightEnabled = c.lightEnabled;
        g_engine.lightType = c.lightType;
        g_engine.showWalkMap = c.walkMap;
        g_sendVertexArrays = false;
        const std::vector<unsigned char> single = frame();
        g_sendVertexArrays = true;
        EXPECT_EQ(testsupport::differingPixels(single, frame()), 0)
            << "multitexture " << c.multitexture << ", light " << c.lightEnabled << " type "
            << c.lightType << ", walk map " << c.walkMap;
    }
    g_engine.multitexture = multitexture;
    g_engine.lightType = 3;
    g_engine.showWalkMap = false;
}

} // namespace
