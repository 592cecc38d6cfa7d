// Writing the whole default content pack (target: at most 15 s on the
// project's 2-core machine), and its largest parts on their own.
#include "tools/content/pack.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <sstream>

namespace {

std::string scratch() {
    return (std::filesystem::temp_directory_path() / "zeb-content-bench").string();
}

void BM_WholePack(benchmark::State& state) {
    for (auto _ : state) {
        std::ostringstream log;
        bool ok = content::writePack(scratch(), content::DEFAULT_SEED, log);
        if (!ok) state.SkipWithError("the pack could not be written");
    }
    std::filesystem::remove_all(scratch());
}
BENCHMARK(BM_WholePack)->Unit(benchmark::kSecond)->Iterations(1);

void BM_Terrain(benchmark::State& state) {
    for (auto _ : state) {
        std::ostringstream log;
        content::writeTerrainFiles(scratch(), content::DEFAULT_SEED, log);
    }
    std::filesystem::remove_all(scratch());
}
BENCHMARK(BM_Terrain)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_Models(benchmark::State& state) {
    for (auto _ : state) {
        std::ostringstream log;
        content::writeModelFiles(scratch(), content::DEFAULT_SEED, log);
    }
    std::filesystem::remove_all(scratch());
}
BENCHMARK(BM_Models)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
