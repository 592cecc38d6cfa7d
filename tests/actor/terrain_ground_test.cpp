// Actors on the real ground queries: one terrain page under a local window.
#include "actor/controller.h"
#include "actor/ground.h"
#include "app/settings.h"
#include "dungeon/world.h"
#include "render/engine.h"

#include <gtest/gtest.h>

namespace {

class TerrainGroundTest : public ::testing::Test {
  protected:
    TerrainList list;
    TerrainPage* page = nullptr;
    LocalTerrain* window = nullptr;

    void SetUp() override {
        page = new TerrainPage();
        page->originX = 256;
        page->originY = 512;
        for (auto& row : page->height)
            for (float& h : row)
                h = 40.0f;
        list.appendPage(page);
        window = new LocalTerrain(list, 300.0, 600.0);
        localTerrain = window;
        g_engine.inDungeon = 0;
        useWorldGround();
        g_settings.timeFactor = 2.0;
    }
    void TearDown() override {
        localTerrain = nullptr;
        delete window;
    }
};

TEST_F(TerrainGroundTest, ActorStandsOnTerrainAndBlockedTerrainCellStopsIt) {
    ActorController c;
    ModelSlot slot;
    c.setLook(&slot, 0);
    c.position[0] = 300.5;
    c.position[1] = 600.5;
    // Terrain cell of x 304..308 at y 600..604 is blocked.
    page->blocked[12][22] = 1;
    c.pathIndex = 0;
    c.pathLength = 2;
    c.path[0] = 0; // towards x 301.5
    c.path[1] = 0;
    for (int i = 0; i < 3; ++i)
        c.stepAlongPath();
    EXPECT_DOUBLE_EQ(c.position[0], 302.5);
    EXPECT_DOUBLE_EQ(c.position[2], 40.0 + slot.halfHeight);
    c.pathIndex = 0;
    c.pathLength = 2;
    c.stepAlongPath();
    c.stepAlongPath();
    EXPECT_DOUBLE_EQ(c.position[0], 303.5);
    c.stepAlongPath(); // 304.5 lies on the blocked cell
    EXPECT_DOUBLE_EQ(c.position[0], 303.5);
    c.setLook(nullptr, 0);
}

TEST_F(TerrainGroundTest, SearchRefusesBlockedTerrainGoal) {
    ActorController c;
    c.position[0] = 300.5;
    c.position[1] = 600.5;
    page->blocked[20][25] = 1; // x 336..340, y 612..616
    c.goal[0] = 337.0;
    c.goal[1] = 613.0;
    c.startSearch();
    EXPECT_FALSE(c.goalAccepted);
    c.goal[0] = 341.0;
    c.startSearch();
    EXPECT_TRUE(c.goalAccepted);
}

} // namespace
