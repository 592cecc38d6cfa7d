// Picking and acting in the game as it ships: the mouse over an object picks
// it, a click sends the player there and he acts on arrival: attacks a
// creature, enters the dungeon by its entrance, opens a door or a chest,
// leaves by the stairs. A click on open ground drops what was pending.
#include "tests/play/steps.h"

#include "actor/ground.h"
#include "core/camera.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "interact/picker.h"
#include "render/engine.h"
#include "terrain/terrain.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using play::findLine;
using play::nearestEntrance;
using play::openGround;
using play::PI;
using play::wellInside;
using play::WHOLE_SEARCH_MS;
constexpr int VK_T = 'T';

class PlayPicking : public ::testing::Test {
  protected:
    void SetUp() override {
        g = &play::game();
        ASSERT_TRUE(g->ok()) << g->why;
        g->run(5);
    }
    // Points the mouse at the world point and lets a frame pick under it.
    bool pointAt(double x, double y, double z) {
        int sx = 0, sy = 0;
        if (!g->screenPointOf(x, y, z, sx, sy) || !wellInside(sx, sy)) return false;
        g->moveMouse(sx, sy);
        g->run(2);
        sx_ = sx;
        sy_ = sy;
        return true;
    }
    void clickThere() { g->click(sx_, sy_); }
    // Stands a creature on open ground `distance` units ahead of the player,
    // as near the camera's view direction as can be found.
    bool placeAhead(ActorController& c, double distance) {
        const ActorController& p = g->player();
        for (int k = 0; k < 24; ++k) {
            const double a = g_camera.yaw + (k % 2 ? 1 : -1) * ((k + 1) / 2) * (PI / 24);
            const double x = p.position[0] + distance * std::cos(a);
            const double y = p.position[1] + distance * std::sin(a);
            if (!openGround(x, y)) continue;
            c.active = true;
            c.position[0] = x;
            c.position[1] = y;
            c.position[2] = g->groundAt(x, y);
            return true;
        }
        return false;
    }

    play::Game* g = nullptr;
    play::SearchSlice slice{WHOLE_SEARCH_MS};
    int sx_ = 0, sy_ = 0;
};

TEST_F(PlayPicking, AClickOnACreatureAttacksItOnceThePlayerIsWithinReach) {
    // A creature brought into view, 70 units ahead of the player.
    ActorController& c = g->actor(0);
    ASSERT_TRUE(placeAhead(c, 70.0));
    ASSERT_TRUE(pointAt(c.position[0], c.position[1], c.position[2] + 4));
    ASSERT_TRUE(g_picker.isPicked(PickCreature, std::uint32_t(c.instance.id)))
        << g_picker.hitType << " " << g_picker.hitId;
    const std::size_t logStart = g->logLines().size();
    clickThere();
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == 4; }, 3), 1);
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == -1; }, 600), 1)
        << "never came within reach";
    const std::vector<std::string> log = g->logLines();
    const std::size_t attack = findLine(log, logStart, {"Running attack"});
    ASSERT_NE(attack, std::string::npos);
    const std::size_t roll = findLine(log, attack + 1, {"Critical hit", "Hit!"});
    ASSERT_EQ(roll, attack + 1) << "the roll follows the attack";
    EXPECT_EQ(findLine(log, roll + 1, {"DAMAGE: "}), roll + 1);
}

// Stands the player at (x, y) facing the way the camera looks along yaw,
// with the terrain window laid out around him.
void standPlayer(play::Game& g, double x, double y, float yaw) {
    ActorController& p = g.player();
    p.pathIndex = p.pathLength = 0;
    p.position[0] = x;
    p.position[1] = y;
    g_camera.yaw = yaw;
    g_camera.follow(p.position);
    localTerrain->rebuild(*terrain);
    p.position[2] = g.groundAt(x, y) + (p.instance.slot ? p.instance.slot->halfHeight : 0);
    g_camera.follow(p.position);
}

TEST_F(PlayPicking, AClickOnAnEntranceWalksThePlayerThereAndTakesHimDown) {
    ASSERT_NE(terrain, nullptr);
    const Portal* portal = nearestEntrance(g->player().position[0], g->player().position[1]);
    ASSERT_NE(portal, nullptr);
    // Open ground 60 units from the entrance, looking at it.
    bool stood = false;
    for (int k = 0; k < 16 && !stood; ++k) {
        const double a = k * PI / 8;
        const double x = portal->x - 60 * std::cos(a), y = portal->y - 60 * std::sin(a);
        if (!openGround(x, y)) continue;
        standPlayer(*g, x, y, float(a));
        stood = true;
    }
    ASSERT_TRUE(stood);
    g->run(3);
    ASSERT_TRUE(pointAt(portal->x, portal->y, portal->z + 5));
    ASSERT_TRUE(g_picker.isPicked(PickPortal, std::uint32_t(portal->id)))
        << g_picker.hitType << " " << g_picker.hitId;
    const std::size_t logStart = g->logLines().size();
    clickThere();
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == 2; }, 3), 1);
    ASSERT_GE(g->runUntil([&] { return g->inDungeon(); }, 600), 1) << "never went down";
    EXPECT_NE(findLine(g->logLines(), logStart, {"Entering dungeon..."}), std::string::npos);
    EXPECT_NE(dungeon, nullptr);
}

