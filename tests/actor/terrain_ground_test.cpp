// Actors on the world's ground outside: one terrain page under a local
// window, its heights and its blocked cells.
#include "actor/controller.h"
#include "actor/ground.h"
#include "core/settings.h"
#include "dungeon/world.h"
#include "render/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

TEST(TerrainGround, ActorStandsOnTerrainAndBlockedCellsStopSteps) {
    TerrainList list;
    TerrainPage* page = new TerrainPage();
    page->setOrigin(256, 512);
    for (auto& row : page->height)
        std::fill(std::begin(row), std::end(row), 40.0f);
    page->blocked[12][22] = 1; // x 304..308, y 600..604
    list.appendPage(page);
    LocalTerrain window(list, 300.0, 600.0);
    localTerrain = &window;
    g_engine.inDungeon = 0;
    useWorldGround();
    g_settings.timeFactor = 2.0;

    ActorController c;
    ModelSlot slot;
    c.setLook(&slot, 0);
    c.position[0] = 302.5;
    c.position[1] = 600.5;
    c.pathIndex = 0;
    c.pathLength = 2;
    c.path[0] = c.path[1] = 0; // +x twice; the second lands on the blocked cell
    c.stepAlongPath();
    EXPECT_DOUBLE_EQ(c.position[0], 303.5);
    EXPECT_DOUBLE_EQ(c.position[2], 40.0 + slot.halfHeight);
    c.stepAlongPath();
    EXPECT_DOUBLE_EQ(c.position[0], 303.5) << "the step onto the blocked cell is taken back";
    EXPECT_TRUE(c.pathFinished()) << "and used up";

    c.setLook(nullptr, 0);
    localTerrain = nullptr;
}
