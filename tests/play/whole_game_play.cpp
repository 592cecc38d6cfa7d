// The whole game in one session, as a player plays it: start-up, a walk, a
// creature that chases and is fought to its death, a walk to a dungeon
// entrance and down, a door, a chest and a walk below, the stairs back up to
// where he stood, the inventory and loot screens, and Escape. With
// ZEB_SHOTS=DIR every step leaves a screenshot in DIR.
#include "tests/play/steps.h"

#include "actor/combat.h"
#include "actor/creatures.h"
#include "app/input.h"
#include "core/camera.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "interact/picker.h"
#include "interact/portal.h"
#include "render/engine.h"
#include "screens/screens.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace play;

double distance2d(const double a[3], double x, double y) {
    return std::hypot(a[0] - x, a[1] - y);
}

bool standing(const ActorController& p) {
    return p.pathFinished() && p.action == ACTION_IDLE;
}

class PlayWholeGame : public ::testing::Test {
  protected:
    void SetUp() override {
        g = &game();
        ASSERT_TRUE(g->ok()) << g->why;
    }

    // Points the mouse at a world point and lets a frame pick under it.
    bool pointAt(double x, double y, double z) {
        if (!g->screenPointOf(x, y, z, sx, sy) || !wellInside(sx, sy)) return false;
        g->moveMouse(sx, sy);
        g->run(2);
        return true;
    }

