// The dungeon in the game as it ships: down by the T key, a walk on the
// dungeon floor by a click, and back up by T to where the player stood.
#include "tests/play/steps.h"

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
using play::inOrder;

TEST(PlayDungeon, TGoesDownAClickWalksTheFloorAndTBringsThePlayerBackWhereHeStood) {
    play::Game& g = play::game();
    ASSERT_TRUE(g.ok()) << g.why;
    play::SearchSlice slice{play::WHOLE_SEARCH_MS};
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
    play::ScreenTarget t;
    ASSERT_TRUE(play::floorAhead(g, *dungeon, t)) << "no open floor in view";
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
