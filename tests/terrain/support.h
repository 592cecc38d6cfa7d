// Hand-made pages and lists, temp files and the outside frame's view and tear-down.
#pragma once

#include "core/camera.h"
#include "core/settings.h"
#include "dungeon/world.h"
#include "render/engine.h"
#include "render/particles.h"
#include "terrain/terrain.h"

#include "../render/bmp_writer.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace terraintest {

// A list of cols x rows pages from the map origin, heights from fill(page, i, j).
template <typename Fill> std::unique_ptr<TerrainList> makeList(int cols, int rows, Fill fill) {
    auto list = std::make_unique<TerrainList>();
    for (int a = 0; a < cols; ++a)
        for (int b = 0; b < rows; ++b) {
            auto* p = new TerrainPage();
            p->setOrigin(a * PAGE_SIZE, b * PAGE_SIZE);
            for (int i = 0; i < PAGE_VERTS; ++i)
                for (int j = 0; j < PAGE_VERTS; ++j)
                    p->height[i][j] = fill(*p, i, j);
            p->measureHeights();
            list->appendPage(p);
        }
    return list;
}

inline std::unique_ptr<TerrainList> makeFlatList(int cols, int rows) {
    return makeList(cols, rows, [](const TerrainPage&, int, int) { return 0.0f; });
}

// Sets every value of one of a page's grids.
inline void fillPage(TerrainPage& p, float (TerrainPage::*grid)[PAGE_VERTS][PAGE_VERTS], float v) {
    for (auto& row : p.*grid)
        for (float& x : row)
            x = v;
}

// A scratch directory removed with the object.
class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/zeb-terrain-XXXXXX";
        char* made = mkdtemp(pattern);
        path = made ? made : "/tmp";
    }
    ~TempDir() {
        if (path != "/tmp") std::filesystem::remove_all(path);
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// A full-size big-endian height file of rolling hills (raw up to about 16000), a few 0xFFFF holes.
inline bool writeSyntheticHeightFile(const std::string& path) {
    std::vector<unsigned char> bytes(std::size_t(SAMPLE_COUNT) * 2);
    for (int k = 0; k < SAMPLE_COUNT; ++k) {
        const double x = k % SAMPLE_STRIDE, y = k / SAMPLE_STRIDE;
        double h = 8000 + 3500 * std::sin(x / 150.0) * std::cos(y / 210.0) +
                   2500 * std::sin((x + y) / 67.0) + 900 * std::cos(x / 23.0 - y / 31.0);
        int v = int(std::max(0.0, h));
        if (k % 99991 == 5) v = 0xFFFF;
        bytes[2 * std::size_t(k)] = (unsigned char)(v >> 8);
        bytes[2 * std::size_t(k) + 1] = (unsigned char)(v & 0xFF);
    }
    return bmptest::writeFile(path, bytes);
}

// A 24-bit bitmap whose pixel (x, row) is colour(x, row, rgb), rows bottom-up as in the file.
template <typename Colour>
bool writeBmp(const std::string& path, int width, int height, Colour colour) {
    return bmptest::writeFile(path, bmptest::makeBmp(width, height, [&](int x, int row) {
                                  std::array<unsigned char, 3> rgb{};
                                  colour(x, row, rgb.data());
                                  return rgb;
                              }));
}

// The engine's GL state for an outside frame, multitexturing where the driver has it.
inline void setUpOutsideGL(bool lightEnabled, int lightType) {
    g_engine.initGLState();
    g_engine.probeMultitexture();
    g_engine.multitexture = g_engine.glActiveTextureARB != nullptr;
    g_engine.lightEnabled = lightEnabled;
    g_engine.lightType = lightType;
    g_engine.inDungeon = 0;
}

// The frame's projection and view from g_camera.
inline void viewFromCamera(double aspect = 1.0) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(g_camera.fov, aspect, 1.0, g_camera.far);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(g_camera.eye[0], g_camera.eye[1], g_camera.eye[2], g_camera.centre[0],
              g_camera.centre[1], g_camera.centre[2], 0, 0, 1);
}

// Outside tests leave no world, particles, camera, detail level or time factor behind.
class OutsideTest : public ::testing::Test {
  protected:
    void TearDown() override {
        terrain = nullptr;
        localTerrain = nullptr;
        g_particles.clear();
        g_camera = savedCamera_;
        g_settings.applyDetailLevel(3);
        g_settings.timeFactor = 0.0;
    }
    Camera savedCamera_ = g_camera;
};

} // namespace terraintest
