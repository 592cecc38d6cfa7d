// The whole game in one session, as a player plays it: start-up with the
// creatures around the start, a click on a creature and one on the ground
// that drops the attack, a creature that chases and is fought to its death
// (with a level), a walk to a dungeon entrance and down, a walk below, a door
// and a chest, the stairs back up to where he stood, the inventory and loot
// screens by key I, and Escape.
#include "tests/play/steps.h"

#include "actor/combat.h"
#include "actor/creatures.h"
#include "actor/ground.h"
#include "app/input.h"
#include "core/camera.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "interact/picker.h"
#include "interact/portal.h"
#include "platform/win.h"
#include "render/engine.h"
#include "screens/screens.h"
#include "terrain/terrain.h"
#include "tests/support/sdl_events.h"
#include "tests/support/test_window.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <numeric>

namespace {

using namespace play;

// Lines starting with these texts appear in this order from `from` on;
// `missing` names the first that does not.
bool inOrder(const std::vector<std::string>& log, std::size_t from,
             const std::vector<std::string>& lines, std::string& missing) {
    std::size_t at = from;
    for (const std::string& line : lines) {
        while (at < log.size() && log[at].rfind(line, 0) != 0)
            ++at;
        if (at == log.size()) {
            missing = line;
            return false;
        }
        ++at;
    }
    return true;
}

// Log lines from `from` on that contain `text`.
int countLines(const std::vector<std::string>& log, std::size_t from, const std::string& text) {
    int n = 0;
    for (std::size_t at = from; at < log.size(); ++at)
        n += log[at].find(text) != std::string::npos;
    return n;
}

// The dungeon entrance on the terrain nearest to (x, y), or null.
const Portal* nearestEntrance(double x, double y) {
    const Portal* best = nullptr;
    double bestDistance = 1e18;
    if (!terrain) return nullptr;
    for (const TerrainPage* page = terrain->head; page; page = page->next)
        for (int k = 0; k < page->portalCount; ++k) {
            const Portal& portal = page->portals[k];
            if (portal.type != PORTAL_DUNGEON_ENTRANCE) continue;
            const double d = std::hypot(portal.x - x, portal.y - y);
            if (d < bestDistance) bestDistance = d, best = &portal;
        }
    return best;
}

// Stands the player on an open floor cell beside cell (i, j), the camera
// looking at that cell; sides are tried from `side` (0 to 3) on.
bool standBesideCell(Game& g, Dungeon& d, int i, int j, int side = 0) {
    static const int sides[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    ActorController& p = g.player();
    const float half = float(p.instance.slot ? p.instance.slot->halfHeight : 0);
    for (int k = side; k < 4; ++k) {
        const int* s = sides[k];
        const int a = i + s[0], b = j + s[1];
        if (d.code(a, b) != CELL_FLOOR) continue;
        p.pathIndex = p.pathLength = 0;
        p.position[0] = (a + 0.5) * d.cellSizeX;
        p.position[1] = (b + 0.5) * d.cellSizeY;
        p.position[2] = d.floorHeightAt(p.position[0], p.position[1]) + half;
        g_camera.yaw = float(std::atan2(-s[1], -s[0]));
        g_camera.follow(p.position);
        return true;
    }
    return false;
}

// The first cell with this code.
bool findCell(const Dungeon& d, int code, int& i, int& j) {
    for (i = 0; i < d.width; ++i)
        for (j = 0; j < d.height; ++j)
            if (d.code(i, j) == code) return true;
    return false;
}

// True when nothing solid stands on the line from the camera's eye to the
// point: wall blocks, doors, chests and the stairs hide what lies behind.
bool inSight(const Dungeon& d, double x, double y, double z) {
    const double* e = g_camera.eye;
    for (int k = 1; k < 200; ++k) {
        const double t = k / 200.0;
        const double px = e[0] + t * (x - e[0]), py = e[1] + t * (y - e[1]);
        const double pz = e[2] + t * (z - e[2]);
        const int code = d.code(int(px / d.cellSizeX), int(py / d.cellSizeY));
        if (code != CELL_FLOOR && code != CELL_TORCH && pz < d.wallHeight + 1) return false;
    }
    return true;
}

// A left click that the display gives to another top-level window (a game
// screen), at a point of its client area.
void clickOnWindow(void* window, int x, int y) {
    SDL_Window* w = static_cast<SDL_Window*>(window);
    testsupport::pushMotion(w, x, y);
    testsupport::pushButton(w, SDL_BUTTON_LEFT, true, x, y);
    testsupport::pushButton(w, SDL_BUTTON_LEFT, false, x, y);
}

// Open floor on the cell and its eight neighbours.
bool openFloorAround(const Dungeon& d, int i, int j) {
    for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj)
            if (d.code(i + di, j + dj) != CELL_FLOOR) return false;
    return true;
}

// An open floor cell three to five cells from the player, with open floor all
// around it, in sight of the camera and well inside the window.
bool floorAhead(Game& g, const Dungeon& d, ScreenTarget& t) {
    const ActorController& p = g.player();
    const int pi = int(p.position[0] / d.cellSizeX), pj = int(p.position[1] / d.cellSizeY);
    for (int radius = 3; radius <= 5; ++radius)
        for (int i = pi - radius; i <= pi + radius; ++i)
            for (int j = pj - radius; j <= pj + radius; ++j) {
                if (std::max(std::abs(i - pi), std::abs(j - pj)) != radius) continue;
                if (!openFloorAround(d, i, j)) continue;
                t.x = i * d.cellSizeX + d.cellSizeX / 2.0;
                t.y = j * d.cellSizeY + d.cellSizeY / 2.0;
                t.z = d.floorHeightAt(t.x, t.y);
                if (!inSight(d, t.x, t.y, t.z)) continue;
                if (g.screenPointOf(t.x, t.y, t.z, t.sx, t.sy) && wellInside(t.sx, t.sy))
                    return true;
            }
    return false;
}

class PlayWholeGame : public Scenario {
  protected:
    // Points at creature i and clicks it until it is dead (at most 40 times):
    // each click is picked and runs one attack (at once when within reach).
    bool kill(int i) {
        const ActorController& c = g->actor(i);
        for (int n = 0; n < 40 && g_creatures.records[i].health >= 1; ++n) {
            if (!pointAt(c.position[0], c.position[1], c.position[2])) {
                ADD_FAILURE() << "creature off the screen";
                return false;
            }
            if (!g_picker.isPicked(PickCreature, std::uint32_t(c.instance.id))) {
                ADD_FAILURE() << "not picked: " << g_picker.hitType << " " << g_picker.hitId;
                return false;
            }
            const int before = countLines(g->logLines(), 0, "Running attack");
            clickThere();
            if (g->runUntil(
                    [&] {
                        return g->pendingAction() == PENDING_NONE &&
                               countLines(g->logLines(), 0, "Running attack") == before + 1;
                    },
                    300) < 0)
                return false;
        }
        return g_creatures.records[i].health < 1;
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
    int outsideFar = 0;

    void startUp() {
        std::string missing;
        EXPECT_TRUE(
            inOrder(g->logLines(), 0,
                    {"Initializing...", "Building font #0", "Multitexturing",
                     "Setting engine level to 3", "Done with detail.", "Entering outside...",
                     "Building outside...", "1024 pages created.", "TERRAIN MEMORY FREE."},
                    missing))
            << "missing: " << missing;
        // The splash fades ran to their end.
        EXPECT_GE(g_engine.splashTimer[0], g_engine.splashTimer[1]);
        outsideFar = g_camera.far;
        // Twenty-four creatures of several kinds stand on open ground around the start.
        int kinds[CREATURE_TYPE_COUNT] = {};
        for (int i = 0; i < CREATURE_COUNT; ++i) {
            const ActorController& c = g->actor(i);
            SCOPED_TRACE("creature " + std::to_string(i));
            EXPECT_TRUE(g_creatures.placed[i] && c.active);
            EXPECT_LT(std::abs(c.position[0] - g->player().position[0]) +
                          std::abs(c.position[1] - g->player().position[1]),
                      1600);
            EXPECT_TRUE(g_actorGround.isWalkable(c.position[0], c.position[1], 0.0));
            for (int t = 0; t < CREATURE_TYPE_COUNT; ++t)
                kinds[t] += c.instance.slot == &g_modelSlots[g_creatures.types[t].slot];
        }
        EXPECT_EQ(std::accumulate(std::begin(kinds), std::end(kinds), 0), CREATURE_COUNT);
        EXPECT_GE(CREATURE_TYPE_COUNT - std::count(std::begin(kinds), std::end(kinds), 0), 4);
    }

    // A click on a creature far ahead sets an attack pending; a click on open
    // ground to the side, on the way, drops it and the player walks there.
    void groundClickDropsAPendingAttack() {
        ActorController& p = g->player();
        ActorController& c = g->actor(1);
        const double home[3] = {c.position[0], c.position[1], c.position[2]};
        ScreenTarget t;
        ASSERT_TRUE(groundAhead(*g, 75.0, 0.0, t));
        c.position[0] = t.x;
        c.position[1] = t.y;
        c.position[2] = t.z;
        ASSERT_TRUE(pointAt(t.x, t.y, t.z + 4));
        ASSERT_TRUE(g_picker.isPicked(PickCreature, std::uint32_t(c.instance.id)));
        clickThere();
        ASSERT_GE(g->runUntil([&] { return g->pendingAction() == PENDING_ATTACK; }, 3), 1);
        c.active = false; // it must not come to the player meanwhile
        g->run(1);
        const double a = g_camera.yaw + PI / 2;
        double x = 0, y = 0;
        bool found = false;
        for (double r = 30; r <= 60 && !found; r += 5) {
            x = p.position[0] + r * std::cos(a);
            y = p.position[1] + r * std::sin(a);
            found = openGround(x, y) && pointAt(x, y, g->groundAt(x, y));
        }
        ASSERT_TRUE(found);
        ASSERT_EQ(g->pendingAction(), PENDING_ATTACK) << "still on the way to the creature";
        const std::size_t logStart = g->logLines().size();
        clickThere();
        ASSERT_GE(g->runUntil([&] { return g->pendingAction() == PENDING_NONE; }, 3), 1);
        ASSERT_GE(g->runUntil([&] { return standing(p); }, 400), 1);
        EXPECT_LT(distance2d(p.position, x, y), 2.0 * p.arriveDistance);
        EXPECT_EQ(countLines(g->logLines(), logStart, "Running attack"), 0);
        std::copy(home, home + 3, c.position);
        c.active = true;
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
        auto apart = [&] {
            return distance2d(c.position, g->player().position[0], g->player().position[1]);
        };
        const double start = apart();
        g->runUntil([&] { return apart() < 25.0; }, 400);
        EXPECT_LT(apart(), start - 10.0) << "the creature came closer";
        return i;
    }

    // Clicks on the creature until it dies: it pays once, its experience
    // raises the level, and its death plays to the last frame and is held.
    void fightToDeath(int i) {
        NPCRecord& foe = g_creatures.records[i];
        PlayerCharacter& hero = *playerCharacter;
        ASSERT_GT(foe.experienceValue, 0);
        hero.experienceToNext = foe.experienceValue;
        const int experience = hero.experience, gold = hero.gold, level = hero.level;
        const std::size_t logStart = g->logLines().size();
        ASSERT_TRUE(kill(i));
        EXPECT_STREQ(g_engine.statusLine, "Killed!");
        const auto log = g->logLines();
        const int attacks = countLines(log, logStart, "Running attack");
        EXPECT_GE(attacks, 1);
        EXPECT_EQ(countLines(log, logStart, "DAMAGE: "), attacks);
        // Armour 0: no misses.
        EXPECT_EQ(countLines(log, logStart, "Critical hit") + countLines(log, logStart, "Hit!"),
                  attacks);
        EXPECT_EQ(hero.experience, experience + foe.experienceValue);
        EXPECT_EQ(hero.gold, gold + foe.gold);
        EXPECT_EQ(hero.level, level + 1);
        EXPECT_EQ(hero.experienceToNext, 1000 * (hero.level * (hero.level + 1) / 2));
        // One more attack on the body rolls but pays nothing again.
        hero.target = &foe;
        attack(hero, foe, *defaultWeapon);
        EXPECT_EQ(hero.gold, gold + foe.gold);
        EXPECT_EQ(hero.experience, experience + foe.experienceValue);

        ActorController& c = g->actor(i);
        EXPECT_FALSE(c.active) << "a dead creature is no longer updated";
        const int deathAnimation = c.instance.slot->deathAnimation;
        const ModelAnimation* death = c.instance.slot->model->animation(deathAnimation);
        ASSERT_NE(death, nullptr);
        EXPECT_EQ(c.instance.animation, deathAnimation);
        ASSERT_GE(g->runUntil([&] { return c.instance.frame == death->endFrame - 1; }, 3000), 0);
        const double x = c.position[0], y = c.position[1];
        g->run(100);
        // A creature that carries its weapon into death may replay the death
        // (the weapon's own frame step wraps); it stays in the death animation.
        const ModelSlot& look = *c.instance.slot;
        if (look.hasWeapon && look.showsWeapon(deathAnimation)) {
            EXPECT_EQ(c.instance.animation, deathAnimation);
            EXPECT_GE(c.instance.frame, death->startFrame);
            EXPECT_LT(c.instance.frame, death->endFrame);
        } else {
            EXPECT_EQ(c.instance.frame, death->endFrame - 1);
        }
        EXPECT_TRUE(c.position[0] == x && c.position[1] == y) << "the body lies still";
        hero.health -= 60;
        g->run(1);
        EXPECT_EQ(g_engine.statusBarValues[0], hero.health) << "the bars follow the party leader";
    }

    // Walks toward the nearest entrance, clicks it and goes down; returns
    // where the player stood when he went down.
    void downThroughTheEntrance(double stood[2]) {
        ActorController& p = g->player();
        const Portal* portal = nearestEntrance(p.position[0], p.position[1]);
        ASSERT_NE(portal, nullptr);
        for (int leg = 0;; ++leg) {
            // Turn the camera toward the entrance, as a drag of the right button does.
            g_camera.yaw = float(std::atan2(portal->y - p.position[1], portal->x - p.position[0]));
            g->run(2);
            const double left = distance2d(p.position, portal->x, portal->y);
            if (leg == 12 || left <= 70.0) break;
            walkAhead(std::min(90.0, left - 50.0));
            if (HasFatalFailure()) return;
        }
        ASSERT_TRUE(pointAt(portal->x, portal->y, portal->z + 5))
            << "entrance " << distance2d(p.position, portal->x, portal->y) << " units away";
        ASSERT_TRUE(g_picker.isPicked(PickPortal, std::uint32_t(portal->id)))
            << g_picker.hitType << " " << g_picker.hitId;
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
        EXPECT_EQ(g_engine.fogStart, 180.0f);
        EXPECT_EQ(g_engine.fogEnd, 320.0f);
        EXPECT_EQ(g_engine.fogColor[0], 0.0f);
        EXPECT_EQ(g_camera.far, 1000);
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
        // Open floor in view is clicked; where walls hide it or the click does not
        // set the player walking, he is stood beside open floor, cell after cell.
        auto setOut = [&] {
            if (!floorAhead(*g, d, t)) return false;
            g->click(t.sx, t.sy);
            return g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 3) >= 1;
        };
        bool found = setOut();
        for (int i = 1; i + 1 < d.width && !found; ++i)
            for (int j = 1; j + 1 < d.height && !found; ++j)
                if (openFloorAround(d, i, j) && standBesideCell(*g, d, i, j)) {
                    g->run(2);
                    found = setOut();
                }
        ASSERT_TRUE(found) << "no click on open floor set the player walking";
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
        // Arrived as the search counts it; a step off a whole-unit start may floor a unit aside.
        EXPECT_LT(std::hypot(p.searchGoalX - t.x, p.searchGoalY - t.y), UNPROJECT_TOLERANCE);
        EXPECT_LE(cellsToGoal(p), p.arriveDistance + 1);
    }

