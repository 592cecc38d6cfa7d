// The dungeon: making the start-up layout and building one level from it
// (together at most 100 ms), and a whole pass of the real game standing in
// the dungeon at detail 3, 1024 x 768 (at least 60 frames a second). The
// frame needs the default content pack in build/game (`make content`) and a
// display; without them it reports why and measures nothing.
#include "app/mainloop.h"
#include "app/window.h"
#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "platform/win.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

void BM_LayoutAndLevel(benchmark::State& state) {
    unsigned seed = 1;
    auto monsters = std::make_unique<DungeonMonster[]>(DUNGEON_MONSTERS);
    for (auto _ : state) {
        crt::srand(seed++);
        int count = 0, width = 0, height = 0;
        CellMap map = generateDungeonMap(DUNGEON_GRID_HALF, DUNGEON_MONSTERS, monsters.get(), count,
                                         width, height);
        Dungeon level(map.codes.get(), width, height);
        benchmark::DoNotOptimize(level.cells.get());
        state.counters["cells"] = double(width * height);
    }
}
BENCHMARK(BM_LayoutAndLevel)->Unit(benchmark::kMillisecond);

bool g_gameReady = false;
std::string g_whyNot;

// One pass of the game's loop in the dungeon: input, player update, frame.
void BM_DungeonPass(benchmark::State& state) {
    if (!g_gameReady) {
        state.SkipWithError(g_whyNot.c_str());
        return;
    }
    for (auto _ : state)
        runPass();
    state.counters["fps"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DungeonPass)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Opens the game in build/game, runs its start-up and goes down into the
// dungeon.
void startGameInDungeon() {
    const fs::path pack = fs::current_path() / "game";
    if (!fs::exists(pack / "Data" / ".complete")) {
        g_whyNot = "no content pack in build/game (make content)";
        return;
    }
    std::string why;
    if (!win::InitVideo(&why)) {
        g_whyNot = "no display: " + why;
        return;
    }
    int argc = 1;
    char name[] = "bench";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    win::SetMessageBoxAnswerer([](const win::MessageBoxRecord&) { return int(win::IDNO); });
    fs::current_path(pack);
    openLog("bench_dungeon_errlog.txt");
    crt::srand(100);
    if (!openGLWindow("Zeb", 1024, 768, 16, false)) {
        g_whyNot = "the game window did not open";
        return;
    }
    win::FlushMessages();
    while (g_settings.testFlag(FLAG_INIT_PENDING))
        runPass();
    enterDungeon();
    // Let the light settle and the torches get going.
    for (int k = 0; k < 50; ++k)
        runPass();
    g_gameReady = true;
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    startGameInDungeon();
    if (!g_gameReady) std::printf("dungeon pass: %s\n", g_whyNot.c_str());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_gameReady) {
        closeLog();
        closeGLWindow();
    }
    return 0;
}
