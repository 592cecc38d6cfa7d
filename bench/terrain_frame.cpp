// Frame time of the outside view (sky and terrain at 1024 x 768) at detail
// levels 0, 3 and 4, on the test display. Skipped without a display.
#include "../tests/terrain/support.h"
#include "app/window.h"
#include "core/camera.h"
#include "core/random.h"
#include "core/settings.h"
#include "platform/win.h"
#include "render/engine.h"
#include "terrain/terrain_draw.h"

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace {

TerrainList* g_list = nullptr;

GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b) {
    unsigned char texels[8 * 8 * 3];
    for (int k = 0; k < 64; ++k)
        texels[3 * k] = r, texels[3 * k + 1] = g, texels[3 * k + 2] = b;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGB, 8, 8, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    return name;
}

void drawOutsideFrame(LocalTerrain& w) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(g_camera.fov, 1.0, 1.0, g_camera.far);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(g_camera.eye[0], g_camera.eye[1], g_camera.eye[2], g_camera.centre[0],
              g_camera.centre[1], g_camera.centre[2], 0, 0, 1);
    drawTerrain(w);
    g_engine.drawSky();
    win::SwapBuffers();
    glFinish();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void BM_OutsideFrame(benchmark::State& state) {
    const int level = int(state.range(0));
    g_settings.applyDetailLevel(level);
    g_camera.far = g_settings.terrainViewRange;
    LocalTerrain w(*g_list, g_camera.eye[0], g_camera.eye[1]);
    for (auto _ : state)
        drawOutsideFrame(w);
    state.counters["triangles"] = double(g_terrainTriangles);
}
BENCHMARK(BM_OutsideFrame)
    ->Arg(0)
    ->Arg(3)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0);

} // namespace

int main(int argc, char** argv) {
    std::string why;
    if (!win::InitVideo(&why)) {
        std::printf("no display: %s\n", why.c_str());
        return 0;
    }
    int gargc = 1;
    char name[] = "bench";
    char* gargv[] = {name, nullptr};
    glutInit(&gargc, gargv);
    win::SetMessageBoxAnswerer([](const win::MessageBoxRecord&) { return win::IDNO; });
    if (!openGLWindow("Zeb", 1024, 768, 16, false)) return 1;
    win::FlushMessages();
    g_engine.initGLState();
    g_engine.probeMultitexture();
    g_engine.multitexture = g_engine.glActiveTextureARB != nullptr;
    g_engine.lightType = 3;
    g_engine.worldTextures[TEX_GRASS] = solidTexture(30, 140, 30);
    g_engine.worldTextures[TEX_ROCK] = solidTexture(120, 120, 110);
    g_engine.worldTextures[TEX_PATH] = solidTexture(150, 110, 60);
    g_engine.buildSky();

    terraintest::TempDir dir;
    if (!terraintest::writeSyntheticHeightFile(dir.file("terrain.dat"))) return 1;
    TerrainBuildOptions options;
    options.dataDir = dir.path;
    options.lightType = 3;
    options.useGL = g_engine.glActiveTextureARB != nullptr;
    crt::srand(100);
    auto list = std::make_unique<TerrainList>();
    list->build(options);
    list->finishPages();
    g_list = list.get();

    // The player's start, seen from the default follow camera.
    const double player[3] = {6366.0, 5549.0, 0.0};
    g_camera.pitch = -0.5f;
    g_camera.follow(player);
    LocalTerrain probe(*g_list, player[0], player[1]);
    double at[3] = {player[0], player[1], probe.heightAt(player[0], player[1]) + 7.0};
    g_camera.follow(at);

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_list = nullptr;
    list.reset();
    closeGLWindow();
    return 0;
}