    void upTheStairs(Dungeon& d, const double stood[2]) {
        ActorController& p = g->player();
        ASSERT_TRUE(standBesideCell(*g, d, d.stairsRow, d.stairsColumn));
        g->run(3);
        ASSERT_TRUE(pointAt(d.exitX + d.halfCellX, d.exitY + d.halfCellY, d.exitZ + 2));
        ASSERT_TRUE(g_picker.isPickedType(PickDungeonExit));
        const std::size_t logStart = g->logLines().size();
        g->click(sx, sy);
        ASSERT_GE(g->runUntil([&] { return !g->inDungeon(); }, 400), 1) << "never came up";
        std::string missing;
        EXPECT_TRUE(
            inOrder(g->logLines(), logStart,
                    {"Entering outside...", "Killing dungeon...", "Deleting dungeon...",
                     "DELETING DUNGEON: ", "Building outside...", "ERROR: Terrain already exists!"},
                    missing))
            << "missing: " << missing;
        EXPECT_EQ(dungeon, nullptr);
        EXPECT_EQ(g_camera.far, outsideFar);
        EXPECT_EQ(p.position[0], stood[0]);
        EXPECT_EQ(p.position[1], stood[1]);
        EXPECT_NEAR(p.position[2], g->groundAt(stood[0], stood[1]) + p.instance.slot->halfHeight,
                    1.0)
            << "standing on the ground";
    }

