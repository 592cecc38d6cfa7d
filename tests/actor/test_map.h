// A small synthetic world for actor tests: open ground at a fixed height with
// blocked cells put in by the test.
#pragma once

#include "actor/controller.h"
#include "actor/ground.h"
#include "core/random.h"
#include "core/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

namespace testmap {

inline std::set<std::pair<int, int>> blocked;
constexpr double GROUND = 3.0;

inline bool isWalkable(double x, double y, double) {
    return blocked.count({int(std::floor(x)), int(std::floor(y))}) == 0;
}
inline double heightAt(double, double, double) {
    return GROUND;
}

inline void block(int x, int y) {
    blocked.insert({x, y});
}
// A wall of blocked cells from (x0, y0) to (x1, y1) inclusive.
inline void blockRect(int x0, int y0, int x1, int y1) {
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            block(x, y);
}

// Installs the map for each test and puts the world's ground back after it.
class MapTest : public ::testing::Test {
  protected:
    void SetUp() override {
        blocked.clear();
        g_actorGround = {isWalkable, heightAt};
        g_settings.timeFactor = 1.5;
        crt::srand(100);
        ActorController& player = playerActor();
        player.isPlayer = 1;
        player.position[0] = 5000.5;
        player.position[1] = 5000.5;
    }
    void TearDown() override {
        useWorldGround();
        g_playerSearchSliceMs = savedSlice_;
    }
    double savedSlice_ = g_playerSearchSliceMs;

  public:
    static void placeAt(ActorController& c, double x, double y) {
        c.position[0] = x;
        c.position[1] = y;
        c.position[2] = GROUND;
    }
    // Runs search until a path is found or `maxRuns` runs have passed;
    // returns the runs taken, or -1.
    static int searchUntilFound(ActorController& c, int maxRuns) {
        for (int run = 1; run <= maxRuns; ++run) {
            c.search();
            if (c.pathFound) return run;
        }
        return -1;
    }
};

} // namespace testmap
