// Cost of the player's path search and of the per-frame update of all actor
// controllers, on a synthetic map (open ground, or a long wall in the way).
#include "actor/controller.h"
#include "actor/ground.h"
#include "core/random.h"
#include "core/settings.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace {

constexpr int MAP_SIDE = 4096;
std::vector<std::uint8_t> g_blocked(std::size_t(MAP_SIDE) * MAP_SIDE, 0);

// The search asks about cells with no negative coordinate, where truncation
// is the floor.
bool mapWalkable(double x, double y, double) {
    if (x < 0.0 || y < 0.0) return true;
    int ix = int(x), iy = int(y);
    if (ix >= MAP_SIDE || iy >= MAP_SIDE) return true;
    return g_blocked[std::size_t(ix) * MAP_SIDE + iy] == 0;
}
double mapHeight(double, double, double) {
    return 0.0;
}

void setWall(bool on) {
    // Across the straight line from (1000, 1000) to (1220, 1000), 300 cells long.
    for (int x = 1100; x <= 1102; ++x)
        for (int y = 850; y <= 1150; ++y)
            g_blocked[std::size_t(x) * MAP_SIDE + y] = on;
}

// Longest a whole player search of 200 steps may take, in milliseconds.
constexpr double TARGET_MS = 5.0;

// One whole player search of a path 200 steps long (goal 220 away, the search
// ends 20 short), run to the end in one slice.
void playerSearch(benchmark::State& state, bool wall) {
    g_actorGround = {mapWalkable, mapHeight};
    setWall(wall);
    ActorController& player = playerActor();
    player.isPlayer = 1;
    const double savedSlice = g_playerSearchSliceMs;
    g_playerSearchSliceMs = 1.0e9;
    long expanded = 0;
    int pathLength = 0;
    double totalMs = 0.0;
    for (auto _ : state) {
        auto begin = std::chrono::steady_clock::now();
        player.position[0] = 1000.5;
        player.position[1] = 1000.5;
        player.goal[0] = 1220.5;
        player.goal[1] = 1000.5;
        player.startSearch();
        while (!player.pathFound && !player.searchQueueEmpty())
            player.search();
        totalMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
                .count();
        expanded += player.expandedNodes;
        pathLength = player.pathLength;
    }
    g_playerSearchSliceMs = savedSlice;
    setWall(false);
    useWorldGround();
    double n = double(state.iterations());
    state.counters["ms"] = totalMs / n;
    state.counters["target_ms"] = TARGET_MS;
    state.counters["expansions"] = double(expanded) / n;
    state.counters["expansions_per_ms"] = double(expanded) / totalMs;
    // Frames the player waits for the path with the default slice.
    state.counters["frames"] = std::ceil(totalMs / n / savedSlice);
    state.counters["path_steps"] = pathLength;
}

void BM_PlayerSearchOpenGround(benchmark::State& state) {
    playerSearch(state, false);
}
void BM_PlayerSearchAroundWall(benchmark::State& state) {
    playerSearch(state, true);
}

// 24 wandering creatures and the player, each updated once per frame.
void BM_UpdateAllControllers(benchmark::State& state) {
    g_actorGround = {mapWalkable, mapHeight};
    g_settings.timeFactor = 1.6;
    crt::srand(100);
    ActorController& player = playerActor();
    player.isPlayer = 1;
    player.position[0] = 2000.5;
    player.position[1] = 2000.5;
    for (int i = 0; i < PLAYER_INDEX; ++i) {
        ActorController& c = g_actors[i];
        c.isPlayer = 0;
        c.position[0] = 1500.5 + 40 * i;
        c.position[1] = 1500.5 + 17 * i;
        int cx = int(c.position[0]), cy = int(c.position[1]);
        c.homeMinCellX = cx - 60;
        c.homeMaxCellX = cx + 60;
        c.homeMinCellY = cy - 60;
        c.homeMaxCellY = cy + 60;
        c.setAction(ACTION_WANDER);
    }
    for (auto _ : state)
        for (ActorController& c : g_actors)
            c.update();
    useWorldGround();
}

} // namespace

BENCHMARK(BM_PlayerSearchOpenGround)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayerSearchAroundWall)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UpdateAllControllers)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
