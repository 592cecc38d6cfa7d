// The whole game in one session, as a player plays it: start-up, a walk, a
// creature that chases and is fought to its death, a walk to a dungeon
// entrance and down, a door, a chest and a walk below, the stairs back up to
// where he stood, the inventory and loot screens by key I, and Escape. With
// ZEB_SHOTS=DIR every step leaves a screenshot in DIR.
#include "tests/play/steps.h"

#include "actor/combat.h"
#include "actor/creatures.h"
#include "actor/ground.h"
#include "app/input.h"
#include "core/camera.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "interact/picker.h"
#include "interact/portal.h"
#include "platform/win.h"
#include "render/engine.h"
#include "screens/screens.h"

#include <cmath>
#include <functional>

namespace {

using namespace play;

class PlayWholeGame : public Scenario {
  protected:
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
        // The merged move, then the press: the search is done in that pass,
        // toward the frame's unprojection of the clicked pixel.
        ASSERT_GE(g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 2), 1);
        EXPECT_TRUE(p.pathFound);
        EXPECT_LT(std::hypot(p.searchGoalX - t.x, p.searchGoalY - t.y), UNPROJECT_TOLERANCE);
        EXPECT_GE(
            g->runUntil([&] { return p.position[0] != from[0] || p.position[1] != from[1]; }, 2), 1)
            << "the first step comes at once";
        ASSERT_GE(g->runUntil([&] { return standing(p); }, 300), 0);
        EXPECT_LE(cellsToGoal(p), p.arriveDistance);
        shot(*g, "first-walk");
    }

    // A creature whose home lies ahead; the player walks into it and is chased.
    int creatureChases() {
        const int i = 0;
        ScreenTarget home;
        EXPECT_TRUE(groundAhead(*g, 110.0, 0.0, home));
        ActorController& c = g->actor(i);
        spawnCreatureAt(i, home);
        ScreenTarget into;
        EXPECT_TRUE(groundAhead(*g, 90.0, 0.0, into));
        g->click(into.sx, into.sy);
        EXPECT_GE(g->runUntil([&] { return c.action == ACTION_CHASE; }, 600), 0) << "no chase";
        auto apart = [&] {
            return distance2d(c.position, g->player().position[0], g->player().position[1]);
        };
        const double start = apart();
        g->runUntil([&] { return apart() < 25.0; }, 400);
        EXPECT_LT(apart(), start - 10.0) << "the creature came closer";
        shot(*g, "chased");
        return i;
    }

    // Clicks on the creature until it dies; experience and gold come once.
    void fightToDeath(int i) {
        NPCRecord& foe = g_creatures.records[i];
        PlayerCharacter& hero = *playerCharacter;
        const int experience = hero.experience, gold = hero.gold, level = hero.level;
        const std::size_t logStart = g->logLines().size();
        ASSERT_TRUE(kill(i));
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
        EXPECT_LT(door.angle, 90.0f) << "the door swings over frames";
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
        const double from[3] = {p.position[0], p.position[1], 0.0};
        g->click(t.sx, t.sy);
        ASSERT_GE(g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 3), 1);
        bool onFloor = true;
        ASSERT_GE(g->runUntil(
                      [&] {
                          onFloor = onFloor &&
                                    g_actorGround.isWalkable(p.position[0], p.position[1], 0.0) &&
                                    std::fabs(p.position[2] - p.instance.slot->halfHeight -
                                              d.floorHeightAt(p.position[0], p.position[1])) < 1e-3;
                          return standing(p);
                      },
                      400),
                  0);
        EXPECT_TRUE(onFloor) << "on the dungeon floor all the way";
        // Arrived as the search counts it (a Euclidean bound below the arrive
        // distance failed on a legal arrival straight along one axis).
        EXPECT_LT(std::hypot(p.searchGoalX - t.x, p.searchGoalY - t.y), UNPROJECT_TOLERANCE);
        EXPECT_LE(cellsToGoal(p), p.arriveDistance);
        EXPECT_GT(distance2d(from, p.position[0], p.position[1]), 2.0 * d.cellSizeX - 20);
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

    // The screens, whose clicks do not send the player walking; key I puts
    // them away again.
    void screens() {
        const double start[2] = {g->player().position[0], g->player().position[1]};
        screensWearTheHelmAndTakeTheSword();
        if (HasFatalFailure()) return;
        EXPECT_TRUE(g->boxes.empty());
        EXPECT_LT(distance2d(g->player().position, start[0], start[1]), 1.0);
        shot(*g, "screens");
        g->press('I');
        g->runUntil([] { return !g_screens.inventoryInputEnabled; }, 50);
        EXPECT_FALSE(win::IsWindowVisible(g_screens.inventoryScreen));
        EXPECT_FALSE(win::IsWindowVisible(g_screens.lootScreen));
        EXPECT_TRUE(win::IsWindowVisible(g_screens.textScreen));
    }

    // Escape ends the game with status 0 and the log's last line.
    void quit() {
        EXPECT_EQ(g->quit(), 0);
        std::vector<std::string> lines = g->logLines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.front(), "ERROR LOG");
        EXPECT_EQ(lines.back(), "Shutting down...");
    }
};

TEST_F(PlayWholeGame, FromStartUpThroughAFightAndTheDungeonToQuit) {
    int foe = 0;
    double stood[2] = {0.0, 0.0};
    const std::function<void()> steps[] = {
        [&] { startUp(); },
        [&] { firstWalk(); },
        [&] { foe = creatureChases(); },
        [&] { fightToDeath(foe); },
        [&] { downThroughTheEntrance(stood); },
        [&] { ASSERT_NE(dungeon, nullptr); },
        [&] { walkBelow(*dungeon); },
        [&] { doorAndChest(*dungeon); },
        [&] { upTheStairs(*dungeon, stood); },
        [&] { screens(); },
        [&] { quit(); },
    };
    for (const auto& step : steps) {
        step();
        if (HasFatalFailure()) return;
    }
}

} // namespace
