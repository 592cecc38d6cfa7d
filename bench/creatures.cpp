// The 24 creatures' per-frame update with their path searches under way, on
// a synthetic open map: the average and the worst frame, while they wander
// and while every one of them chases the player at once.
#include "actor/controller.h"
#include "actor/creatures.h"
#include "actor/ground.h"
#include "core/random.h"
#include "core/settings.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace {

constexpr int MAP_SIDE = 8192;
constexpr long WARM_UP_FRAMES = 200;

bool openGround(double x, double y, double) {
    return x >= 0 && y >= 0 && x < MAP_SIDE && y < MAP_SIDE;
}
double flatGround(double, double, double) {
    return 0.0;
}

void setUpWorld() {
    g_actorGround = {openGround, flatGround};
    g_settings.timeFactor = 1.6; // about 60 frames a second
    crt::srand(100);
    ActorController& player = playerActor();
    player.isPlayer = 1;
    player.position[0] = 4000.5;
    player.position[1] = 4000.5;
    g_creatures.initCreatureTypes();
    g_creatures.spawnAll();
}

// Processor time of this thread, so that a frame is not charged for the time
// other programs on a shared machine take.
double threadMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

// Frames are timed one by one: the mean and the slowest in milliseconds.
template <class Move> void timeFrames(benchmark::State& state, Move movePlayer) {
    // The first searches touch each creature's visited grid for the first
    // time; that happens once after start-up and is not a frame's cost.
    for (long frame = -WARM_UP_FRAMES; frame < 0; ++frame) {
        movePlayer(frame);
        g_creatures.updateAll();
    }
    double worst = 0.0, total = 0.0;
    long frames = 0;
    long expansions = 0, worstExpansions = 0;
    for (auto _ : state) {
        movePlayer(frames);
        long before = 0;
        for (int i = 0; i < CREATURE_COUNT; ++i)
            before += g_actors[i].expansionsTotal;
        double begin = threadMs();
        g_creatures.updateAll();
        double ms = threadMs() - begin;
        long after = 0;
        for (int i = 0; i < CREATURE_COUNT; ++i)
            after += g_actors[i].expansionsTotal;
        expansions += after - before;
        if (ms > worst) worstExpansions = after - before;
        worst = std::max(worst, ms);
        total += ms;
        ++frames;
    }
    state.counters["mean_ms"] = total / double(frames);
    state.counters["worst_ms"] = worst;
    state.counters["worst_frame_expansions"] = double(worstExpansions);
    state.counters["expansions_per_frame"] = double(expansions) / double(frames);
    useWorldGround();
}

// The player walks a cell every frame through the ring; creatures wander,
// chase him when he crosses their home, and respawn when left behind.
void BM_CreaturesWanderAndChase(benchmark::State& state) {
    setUpWorld();
    timeFrames(state, [](long frame) {
        ActorController& player = playerActor();
        double angle = double(frame) * 0.0005;
        player.position[0] = 4000.5 + std::floor(1200 * std::cos(angle));
        player.position[1] = 4000.5 + std::floor(1200 * std::sin(angle));
    });
}

// Every creature stands within its home of the player and chases him while
// he walks round in a small circle: all 24 searches at once.
void BM_AllCreaturesChase(benchmark::State& state) {
    setUpWorld();
    ActorController& player = playerActor();
    for (int i = 0; i < CREATURE_COUNT; ++i) {
        double angle = i * 6.2831853 / CREATURE_COUNT;
        g_actors[i].position[0] = std::floor(player.position[0] + 40 * std::cos(angle)) + 0.5;
        g_actors[i].position[1] = std::floor(player.position[1] + 40 * std::sin(angle)) + 0.5;
        g_creatures.spawn(i);
    }
    timeFrames(state, [](long frame) {
        ActorController& player = playerActor();
        double angle = double(frame) * 0.02;
        player.position[0] = 4000.5 + std::floor(45 * std::cos(angle));
        player.position[1] = 4000.5 + std::floor(45 * std::sin(angle));
    });
}

// The heaviest load the budget allows: every creature plans a chase of 140
// cells at once, and starts another as soon as one is planned.
void BM_LongChasesAtOnce(benchmark::State& state) {
    setUpWorld();
    auto chaseFromAfar = [](int i) {
        ActorController& c = g_actors[i];
        const double* p = playerActor().position;
        double angle = i * 6.2831853 / CREATURE_COUNT;
        c.position[0] = std::floor(p[0] + 140 * std::cos(angle)) + 0.5;
        c.position[1] = std::floor(p[1] + 140 * std::sin(angle)) + 0.5;
        g_creatures.spawn(i);
        c.setAction(ACTION_CHASE);
        c.goal[0] = p[0];
        c.goal[1] = p[1];
        c.startSearch();
    };
    for (int i = 0; i < CREATURE_COUNT; ++i)
        chaseFromAfar(i);
    timeFrames(state, [&](long) {
        for (int i = 0; i < CREATURE_COUNT; ++i)
            if (g_actors[i].pathFound) chaseFromAfar(i);
    });
}

} // namespace

BENCHMARK(BM_LongChasesAtOnce)->Iterations(2000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CreaturesWanderAndChase)->Iterations(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AllCreaturesChase)->Iterations(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
