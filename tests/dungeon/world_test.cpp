// Going down into the dungeon and back up, twice: the log lines, a new level
// on each visit, the far plane and fog of a detail change below, and the
// player back where he stood. (The play-through of the dungeon checks the
// fog, the start cell and the walk below.)
#include "actor/controller.h"
#include "app/input.h"
#include "core/camera.h"
#include "core/random.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "render/engine.h"

#include "support.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

TEST(Worlds, OutsideDungeonOutsideTwice) {
    // A working directory without game data: the outside is a flat map.
    const fs::path old = fs::current_path(),
                   dir = fs::temp_directory_path() / ("zeb-dungeon-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
    testsupport::LogCapture log;
    g_settings.applyDetailLevel(3);
    crt::srand(77);
    ASSERT_TRUE(makeDungeonLayout());
    enterOutside();
    ActorController& player = playerActor();
    player.position[0] = 6400.25;
    player.position[1] = 5600.75;

    int firstLevel = 0;
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        // Down through a portal the first time, by the debug key the second.
        if (visit == 0)
            g_input.performPendingAction(PENDING_ENTER_DUNGEON);
        else
            g_input.performAction(16);
        ASSERT_NE(dungeon, nullptr);
        EXPECT_EQ(g_engine.inDungeon, 1);
        EXPECT_EQ(savedOutsidePosition[1], 5600.75);
        // Two visits, two levels from the one layout.
        const int level =
            dungeon->cellSizeX * 1000000 + dungeon->stairsRow * 1000 + dungeon->stairsColumn;
        EXPECT_TRUE(visit == 0 || level != firstLevel);
        firstLevel = level;

        // A detail change inside sets the far plane and fog from the cells drawn.
        g_settings.applyDetailLevel(2);
        EXPECT_EQ(g_camera.far, 20 * dungeon->cellSizeX);
        EXPECT_EQ(g_engine.fogEnd, float(g_camera.far));
        g_settings.applyDetailLevel(3);

        if (visit == 0)
            g_input.performPendingAction(PENDING_LEAVE_DUNGEON);
        else
            g_input.performAction(16);
        EXPECT_EQ(g_engine.inDungeon, 0);
        EXPECT_EQ(dungeon, nullptr);
        EXPECT_EQ(player.position[0], 6400.25);
        EXPECT_EQ(player.position[1], 5600.75);
        EXPECT_EQ(g_camera.far, g_settings.terrainViewRange);
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
    EXPECT_EQ(text.find("ERROR: Terrain already exists!", text.rfind("Entering dungeon") + 1),
              text.rfind("ERROR: Terrain already exists!"))
        << "one per return";
    fs::current_path(old);
    fs::remove_all(dir);
}

} // namespace
