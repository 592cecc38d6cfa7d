// The picker's selection pass of one frame in the dungeon: 24 creatures and
// 30 doors and chests in view, the cursor over some of them.
#include "actor/controller.h"
#include "actor/creatures.h"
#include "bench/bench_window.h"
#include "interact/picker.h"
#include "platform/win.h"
#include "render/engine.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>

namespace {

// Looking along +y from (0, -150, 40) at the origin; the cursor in the
// window's centre.
PickView benchView() {
    PickView v;
    v.cursorX = 512;
    v.cursorY = 384;
    v.viewport[2] = 1024;
    v.viewport[3] = 768;
    v.fov = 90.0;
    v.farPlane = 1000.0;
    v.eye[1] = -150.0;
    v.eye[2] = 40.0;
    return v;
}

// Creatures in a grid of 6 x 4 across the view, the middle ones under the cursor.
void placeCreatures() {
    for (int c = 0; c < CREATURE_COUNT; ++c) {
        ActorController& a = g_actors[c];
        a.active = true;
        a.position[0] = (c % 6 - 2) * 30.0;
        a.position[1] = (c / 6) * 25.0;
        a.position[2] = 0.0;
    }
}

// What the dungeon's drawing registers in a frame: 15 closed doors and 15
// chests, in rows across the view.
void registerDoorsAndChests() {
    for (int k = 0; k < 15; ++k) {
        g_picker.addDungeonDoor((k % 5 - 2) * 40 - 10, 20 + (k / 5) * 40, 0, k);
        g_picker.addChest((k % 5 - 2) * 40, 40 + (k / 5) * 40, 0, k);
    }
}

void BM_SelectionPassInTheDungeon(benchmark::State& state) {
    if (!win::HasContext()) {
        state.SkipWithError("no display for GL");
        return;
    }
    g_engine.inDungeon = 1;
    g_picker.dungeon = {20.0, 20.0, 30.0, 0, 200, 0};
    placeCreatures();
    const PickView view = benchView();
    int picked = 0;
    for (auto _ : state) {
        registerDoorsAndChests();
        g_picker.runPass(view);
        picked += g_picker.picked;
    }
    state.counters["hits"] = g_picker.hitCount;
    state.counters["picked"] = benchmark::Counter(picked, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_SelectionPassInTheDungeon)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    int glutArgc = 1;
    char name[] = "bench";
    char* glutArgv[] = {name, nullptr};
    glutInit(&glutArgc, glutArgv);
    return runBenchmarksInWindow(argc, argv);
}
