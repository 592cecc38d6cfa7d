#include "actor/controller.h"
#include "core/camera.h"
#include "core/settings.h"
#include "dungeon/world.h"
#include "render/engine.h"
#include "support.h"

#include "../support/log_capture.h"

#include <gtest/gtest.h>

namespace {

// Enters the outside from a working directory without data, which builds a
// flat map. (The log lines of entering, and a second entry finding the
// terrain built, are checked by the play-throughs.)
TEST(World, EnteringOutsideBuildsTheTerrainAndStandsThePlayerOnIt) {
    testsupport::LogCapture log;
    g_settings.applyDetailLevel(3);
    savedOutsidePosition[0] = 6366.0;
    savedOutsidePosition[1] = 5549.0;
    enterOutside();
    ASSERT_NE(terrain, nullptr);
    ASSERT_NE(localTerrain, nullptr);
    EXPECT_EQ(terrain->pageCount, 1024);
    EXPECT_EQ(g_engine.inDungeon, 0);
    // Fog and the far plane follow the window's view range.
    EXPECT_EQ(g_camera.far, 256 * 5);
    EXPECT_FLOAT_EQ(g_engine.fogStart, 640.0f);
    EXPECT_FLOAT_EQ(g_engine.fogEnd, 1280.0f);
    const ActorController& player = playerActor();
    EXPECT_EQ(player.position[0], 6366.0);
    EXPECT_EQ(player.position[1], 5549.0);
    const int half = player.instance.slot ? player.instance.slot->halfHeight : 0;
    EXPECT_NEAR(player.position[2], localTerrain->heightAt(6366.0, 5549.0) + half, 1e-6);
    EXPECT_EQ(localTerrain->centreX, 6144) << "the window follows the camera behind the player";

    // A detail change outside lays the window out for the new size.
    EXPECT_NE(localTerrain->pages[10][10], nullptr);
    g_settings.applyDetailLevel(0);
    EXPECT_EQ(localTerrain->pages[10][10], nullptr);
    EXPECT_NE(localTerrain->pages[4][4], nullptr);
    g_settings.applyDetailLevel(3);
    EXPECT_NE(localTerrain->pages[10][10], nullptr);
}

} // namespace
