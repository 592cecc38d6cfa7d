// The dungeon in the game as it ships: down by the T key, with the dungeon's
// fog and view, and back up by T to exactly where the player stood. A walk on
// the dungeon floor is played in the whole game.
#include "tests/play/steps.h"

#include "core/camera.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "render/engine.h"

namespace {

using namespace play;

using PlayDungeon = Scenario;

TEST_F(PlayDungeon, TGoesDownAndBringsThePlayerBackWhereHeStood) {
    ActorController& p = g->player();
    g->run(5);
    ASSERT_FALSE(g->inDungeon());
    const double stood[2] = {p.position[0], p.position[1]};
    const int outsideFar = g_camera.far;

    std::size_t logStart = g->logLines().size();
    g->press('T');
    ASSERT_GE(g->runUntil([&] { return g->inDungeon(); }, 3), 1);
    g->run(2);
    std::string missing;
    EXPECT_TRUE(inOrder(g->logLines(), logStart,
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

    logStart = g->logLines().size();
    g->press('T');
    ASSERT_GE(g->runUntil([&] { return !g->inDungeon(); }, 3), 1);
    g->run(2);
    EXPECT_TRUE(
        inOrder(g->logLines(), logStart,
                {"Entering outside...", "Killing dungeon...", "Deleting dungeon...",
                 "DELETING DUNGEON: ", "Building outside...", "ERROR: Terrain already exists!"},
                missing))
        << "missing: " << missing;
    EXPECT_EQ(dungeon, nullptr);
    EXPECT_EQ(p.position[0], stood[0]);
    EXPECT_EQ(p.position[1], stood[1]);
    const int half = p.instance.slot ? p.instance.slot->halfHeight : 0;
    EXPECT_NEAR(p.position[2], g->groundAt(stood[0], stood[1]) + half, 1e-6);
    EXPECT_EQ(g_camera.far, outsideFar);
}

} // namespace