    // Key I brings up the screens; clicks on the inventory wear the helm from
    // the backpack and take the sword from the loot, as their pixels show,
    // and do not send the player walking; key I puts them away again.
    void screens() {
        const double start[2] = {g->player().position[0], g->player().position[1]};
        constexpr win::COLORREF GREEN = win::RGB(0, 255, 0), BLUE = win::RGB(0, 0, 255);
        constexpr win::COLORREF BLACK = win::RGB(0, 0, 0);
        g->press('I');
        ASSERT_GE(g->runUntil([] { return g_screens.inventoryScreen != nullptr; }, 50), 0)
            << "the first press makes the screens";
        g->run(10);
        for (win::HWND hwnd : {g_screens.textScreen, g_screens.queueScreen, g_screens.actionScreen,
                               g_screens.inventoryScreen, g_screens.lootScreen})
            EXPECT_TRUE(win::IsWindowVisible(hwnd));
        EXPECT_FALSE(win::IsWindowVisible(g_screens.characterScreen));
        win::HWND inventory = g_screens.inventoryScreen;
        EXPECT_EQ(testsupport::pixelOf(inventory, 17, 200), GREEN) << "the helm in backpack slot 0";

        // The game takes one message a pass: a click is handled within a few passes.
        clickOnWindow(inventory, 30, 200);
        ASSERT_GE(g->runUntil([] { return g_screens.inventory.selectedSlot == 0; }, 50), 0);
        g->run(3);
        EXPECT_EQ(testsupport::pixelOf(inventory, 17, 200), BLUE) << "picked up";
        clickOnWindow(inventory, 110, 30); // equipment slot 28
        ASSERT_GE(g->runUntil([] { return g_screens.inventory.selectedSlot == NO_SELECTION; }, 50),
                  0);
        g->run(3);
        EXPECT_STREQ(g_screens.inventory.slots[28].item.name, "helm");
        EXPECT_EQ(testsupport::pixelOf(inventory, 99, 20), GREEN) << "the helm worn in slot 28";
        EXPECT_EQ(testsupport::pixelOf(inventory, 17, 200), BLACK) << "backpack slot 0 empty";

        clickOnWindow(g_screens.lootScreen, 20, 20); // loot slot 0: the sword
        ASSERT_GE(g->runUntil([] { return g_screens.inventory.loot[0].empty; }, 50), 0);
        g->run(3);
        EXPECT_STREQ(g_screens.inventory.slots[0].item.name, "sword");
        EXPECT_EQ(testsupport::pixelOf(inventory, 17, 200), GREEN)
            << "the sword in backpack slot 0";
        EXPECT_EQ(testsupport::pixelOf(g_screens.lootScreen, 6, 10), BLACK) << "loot slot 0 empty";
        EXPECT_TRUE(g->boxes.empty());
        EXPECT_LT(distance2d(g->player().position, start[0], start[1]), 1.0);
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
        [&] { groundClickDropsAPendingAttack(); },
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
