// Time to load every texture table and the model table at start-up.
//
// Uses the default content pack in build/game/Data when `make content` has
// written one; otherwise writes a stand-in pack of the same files and sizes
// (textures 256 x 256, sky faces 512 x 512, splash pictures 1024 x 768,
// models of 120 frames of 300 vertices).
#include "bench/bench_window.h"
#include "platform/win.h"
#include "render/engine.h"
#include "tests/model/md2_builder.h"
#include "tests/render/bmp_writer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

void writePicture(const fs::path& root, const std::string& file, int width, int height) {
    fs::path path = root / file;
    fs::create_directories(path.parent_path());
    bmptest::writeFile(path.string(), bmptest::makeBmp(width, height, [](int x, int y) {
                           return std::vector<unsigned char>{(unsigned char)x, (unsigned char)y,
                                                             (unsigned char)(x ^ y)};
                       }));
}

std::vector<std::uint8_t> standInModel() {
    md2test::File file;
    const int vertices = 300, triangles = 500;
    for (int i = 0; i < 256; ++i)
        file.texCoords.push_back({std::int16_t(i), std::int16_t(255 - i)});
    for (int i = 0; i < triangles; ++i) {
        md2test::Triangle t;
        for (int k = 0; k < 3; ++k) {
            t.vertex[k] = std::int16_t((i + 41 * k) % vertices);
            t.texCoord[k] = std::int16_t((i + 7 * k) % 256);
        }
        file.triangles.push_back(t);
    }
    for (int f = 0; f < 120; ++f) {
        char name[16];
        std::snprintf(name, sizeof name, "move%c%02d", 'a' + f / 12, f % 12 + 1);
        md2test::Frame frame = md2test::frame(name, vertices);
        for (int v = 0; v < vertices; ++v)
            frame.vertices[std::size_t(v)] = {std::uint8_t(v + f), std::uint8_t(v * 5),
                                              std::uint8_t(v * 3)};
        file.frames.push_back(frame);
    }
    return file.bytes();
}

void writeStandInPack(const fs::path& root) {
    for (int i = 0; i < WORLD_TEXTURE_COUNT; ++i)
        if (!worldTextureFileName(i).empty()) writePicture(root, worldTextureFileName(i), 256, 256);
    for (int i = 0; i < SKIN_TEXTURE_COUNT; ++i)
        if (!skinFileName(i).empty()) writePicture(root, skinFileName(i), 256, 256);
    for (int i = 0; i < SPRITE_TEXTURE_COUNT; ++i)
        writePicture(root, "Data/sprite" + std::to_string(i) + ".bmp", 64, 64);
    for (int i = 0; i < SKY_FACE_COUNT; ++i)
        writePicture(root, "Data/sky/sky3_" + std::to_string(i) + ".bmp", 512, 512);
    for (int i = 1; i <= SPLASH_TEXTURE_COUNT; ++i)
        writePicture(root, "Data/splash" + std::to_string(i) + ".bmp", 1024, 768);
    const auto model = standInModel();
    for (int i = 0; i < MODEL_TABLE_SIZE; ++i) {
        if (modelFileName(i) == nullptr) continue;
        fs::path path = root / "Data/models" / modelFileName(i);
        fs::create_directories(path.parent_path());
        std::FILE* f = std::fopen(path.string().c_str(), "wb");
        if (f == nullptr) continue;
        std::fwrite(model.data(), 1, model.size(), f);
        std::fclose(f);
    }
}

// The working directory the game's "Data/" paths are read from.
fs::path contentRoot() {
    fs::path pack = fs::current_path() / "game";
    if (fs::exists(pack / "Data" / ".complete")) return pack;
    fs::path standIn = fs::current_path() / "render_load_pack";
    if (!fs::exists(standIn / "Data" / "grass.bmp")) writeStandInPack(standIn);
    return standIn;
}

void deleteTextures(GLuint* names, int count) {
    glDeleteTextures(count, names);
    for (int i = 0; i < count; ++i)
        names[i] = 0;
}

void releaseAll(Engine& e) {
    deleteTextures(e.worldTextures, WORLD_TEXTURE_COUNT);
    deleteTextures(e.spriteTextures, SPRITE_TEXTURE_COUNT);
    deleteTextures(e.skinTextures, SKIN_TEXTURE_COUNT);
    deleteTextures(e.skyTextures, SKY_FACE_COUNT);
    deleteTextures(e.splashTextures, SPLASH_TEXTURE_COUNT);
    for (Model& m : e.models)
        m.clear();
}

// Everything initEngine loads after the fonts, in its order.
void BM_LoadAllTexturesAndModels(benchmark::State& state) {
    fs::path root = contentRoot();
    fs::path old = fs::current_path();
    fs::current_path(root);
    auto engine = std::make_unique<Engine>();
    for (auto _ : state) {
        engine->loadWorldTextures();
        engine->loadSprites();
        engine->buildSky();
        engine->loadModels();
        engine->loadSplashImages();
        glFinish();
        state.PauseTiming();
        int loaded = 0;
        for (GLuint t : engine->skinTextures)
            loaded += t != 0;
        state.counters["skins"] = loaded;
        releaseAll(*engine);
        state.ResumeTiming();
    }
    fs::current_path(old);
}
BENCHMARK(BM_LoadAllTexturesAndModels)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksInWindow(argc, argv);
}
