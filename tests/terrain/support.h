// Helpers for the terrain tests: hand-made pages and lists, temp files and
// the outside frame's view.
#pragma once

#include "core/camera.h"
#include "render/engine.h"
#include "terrain/terrain.h"

#include "../render/bmp_writer.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace terraintest {

// A list of cols x rows pages starting at the map origin, each page's
// heights set by fill(page, i, j) -> height.
template <typename Fill> std::unique_ptr<TerrainList> makeList(int cols, int rows, Fill fill) {
    auto list = std::make_unique<TerrainList>();
    for (int a = 0; a < cols; ++a)
        for (int b = 0; b < rows; ++b) {
            auto* p = new TerrainPage();
            p->setOrigin(a * PAGE_SIZE, b * PAGE_SIZE);
            for (int i = 0; i < PAGE_VERTS; ++i)
                for (int j = 0; j < PAGE_VERTS; ++j)
                    p->height[i][j] = fill(*p, i, j);
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
        std::string cmd = "rm -rf '" + path + "'";
        if (path != "/tmp") (void)std::system(cmd.c_str());
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// A full-size height file of rolling hills (raw heights up to about
// 16000), with a few 0xFFFF holes, written big-endian like the game's.
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

// Writes a 24-bit bitmap whose pixel (x, row) is colour(x, row, rgb), rows in
// the file's own bottom-up order.
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

} // namespace terraintest
