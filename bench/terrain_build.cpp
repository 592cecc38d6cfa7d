// Time of the whole terrain build (heights, rim, 1024 pages with light,
// objects) and of the finishing pass, on a synthetic full-size height file.
#include "app/random.h"
#include "terrain/terrain.h"
#include "../tests/terrain/support.h"

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
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
