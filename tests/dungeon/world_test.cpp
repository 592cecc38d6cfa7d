// Going down into the dungeon and back up, twice: the log lines, the flag,
// fog and far plane, where the player stands, and the ground the actors see.
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

using dungeontest::LogCapture;

namespace {

// A working directory without game data: the outside is a flat map.
class EmptyWorkingDir {
  public:
    EmptyWorkingDir() : old_(std::filesystem::current_path()) {
        dir_ =
            std::filesystem::temp_directory_path() / ("zeb-dungeon-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        std::filesystem::current_path(dir_);
    }
    ~EmptyWorkingDir() {
        std::filesystem::current_path(old_);
        std::filesystem::remove_all(dir_);
    }

  private:
    std::filesystem::path old_, dir_;
};

struct LevelSignature {
    int cellSize, wallHeight, floorTexture, wallTexture, stairsRow, stairsColumn;
    bool operator==(const LevelSignature&) const = default;
};

// Checks the dungeon's ground as the actors ask for it.
void checkDungeonGround(const Dungeon& d) {
    const double s = d.cellSizeX;
    bool sawWall = false;
    for (int i = 0; i < d.width && !sawWall; ++i)
        for (int j = 0; j < d.height && !sawWall; ++j)
            if (d.code(i, j) == CELL_WALL) {
                EXPECT_FALSE(g_actorGround.isWalkable(i * s + 1, j * s + 1, 0.0));
                sawWall = true;
            }
    EXPECT_TRUE(sawWall);
    const double beyond = (d.width + 3) * s;
    EXPECT_TRUE(g_actorGround.isWalkable(beyond, beyond, 0.0)) << "outside the dungeon";
    EXPECT_EQ(g_actorGround.heightAt(beyond, beyond, 0.0), 0.0);
    EXPECT_TRUE(g_actorGround.isWalkable(-4.0, 10.0, 0.0));
    // The stairs are open only while the pending action leaves by them.
    const double sx = d.exitX + s / 2, sy = d.exitY + s / 2;
    g_input.next_action = PENDING_NONE;
    EXPECT_FALSE(g_actorGround.isWalkable(sx, sy, 0.0));
    g_input.next_action = PENDING_LEAVE_DUNGEON;
    EXPECT_TRUE(g_actorGround.isWalkable(sx, sy, 0.0));
    g_input.next_action = PENDING_NONE;
}

TEST(Worlds, OutsideDungeonOutsideTwice) {
    EmptyWorkingDir dir;
    LogCapture log;
    useWorldGround();
    g_settings.applyDetailLevel(3);
    crt::srand(77);
    ASSERT_TRUE(makeDungeonLayout());
    EXPECT_GT(dungeonMap.width, 0);
    savedOutsidePosition[0] = 6366.0;
    savedOutsidePosition[1] = 5549.0;
    enterOutside();
    ASSERT_NE(localTerrain, nullptr);
    ActorController& player = playerActor();
    const int half = player.instance.slot ? player.instance.slot->halfHeight : 0;
    player.position[0] = 6400.25;
    player.position[1] = 5600.75;
    player.position[2] = localTerrain->heightAt(6400.25, 5600.75) + half;

    LevelSignature seen[2] = {};
    for (int visit = 0; visit < 2; ++visit) {
        SCOPED_TRACE(visit);
        const double stood[3] = {player.position[0], player.position[1], player.position[2]};
        // Down through a portal the first time, by the debug key the second.
        if (visit == 0)
            g_input.performPendingAction(PENDING_ENTER_DUNGEON);
        else
            g_input.performAction(16);
        EXPECT_EQ(g_engine.inDungeon, 1);
        EXPECT_EQ(g_camera.far, 1000);
        EXPECT_EQ(g_engine.fogStart, 180.0f);
        EXPECT_EQ(g_engine.fogEnd, 320.0f);
        EXPECT_EQ(g_engine.fogColor[0], 0.0f);
        EXPECT_EQ(savedOutsidePosition[0], stood[0]);
        EXPECT_EQ(savedOutsidePosition[1], stood[1]);
        ASSERT_NE(dungeon, nullptr);
        EXPECT_EQ(player.position[0], dungeon->startX);
        EXPECT_EQ(player.position[1], dungeon->startY);
        EXPECT_FLOAT_EQ(float(player.position[2]),
                        dungeon->floorHeightAt(dungeon->startX, dungeon->startY) + half);
        seen[visit] = {dungeon->cellSizeX,   dungeon->wallHeight, dungeon->floorTexture,
                       dungeon->wallTexture, dungeon->stairsRow,  dungeon->stairsColumn};
        checkDungeonGround(*dungeon);

        // A detail change inside sets the far plane and fog from the cells drawn.
        g_settings.applyDetailLevel(2);
        EXPECT_EQ(g_camera.far, 20 * dungeon->cellSizeX);
        EXPECT_EQ(g_engine.fogStart, float(g_camera.far / 2));
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
    EXPECT_FALSE(seen[0] == seen[1]) << "each visit builds its own level";

    std::string missing;
    EXPECT_TRUE(log.inOrder({"Entering outside...",
                             "Killing dungeon...",
                             "Cannot kill null DUNGEON: ",
                             "Building outside...",
                             "Entering dungeon...",
                             "Building dungeon...",
                             "FLOOR: ",
                             "DUNG:  ",
                             "Entering outside...",
                             "Killing dungeon...",
                             "Deleting dungeon...",
                             "DELETING DUNGEON: 0x",
                             "Building outside...",
                             "ERROR: Terrain already exists!",
                             "TERRAIN:       ",
                             "LOCAL_TERRAIN: ",
                             "Entering dungeon...",
                             "Entering outside...",
                             "Deleting dungeon...",
                             "ERROR: Terrain already exists!"},
                            &missing))
        << missing;
    EXPECT_EQ(log.count("ERROR: Terrain already exists!"), 2);

    // Killing the dungeon when there is none only says so.
    killDungeon();
    EXPECT_NE(log.text().rfind("Cannot kill null DUNGEON: "), std::string::npos);
}

} // namespace
