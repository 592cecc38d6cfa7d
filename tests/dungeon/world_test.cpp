// Going down into the dungeon and back up, twice: the log lines, the flag,
// fog and far plane, where the player stands, and the ground actors see.
#include "actor/controller.h"
#include "actor/ground.h"
#include "app/input.h"
#include "core/camera.h"
#include "core/random.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "render/engine.h"

#include "support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The ground as the actors ask for it: the stairs open only while leaving,
// a wall closed, open and flat beyond the dungeon.
void checkDungeonGround(const Dungeon& d) {
    const double s = d.cellSizeX, sx = d.exitX + s / 2, sy = d.exitY + s / 2;
    g_input.next_action = PENDING_NONE;
    EXPECT_FALSE(g_actorGround.isWalkable(sx, sy, 0.0));
    g_input.next_action = PENDING_LEAVE_DUNGEON;
    EXPECT_TRUE(g_actorGround.isWalkable(sx, sy, 0.0));
    g_input.next_action = PENDING_NONE;
    const int wall = int(
        std::find(d.codes.codes.get(), d.codes.codes.get() + d.width * d.height, int(CELL_WALL)) -
        d.codes.codes.get());
    EXPECT_FALSE(g_actorGround.isWalkable((wall / d.height) * s + 1, (wall % d.height) * s + 1, 0));
    const double beyond = (d.width + 3) * s;
    EXPECT_TRUE(g_actorGround.isWalkable(beyond, beyond, 0.0));
    EXPECT_EQ(g_actorGround.heightAt(beyond, beyond, 0.0), 0.0);
}

TEST(Worlds, OutsideDungeonOutsideTwice) {
    // A working directory without game data: the outside is a flat map.
    const fs::path old = fs::current_path(),
                   dir = fs::temp_directory_path() / ("zeb-dungeon-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
    dungeontest::LogCapture log;
    useWorldGround();
    g_settings.applyDetailLevel(3);
    crt::srand(77);
    ASSERT_TRUE(makeDungeonLayout());
    savedOutsidePosition[0] = 6366.0;
    savedOutsidePosition[1] = 5549.0;
    enterOutside();
    ActorController& player = playerActor();
    const int half = player.instance.slot ? player.instance.slot->halfHeight : 0;
    player.position[0] = 6400.25;
    player.position[1] = 5600.75;

    int firstCellSize = 0, firstStairs = 0;
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        const double stood[2] = {player.position[0], player.position[1]};
        // Down through a portal the first time, by the debug key the second.
        if (visit == 0)
            g_input.performPendingAction(PENDING_ENTER_DUNGEON);
        else
            g_input.performAction(16);
        ASSERT_NE(dungeon, nullptr);
        EXPECT_EQ(g_engine.inDungeon, 1);
        EXPECT_EQ(g_camera.far, 1000);
        EXPECT_EQ(g_engine.fogStart, 180.0f);
        EXPECT_EQ(g_engine.fogEnd, 320.0f);
        EXPECT_EQ(savedOutsidePosition[0], stood[0]);
        EXPECT_EQ(player.position[0], dungeon->startX);
        EXPECT_EQ(player.position[1], dungeon->startY);
        EXPECT_FLOAT_EQ(float(player.position[2]),
                        dungeon->floorHeightAt(dungeon->startX, dungeon->startY) + half);
        checkDungeonGround(*dungeon);
        // Two visits, two levels from the one layout.
        const int stairs = dungeon->stairsRow * 1000 + dungeon->stairsColumn;
        if (visit == 1) {
            EXPECT_TRUE(firstCellSize != dungeon->cellSizeX || firstStairs != stairs);
        }
        firstCellSize = dungeon->cellSizeX;
        firstStairs = stairs;

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
        EXPECT_EQ(player.position[0], stood[0]);
        EXPECT_EQ(player.position[1], stood[1]);
        EXPECT_NEAR(player.position[2], localTerrain->heightAt(stood[0], stood[1]) + half, 1e-9);
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