    // Clicks on open ground up to `distance` ahead and walks until the player
    // stands; a point hidden behind a rise (the click lands elsewhere) is
    // passed over for a nearer one.
    void walkAhead(double distance) {
        ActorController& p = g->player();
        for (double d = distance; d >= 30.0; d -= 20.0) {
            ScreenTarget t;
            if (!groundAhead(*g, d, 0.0, t)) continue;
            g->click(t.sx, t.sy);
            if (g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 3) < 0) continue;
            ASSERT_GE(g->runUntil([&] { return standing(p); }, int(d) * 3 + 40), 0)
                << "still walking";
            return;
        }
        FAIL() << "no click ahead set the player walking";
    }

    void startUp() {
        std::string missing;
        EXPECT_TRUE(
            inOrder(g->logLines(), 0,
                    {"Initializing...", "Building font #0", "Multitexturing",
                     "Setting engine level to 3", "Done with detail.", "Entering outside...",
                     "Building outside...", "1024 pages created.", "TERRAIN MEMORY FREE."},
                    missing))
            << "missing: " << missing;
        EXPECT_FALSE(g_settings.testFlag(FLAG_INIT_PENDING));
        // The splash fades ran to their end.
        EXPECT_GE(g_engine.splashTimer[0], g_engine.splashTimer[1]);
        shot(*g, "start");
    }

    void firstWalk() {
        ActorController& p = g->player();
        const double from[2] = {p.position[0], p.position[1]};
        ScreenTarget t;
        ASSERT_TRUE(groundAhead(*g, 70.0, 0.0, t));
        g->click(t.sx, t.sy);
        EXPECT_GE(
            g->runUntil([&] { return p.position[0] != from[0] || p.position[1] != from[1]; }, 3), 1)
            << "the first step comes at once";
        ASSERT_GE(g->runUntil([&] { return standing(p); }, 300), 0);
        EXPECT_LT(distance2d(p.position, t.x, t.y), 20.0);
        shot(*g, "first-walk");
    }

    // A creature whose home lies ahead; the player walks into it and is chased.
    int creatureChases() {
        const int i = 0;
        ScreenTarget home;
        EXPECT_TRUE(groundAhead(*g, 110.0, 0.0, home));
        ActorController& c = g->actor(i);
        c.position[0] = std::floor(home.x) + 0.5;
        c.position[1] = std::floor(home.y) + 0.5;
        g_creatures.placed[i] = true;
        g_creatures.spawn(i);
        ScreenTarget into;
        EXPECT_TRUE(groundAhead(*g, 90.0, 0.0, into));
        g->click(into.sx, into.sy);
        EXPECT_GE(g->runUntil([&] { return c.action == ACTION_CHASE; }, 600), 0) << "no chase";
        const double start =
            distance2d(c.position, g->player().position[0], g->player().position[1]);
        g->runUntil(
            [&] {
                return distance2d(c.position, g->player().position[0], g->player().position[1]) <
                       25.0;
            },
            400);
        EXPECT_LT(distance2d(c.position, g->player().position[0], g->player().position[1]),
                  start - 10.0)
            << "the creature came closer";
        shot(*g, "chased");
        return i;
    }

    // Clicks on the creature until it dies; experience and gold come once.
    void fightToDeath(int i) {
        NPCRecord& foe = g_creatures.records[i];
        PlayerCharacter& hero = *playerCharacter;
        const int experience = hero.experience, gold = hero.gold, level = hero.level;
        const std::size_t logStart = g->logLines().size();
        for (int n = 0; n < 40 && foe.health >= 1; ++n)
            ASSERT_TRUE(attackOnce(i)) << "attack " << n;
        ASSERT_LT(foe.health, 1);
        EXPECT_STREQ(g_engine.statusLine, "Killed!");
        const auto log = g->logLines();
        EXPECT_GE(countLines(log, logStart, "Running attack"), 1);
        EXPECT_EQ(countLines(log, logStart, "Running attack"),
                  countLines(log, logStart, "DAMAGE: "));
        if (hero.level == level) {
            EXPECT_EQ(hero.experience, experience + foe.experienceValue);
        }
        const int paidExperience = hero.experience;
        EXPECT_EQ(hero.gold, gold + foe.gold);
        // One more attack on the body rolls but pays nothing again.
        playerCharacter->target = &foe;
        attack(hero, foe, *defaultWeapon);
        EXPECT_EQ(hero.gold, gold + foe.gold);
        EXPECT_EQ(hero.experience, paidExperience);
        EXPECT_FALSE(g->actor(i).active) << "a dead creature is no longer updated";
        g->run(10);
        shot(*g, "killed");
    }

    bool attackOnce(int i) {
        const ActorController& c = g->actor(i);
        if (!pointAt(c.position[0], c.position[1], c.position[2])) {
            ADD_FAILURE() << "creature off the screen";
            return false;
        }
        if (!g_picker.isPicked(PickCreature, std::uint32_t(c.instance.id))) {
            ADD_FAILURE() << "not picked: " << g_picker.hitType << " " << g_picker.hitId;
            return false;
        }
        // Within reach the attack runs in the pass of the click.
        const int before = countLines(g->logLines(), 0, "Running attack");
        g->click(sx, sy);
        return g->runUntil(
                   [&] {
                       return g->pendingAction() == PENDING_NONE &&
                              countLines(g->logLines(), 0, "Running attack") == before + 1;
                   },
                   300) >= 0;
    }

    // Walks toward the nearest entrance, clicks it and goes down; returns
    // where the player stood when he went down.
    void downThroughTheEntrance(double stood[2]) {
        ActorController& p = g->player();
        const Portal* portal = nearestEntrance(p.position[0], p.position[1]);
        ASSERT_NE(portal, nullptr);
        for (int leg = 0; leg < 12 && distance2d(p.position, portal->x, portal->y) > 70.0; ++leg) {
            // Turn the camera toward the entrance, as a drag of the right button does.
            g_camera.yaw = float(std::atan2(portal->y - p.position[1], portal->x - p.position[0]));
            g->run(2);
            const double left = distance2d(p.position, portal->x, portal->y);
            walkAhead(std::min(90.0, left - 50.0));
            if (HasFatalFailure()) return;
        }
        g_camera.yaw = float(std::atan2(portal->y - p.position[1], portal->x - p.position[0]));
        g->run(2);
        ASSERT_TRUE(pointAt(portal->x, portal->y, portal->z + 5))
            << "entrance " << distance2d(p.position, portal->x, portal->y) << " units away";
        ASSERT_TRUE(g_picker.isPicked(PickPortal, std::uint32_t(portal->id)))
            << g_picker.hitType << " " << g_picker.hitId;
        shot(*g, "entrance");
        const std::size_t logStart = g->logLines().size();
        g->click(sx, sy);
        ASSERT_GE(g->runUntil([&] { return g->pendingAction() == PENDING_ENTER_DUNGEON; }, 3), 1);
        ASSERT_GE(g->runUntil(
                      [&] {
                          if (!g->inDungeon()) stood[0] = p.position[0], stood[1] = p.position[1];
                          return g->inDungeon();
                      },
                      600),
                  1)
            << "never went down";
        std::string missing;
        EXPECT_TRUE(inOrder(g->logLines(), logStart,
                            {"Entering dungeon...", "Building dungeon...", "FLOOR: ", "DUNG:  "},
                            missing))
            << "missing: " << missing;
        g->run(3);
        shot(*g, "dungeon");
    }

    void doorAndChest(Dungeon& d) {
        int i = 0, j = 0;
        ASSERT_TRUE(findCell(d, CELL_DOOR, i, j));
        DoorRecord& door = *d.cell(i, j).door;
        ASSERT_TRUE(standBesideCell(*g, d, i, j));
        g->run(3);
        ASSERT_TRUE(pointAt((i + 0.5) * d.cellSizeX, (j + 0.5) * d.cellSizeY, d.wallHeight / 2.0));
        ASSERT_TRUE(g_picker.isPicked(PickDungeonDoor, std::uint32_t(door.id)));
        g->click(sx, sy);
        ASSERT_GE(g->runUntil([&] { return door.state != DOOR_CLOSED; }, 400), 1)
            << "the door did not open";
        g->run(4);
        shot(*g, "door-swinging");
        ASSERT_GE(g->runUntil([&] { return door.state == DOOR_OPEN; }, 400), 0);

        // A chest and a side of it from which the mouse can be put over it.
        ChestRecord* found = nullptr;
        for (i = 0; i < d.width && !found; ++i)
            for (j = 0; j < d.height && !found; ++j)
                if (d.code(i, j) == CELL_CHEST) found = chestInSight(d, i, j);
        ASSERT_NE(found, nullptr) << "no chest could be pointed at";
        ChestRecord& chest = *found;
        g->click(sx, sy);
        ASSERT_GE(g->runUntil([&] { return chest.opened == 1; }, 400), 1);
        EXPECT_STREQ(g_engine.statusLine, "Chest opened");
        g->run(2);
        shot(*g, "chest");
    }

    // Stands the player beside the chest of cell (i, j), side after side, until
    // the mouse put over it picks it; null when no side serves.
    ChestRecord* chestInSight(Dungeon& d, int i, int j) {
        ChestRecord* chest = d.cell(i, j).chest.get();
        if (!chest) return nullptr;
        for (int side = 0; side < 4; ++side) {
            if (!standBesideCell(*g, d, i, j, side)) return nullptr;
            g->run(3);
            for (int k = 0; k < 27; ++k)
                if (pointAt(chest->x + 4 * (k % 3), chest->y + 4 * (k / 3 % 3),
                            d.cell(i, j).z + 4 + 4 * (k / 9)) &&
                    g_picker.isPicked(PickChest, std::uint32_t(chest->id)))
                    return chest;
        }
        return nullptr;
    }

    void walkBelow(Dungeon& d) {
        ActorController& p = g->player();
        ScreenTarget t;
        ASSERT_TRUE(floorAhead(*g, d, t)) << "no open floor in view";
        g->click(t.sx, t.sy);
        ASSERT_GE(g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 3), 1);
        ASSERT_GE(g->runUntil([&] { return standing(p); }, 400), 0);
        EXPECT_LT(distance2d(p.position, t.x, t.y), 20.0);
        EXPECT_NEAR(p.position[2],
                    d.floorHeightAt(p.position[0], p.position[1]) + p.instance.slot->halfHeight,
                    1.0)
            << "on the dungeon floor";
        shot(*g, "walk-below");
    }

    void upTheStairs(Dungeon& d, const double stood[2]) {
        ActorController& p = g->player();
        ASSERT_TRUE(standBesideCell(*g, d, d.stairsRow, d.stairsColumn));
        g->run(3);
        ASSERT_TRUE(pointAt(d.exitX + d.halfCellX, d.exitY + d.halfCellY, d.exitZ + 2));
        ASSERT_TRUE(g_picker.isPickedType(PickDungeonExit));
        g->click(sx, sy);
        ASSERT_GE(g->runUntil([&] { return !g->inDungeon(); }, 400), 1) << "never came up";
        EXPECT_EQ(p.position[0], stood[0]);
        EXPECT_EQ(p.position[1], stood[1]);
        EXPECT_NEAR(p.position[2], g->groundAt(stood[0], stood[1]) + p.instance.slot->halfHeight,
                    1.0)
            << "standing on the ground";
        g->run(3);
        shot(*g, "back-outside");
    }

    void screens() {
        g->press('I');
        ASSERT_GE(g->runUntil([] { return g_screens.inventoryScreen != nullptr; }, 50), 0);
        g->run(5);
        clickOnWindow(g_screens.inventoryScreen, 30, 200); // backpack slot 0: the helm
        ASSERT_GE(g->runUntil([] { return g_screens.inventory.selectedSlot == 0; }, 50), 0);
        clickOnWindow(g_screens.inventoryScreen, 110, 30); // equipment slot 28
        ASSERT_GE(g->runUntil([] { return g_screens.inventory.selectedSlot == NO_SELECTION; }, 50),
                  0);
        EXPECT_STREQ(g_screens.inventory.slots[28].item.name, "helm");
        clickOnWindow(g_screens.lootScreen, 20, 20); // loot slot 0: the sword
        ASSERT_GE(g->runUntil([] { return g_screens.inventory.loot[0].empty; }, 50), 0);
        EXPECT_STREQ(g_screens.inventory.slots[0].item.name, "sword");
        g->run(3);
        shot(*g, "screens");
    }

    Game* g = nullptr;
    SearchSlice slice{WHOLE_SEARCH_MS};
    int sx = 0, sy = 0;
};

TEST_F(PlayWholeGame, FromStartUpThroughAFightAndTheDungeonToQuit) {
    startUp();
    firstWalk();
    if (HasFatalFailure()) return;
    const int foe = creatureChases();
    if (HasFatalFailure()) return;
    fightToDeath(foe);
    if (HasFatalFailure()) return;
    double stood[2] = {0.0, 0.0};
    downThroughTheEntrance(stood);
    if (HasFatalFailure()) return;
    ASSERT_NE(dungeon, nullptr);
    walkBelow(*dungeon);
    if (HasFatalFailure()) return;
    doorAndChest(*dungeon);
    if (HasFatalFailure()) return;
    upTheStairs(*dungeon, stood);
    if (HasFatalFailure()) return;
    screens();
    if (HasFatalFailure()) return;
    EXPECT_EQ(g->quit(), 0);
}

} // namespace
