// Down into the dungeon and back up, twice, on the flat map of a directory
// without game data; the play-throughs check the fog, the start cell, the way
// down by a portal and the player back where he stood.
#include "core/camera.h"
#include "core/random.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "render/engine.h"

#include "support.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

namespace {

TEST(Worlds, OutsideDungeonOutsideTwice) {
    testsupport::LogCapture log;
    g_settings.applyDetailLevel(3);
    crt::srand(77);
    ASSERT_TRUE(makeDungeonLayout());
    enterOutside();

    int firstLevel = 0;
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        switchWorld();
        ASSERT_NE(dungeon, nullptr);
        // Two visits, two levels from the one layout.
        const int level =
            dungeon->cellSizeX * 1000000 + dungeon->stairsRow * 1000 + dungeon->stairsColumn;
        EXPECT_TRUE(visit == 0 || level != firstLevel);
        firstLevel = level;
        g_settings.applyDetailLevel(2);
        EXPECT_EQ(g_camera.far, 20 * dungeon->cellSizeX);
        EXPECT_EQ(g_engine.fogEnd, float(g_camera.far));
        g_settings.applyDetailLevel(3);
        switchWorld();
        EXPECT_EQ(dungeon, nullptr);
    }
    killDungeon();

    const std::string text = log.text();
    EXPECT_EQ(dungeontest::firstOutOfOrder(
                  text, {"Killing dungeon...", "Cannot kill null DUNGEON: ", "Entering dungeon...",
                         "Building dungeon...", "FLOOR: ", "DUNG:  ", "Entering outside...",
                         "Killing dungeon...", "Deleting dungeon...", "DELETING DUNGEON: 0x",
                         "Building outside...", "ERROR: Terrain already exists!", "TERRAIN:       ",
                         "LOCAL_TERRAIN: ", "Entering dungeon...", "Deleting dungeon...",
                         "ERROR: Terrain already exists!", "Cannot kill null DUNGEON: "}),
              "")
        << text;
}

} // namespace
