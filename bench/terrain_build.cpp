// Time of the whole terrain build (heights, rim, 1024 pages with light,
// objects) and of the finishing pass, on a synthetic full-size height file
// with a town and a road network.
#include "../tests/terrain/support.h"
#include "core/random.h"
#include "terrain/terrain.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

terraintest::TempDir* g_dir = nullptr;

void BM_TerrainBuild(benchmark::State& state) {
    TerrainBuildOptions options;
    options.dataDir = g_dir->path;
    for (auto _ : state) {
        crt::srand(100);
        auto list = std::make_unique<TerrainList>();
        list->build(options);
        benchmark::DoNotOptimize(list->tail);
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TerrainBuild)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TerrainBuildAndFinish(benchmark::State& state) {
    TerrainBuildOptions options;
    options.dataDir = g_dir->path;
    for (auto _ : state) {
        crt::srand(100);
        auto list = std::make_unique<TerrainList>();
        list->build(options);
        list->finishPages();
        benchmark::DoNotOptimize(list->tail);
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TerrainBuildAndFinish)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    terraintest::TempDir dir;
    g_dir = &dir;
    if (!terraintest::writeSyntheticHeightFile(dir.file("terrain.dat"))) return 1;
    // A town of 8 x 8 pages at full density and roads every 256 cells.
    const bool images =
        terraintest::writeBmp(dir.file("townmap.bmp"), 32, 32,
                              [](int x, int y, unsigned char* c) {
                                  c[0] = (x >= 20 && x < 28 && y >= 18 && y < 26) ? 255 : 0;
                                  c[1] = c[2] = 0;
                              }) &&
        terraintest::writeBmp(dir.file("dirt.bmp"), 2050, 2050, [](int x, int y, unsigned char* c) {
            c[0] = (x % 256 < 6 || y % 256 < 6) ? 255 : 0;
            c[1] = c[2] = 0;
        });
    if (!images) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
