// The dungeon in the game as it ships: down by the T key, a walk on the
// dungeon floor by a click, and back up by T to where the player stood.
#include "tests/play/harness.h"

#include "actor/ground.h"
#include "core/camera.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "render/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int VK_T = 'T';
// Whole searches inside one frame, so that pass counts do not depend on the
// machine's speed.
constexpr double WHOLE_SEARCH_MS = 1.0e9;

// True when the lines appear in the log in this order, from `from` on;
// `missing` names the first that does not.
bool inOrder(const std::vector<std::string>& log, std::size_t from,
             const std::vector<std::string>& lines, std::string& missing) {
    std::size_t at = from;
    for (const std::string& line : lines) {
        while (at < log.size() && log[at].rfind(line, 0) != 0)
            ++at;
        if (at == log.size()) {
            missing = line;
            return false;
        }
        ++at;
    }
    return true;
}

struct FloorTarget {
    double x = 0.0, y = 0.0;
    int sx = 0, sy = 0;
};

// True when nothing solid stands on the line from the camera's eye to the
// point: wall blocks, doors, chests and the stairs hide what lies behind.
bool inSight(const Dungeon& d, double x, double y, double z) {
    const double* e = g_camera.eye;
    for (int k = 1; k < 200; ++k) {
        const double t = k / 200.0;
        const double px = e[0] + t * (x - e[0]), py = e[1] + t * (y - e[1]);
        const double pz = e[2] + t * (z - e[2]);
        const int code = d.code(int(px / d.cellSizeX), int(py / d.cellSizeY));
        if (code != CELL_FLOOR && code != CELL_TORCH && pz < d.wallHeight + 1) return false;
    }
    return true;
}

// An open floor cell three to five cells from the player, with open floor
// all around it, in sight of the camera and well inside the window.
bool findFloorTarget(play::Game& g, const Dungeon& d, FloorTarget& t) {
    const ActorController& p = g.player();
    const int pi = int(p.position[0] / d.cellSizeX), pj = int(p.position[1] / d.cellSizeY);
    for (int radius = 3; radius <= 5; ++radius)
        for (int i = pi - radius; i <= pi + radius; ++i)
            for (int j = pj - radius; j <= pj + radius; ++j) {
                if (std::max(std::abs(i - pi), std::abs(j - pj)) != radius) continue;
                bool open = true;
                for (int di = -1; di <= 1 && open; ++di)
                    for (int dj = -1; dj <= 1 && open; ++dj)
                        open = d.code(i + di, j + dj) == CELL_FLOOR;
                if (!open) continue;
                t.x = i * d.cellSizeX + d.cellSizeX / 2.0;
                t.y = j * d.cellSizeY + d.cellSizeY / 2.0;
                const double z = d.floorHeightAt(t.x, t.y);
                if (!inSight(d, t.x, t.y, z) || !g.screenPointOf(t.x, t.y, z, t.sx, t.sy)) continue;
                if (t.sx > 40 && t.sx < 984 && t.sy > 40 && t.sy < 728) return true;
            }
    return false;
}

TEST(PlayDungeon, TGoesDownAClickWalksTheFloorAndTBringsThePlayerBackWhereHeStood) {
    play::Game& g = play::game();
    ASSERT_TRUE(g.ok()) << g.why;
    play::SearchSlice slice{WHOLE_SEARCH_MS};
    ActorController& p = g.player();
    g.run(5);
    ASSERT_FALSE(g.inDungeon());
    const double stood[2] = {p.position[0], p.position[1]};
    const int outsideFar = g_camera.far;

    // Down.
    std::size_t logStart = g.logLines().size();
    g.press(VK_T);
    ASSERT_GE(g.runUntil([&] { return g.inDungeon(); }, 3), 1);
    g.run(2);
    std::string missing;
    EXPECT_TRUE(inOrder(g.logLines(), logStart,
                        {"Entering dungeon...", "Building dungeon...", "FLOOR: ", "DUNG:  "},
                        missing))
        << "missing: " << missing;
    ASSERT_NE(dungeon, nullptr);
    EXPECT_EQ(g_engine.fogStart, 180.0f);
    EXPECT_EQ(g_engine.fogEnd, 320.0f);
    EXPECT_EQ(g_engine.fogColor[0], 0.0f);
    EXPECT_EQ(g_camera.far, 1000);
    EXPECT_NE(g_camera.far, outsideFar);
    EXPECT_EQ(p.position[0], dungeon->startX);
    EXPECT_EQ(p.position[1], dungeon->startY);

    // A click on the dungeon floor walks him there, on the floor all the way.
    FloorTarget t;
    ASSERT_TRUE(findFloorTarget(g, *dungeon, t)) << "no open floor in view";
    const double fromX = p.position[0], fromY = p.position[1];
    g.click(t.sx, t.sy);
    ASSERT_GE(g.runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 3), 1);
    const int half = p.instance.slot ? p.instance.slot->halfHeight : 0;
    bool onFloor = true;
    int passes = g.runUntil(
        [&] {
            onFloor =
                onFloor && g_actorGround.isWalkable(p.position[0], p.position[1], 0.0) &&
                std::fabs(p.position[2] -
                          (dungeon->floorHeightAt(p.position[0], p.position[1]) + half)) < 1e-3;
            return p.pathFinished() && p.action == ACTION_IDLE;
        },
        400);
    ASSERT_GE(passes, 1) << "still walking";
    EXPECT_TRUE(onFloor);
    EXPECT_GT(std::hypot(p.position[0] - fromX, p.position[1] - fromY),
              2.0 * dungeon->cellSizeX - 20);
    EXPECT_LT(std::hypot(p.position[0] - t.x, p.position[1] - t.y), 2.0 * p.arriveDistance);

    // Up again, to exactly where he stood, on the ground.
    logStart = g.logLines().size();
    g.press(VK_T);
    ASSERT_GE(g.runUntil([&] { return !g.inDungeon(); }, 3), 1);
    g.run(2);
    EXPECT_TRUE(
        inOrder(g.logLines(), logStart,
                {"Entering outside...", "Killing dungeon...", "Deleting dungeon...",
                 "DELETING DUNGEON: ", "Building outside...", "ERROR: Terrain already exists!"},
                missing))
        << "missing: " << missing;
    EXPECT_EQ(dungeon, nullptr);
    EXPECT_EQ(p.position[0], stood[0]);
    EXPECT_EQ(p.position[1], stood[1]);
    EXPECT_NEAR(p.position[2], g.groundAt(stood[0], stood[1]) + half, 1e-6);
    EXPECT_EQ(g_camera.far, outsideFar);
}

} // namespace