TEST_F(PlayPicking, InTheDungeonClicksOpenADoorAndAChestAndTheStairsLeadOut) {
    g->press(VK_T);
    ASSERT_GE(g->runUntil([&] { return g->inDungeon(); }, 3), 1);
    g->run(3);
    ASSERT_NE(dungeon, nullptr);
    Dungeon& d = *dungeon;
    auto standBeside = [&](int i, int j) { return play::standBesideCell(*g, d, i, j); };

    // A closed door: pointed at, clicked, reached, and it swings open.
    int i = 0, j = 0;
    ASSERT_TRUE(play::findCell(d, CELL_DOOR, i, j));
    DoorRecord& door = *d.cell(i, j).door;
    ASSERT_TRUE(standBeside(i, j));
    g->run(3);
    ASSERT_TRUE(pointAt((i + 0.5) * d.cellSizeX, (j + 0.5) * d.cellSizeY, d.wallHeight / 2.0));
    ASSERT_TRUE(g_picker.isPicked(PickDungeonDoor, std::uint32_t(door.id)));
    clickThere();
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == 0; }, 3), 1);
    ASSERT_GE(g->runUntil([&] { return door.state != DOOR_CLOSED; }, 400), 1);
    const float early = door.angle;
    ASSERT_GE(g->runUntil([&] { return door.state == DOOR_OPEN; }, 400), 2)
        << "the door swings over frames";
    EXPECT_LT(early, 90.0f);

    // A chest: opened on arrival, and the status line says so.
    ASSERT_TRUE(play::findCell(d, CELL_CHEST, i, j));
    ChestRecord& chest = *d.cell(i, j).chest;
    ASSERT_TRUE(standBeside(i, j));
    g->run(3);
    ASSERT_TRUE(pointAt(chest.x + 6, chest.y + 4, d.cell(i, j).z + 12));
    ASSERT_TRUE(g_picker.isPicked(PickChest, std::uint32_t(chest.id)));
    clickThere();
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == 3; }, 3), 1);
    ASSERT_GE(g->runUntil([&] { return chest.opened == 1; }, 400), 1);
    EXPECT_STREQ(g_engine.statusLine, "Chest opened");

    // The stairs: a click leads the player out.
    ASSERT_TRUE(standBeside(d.stairsRow, d.stairsColumn));
    g->run(3);
    ASSERT_TRUE(pointAt(d.exitX + d.halfCellX, d.exitY + d.halfCellY, d.exitZ + 2));
    ASSERT_TRUE(g_picker.isPickedType(PickDungeonExit));
    clickThere();
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == 1; }, 3), 1);
    ASSERT_GE(g->runUntil([&] { return !g->inDungeon(); }, 400), 1) << "never left";
}

TEST_F(PlayPicking, AClickOnOpenGroundDropsThePendingActionAndWalks) {
    ActorController& p = g->player();
    // An attack on a creature far ahead is pending while the player walks.
    ActorController& c = g->actor(1);
    ASSERT_TRUE(placeAhead(c, 75.0));
    ASSERT_TRUE(pointAt(c.position[0], c.position[1], c.position[2] + 4));
    clickThere();
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == 4; }, 3), 1);
    c.active = false; // it must not come to the player meanwhile
    g->run(1);
    // Then a click on open ground to the side.
    const double a = g_camera.yaw + PI / 2;
    double x = 0, y = 0;
    bool found = false;
    for (double r = 30; r <= 60 && !found; r += 5) {
        x = p.position[0] + r * std::cos(a);
        y = p.position[1] + r * std::sin(a);
        found = openGround(x, y) && pointAt(x, y, g->groundAt(x, y));
    }
    ASSERT_TRUE(found);
    ASSERT_EQ(g->pendingAction(), 4) << "still on the way to the creature";
    const std::size_t logStart = g->logLines().size();
    clickThere();
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == -1; }, 3), 1);
    ASSERT_GE(g->runUntil([&] { return p.pathFinished() && p.action == ACTION_IDLE; }, 400), 1);
    EXPECT_LT(std::hypot(p.position[0] - x, p.position[1] - y), 2.0 * p.arriveDistance);
    EXPECT_EQ(findLine(g->logLines(), logStart, {"Running attack"}), std::string::npos);
}

} // namespace
