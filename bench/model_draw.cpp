// Loading a model file and drawing one interpolated model.
#include "bench/bench_window.h"
#include "model/md2.h"
#include "model/slot.h"
#include "platform/win.h"
#include "tests/model/md2_builder.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

// A model of the size of a typical creature: 198 frames of 400 vertices in
// 14 animations, 700 triangles, 500 texture coordinates.
std::vector<std::uint8_t> creatureFile() {
    md2test::File file;
    const int vertices = 400, triangles = 700, texCoords = 500;
    for (int i = 0; i < texCoords; ++i)
        file.texCoords.push_back({std::int16_t(i % 256), std::int16_t(i / 2 % 256)});
    for (int i = 0; i < triangles; ++i) {
        md2test::Triangle t;
        for (int k = 0; k < 3; ++k) {
            t.vertex[k] = std::int16_t((i + k * 37) % vertices);
            t.texCoord[k] = std::int16_t((i + k * 11) % texCoords);
        }
        file.triangles.push_back(t);
    }
    for (int f = 0; f < 198; ++f) {
        char name[16];
        std::snprintf(name, sizeof name, "anim%c%02d", 'a' + f / 15, f % 15 + 1);
        md2test::Frame frame = md2test::frame(name, vertices);
        for (int v = 0; v < vertices; ++v)
            frame.vertices[std::size_t(v)] = {std::uint8_t(v * 7 + f), std::uint8_t(v * 13),
                                              std::uint8_t(v * 3 + f * 2)};
        frame.scale[0] = frame.scale[1] = frame.scale[2] = 0.2f;
        file.frames.push_back(frame);
    }
    return file.bytes();
}

const std::vector<std::uint8_t>& creatureBytes() {
    static const std::vector<std::uint8_t> bytes = creatureFile();
    return bytes;
}

void BM_ParseCreature(benchmark::State& state) {
    const auto& bytes = creatureBytes();
    Md2Loader loader;
    Model model;
    for (auto _ : state) {
        loader.parse(model, bytes.data(), bytes.size(), "creature.md2");
        benchmark::DoNotOptimize(model.frames.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
BENCHMARK(BM_ParseCreature)->Unit(benchmark::kMicrosecond);

void BM_LoadCreatureFromDisk(benchmark::State& state) {
    const auto path = std::filesystem::temp_directory_path() / "zeb_bench_creature.md2";
    {
        const auto& bytes = creatureBytes();
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    Md2Loader loader;
    Model model;
    for (auto _ : state) {
        loader.import(model, path.string());
        benchmark::DoNotOptimize(model.frames.data());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadCreatureFromDisk)->Unit(benchmark::kMicrosecond);

std::uint32_t g_now = 0;
std::uint32_t benchClock() {
    return g_now;
}

// One instance of the creature drawn blended between two key frames; the
// clock moves 40 ms a draw so the frames step as in play. With argument 1
// glFinish makes the time include the driver's rasterising, with 0 it is the
// cost of the calls alone.
void BM_DrawInterpolatedCreature(benchmark::State& state) {
    if (!win::HasContext()) {
        state.SkipWithError("no display for GL");
        return;
    }
    const bool finish = state.range(0) != 0;
    const auto& bytes = creatureBytes();
    Md2Loader loader;
    Model model;
    loader.parse(model, bytes.data(), bytes.size(), "creature.md2");
    ModelSlot slot;
    slot.model = &model;
    slot.animationCount = model.animationCount;
    slot.scale = 1.0f;
    ModelInstance instance;
    instance.slot = &slot;
    instance.setAnimation(1);
    setAnimationClock(benchClock);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-100, 100, -100, 100, -1000, 1000);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (auto _ : state) {
        g_now += 40;
        instance.draw();
        if (finish) glFinish();
    }
    glFinish();
    setAnimationClock(nullptr);
    state.counters["triangles"] = double(model.frames[0].faceCount);
}
BENCHMARK(BM_DrawInterpolatedCreature)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarksInWindow(argc, argv);
}
