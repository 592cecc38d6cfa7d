#include "tests/play/steps.h"

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
#include "screens/screens.h"
#include "terrain/terrain.h"
#include "tests/render/bmp_writer.h"
#include "tests/support/sdl_events.h"
#include "tests/support/test_window.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <algorithm>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace play {

bool openGround(double x, double y) {
    for (int dx = -4; dx <= 4; dx += 4)
        for (int dy = -4; dy <= 4; dy += 4)
            if (!g_actorGround.isWalkable(x + dx, y + dy, 0.0)) return false;
    return true;
}

bool wellInside(int sx, int sy) {
    return sx > 40 && sx < 984 && sy > 40 && sy < 728;
}

bool standing(const ActorController& p) {
    return p.pathFinished() && p.action == ACTION_IDLE;
}

double distance2d(const double position[3], double x, double y) {
    return std::hypot(position[0] - x, position[1] - y);
}

int cellsToGoal(const ActorController& p) {
    return std::abs(int(p.position[0]) - int(p.searchGoalX)) +
           std::abs(int(p.position[1]) - int(p.searchGoalY));
}

bool groundAhead(Game& g, double distance, double turn, ScreenTarget& t) {
    const ActorController& p = g.player();
    for (int k = 0; k < 24; ++k) {
        const double offset = (k % 2 ? 1 : -1) * ((k + 1) / 2) * (PI / 36);
        const double a = g_camera.yaw + turn + offset;
        t.x = p.position[0] + distance * std::cos(a);
        t.y = p.position[1] + distance * std::sin(a);
        if (!openGround(t.x, t.y)) continue;
        t.z = g.groundAt(t.x, t.y);
        if (g.screenPointOf(t.x, t.y, t.z, t.sx, t.sy) && wellInside(t.sx, t.sy)) return true;
    }
    return false;
}

void spawnCreatureAt(int i, const ScreenTarget& t) {
    ActorController& c = g_actors[i];
    c.position[0] = std::floor(t.x) + 0.5;
    c.position[1] = std::floor(t.y) + 0.5;
    g_creatures.placed[i] = true;
    g_creatures.spawn(i);
}

std::size_t findLine(const std::vector<std::string>& log, std::size_t from,
                     const std::vector<std::string>& starts) {
    for (std::size_t at = from; at < log.size(); ++at)
        for (const std::string& s : starts)
            if (log[at].rfind(s, 0) == 0) return at;
    return std::string::npos;
}

bool inOrder(const std::vector<std::string>& log, std::size_t from,
             const std::vector<std::string>& lines, std::string& missing) {
    std::size_t at = from;
    for (const std::string& line : lines) {
        at = findLine(log, at, {line});
        if (at == std::string::npos) {
            missing = line;
            return false;
        }
        ++at;
    }
    return true;
}

int countLines(const std::vector<std::string>& log, std::size_t from, const std::string& text) {
    int n = 0;
    for (std::size_t at = from; at < log.size(); ++at)
        n += log[at].find(text) != std::string::npos;
    return n;
}

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

bool standBesideCell(Game& g, Dungeon& d, int i, int j, int side) {
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

bool findCell(const Dungeon& d, int code, int& i, int& j) {
    for (i = 0; i < d.width; ++i)
        for (j = 0; j < d.height; ++j)
            if (d.code(i, j) == code) return true;
    return false;
}

namespace {

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

bool openFloorAround(const Dungeon& d, int i, int j) {
    for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj)
            if (d.code(i + di, j + dj) != CELL_FLOOR) return false;
    return true;
}

} // namespace

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

void shot(Game& g, const char* name) {
    static int count = 0;
    const char* dir = std::getenv("ZEB_SHOTS");
    if (!dir || !*dir) return;
    char path[512];
    std::snprintf(path, sizeof path, "%s/%02d-%s.bmp", dir, ++count, name);
    const std::string file = path;
    // The next frame is read back before it is shown.
    win::SetBeforeSwap([file] {
        const int w = g_settings.screenWidth, h = g_settings.screenHeight;
        std::vector<unsigned char> rgb(std::size_t(w) * h * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        const auto bmp = bmptest::makeBmp(w, h, [&](int x, int y) {
            const unsigned char* c = &rgb[(std::size_t(y) * w + x) * 3];
            return std::vector<unsigned char>{c[0], c[1], c[2]};
        });
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bmp.data()), std::streamsize(bmp.size()));
    });
    g.run(1);
    win::SetBeforeSwap(nullptr);
}

bool Scenario::pointAt(double x, double y, double z) {
    if (!g->screenPointOf(x, y, z, sx, sy) || !wellInside(sx, sy)) return false;
    g->moveMouse(sx, sy);
    g->run(2);
    return true;
}

bool Scenario::attackOnce(int i) {
    const ActorController& c = g->actor(i);
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
    return g->runUntil(
               [&] {
                   return g->pendingAction() == PENDING_NONE &&
                          countLines(g->logLines(), 0, "Running attack") == before + 1;
               },
               300) >= 0;
}

bool Scenario::kill(int i) {
    for (int n = 0; n < 40 && g_creatures.records[i].health >= 1; ++n)
        if (!attackOnce(i)) return false;
    return g_creatures.records[i].health < 1;
}

void Scenario::screensWearTheHelmAndTakeTheSword() {
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
    ASSERT_GE(g->runUntil([] { return g_screens.inventory.selectedSlot == NO_SELECTION; }, 50), 0);
    g->run(3);
    EXPECT_STREQ(g_screens.inventory.slots[28].item.name, "helm");
    EXPECT_EQ(testsupport::pixelOf(inventory, 99, 20), GREEN) << "the helm worn in slot 28";
    EXPECT_EQ(testsupport::pixelOf(inventory, 17, 200), BLACK) << "backpack slot 0 empty";

    clickOnWindow(g_screens.lootScreen, 20, 20); // loot slot 0: the sword
    ASSERT_GE(g->runUntil([] { return g_screens.inventory.loot[0].empty; }, 50), 0);
    g->run(3);
    EXPECT_STREQ(g_screens.inventory.slots[0].item.name, "sword");
    EXPECT_EQ(testsupport::pixelOf(inventory, 17, 200), GREEN) << "the sword in backpack slot 0";
    EXPECT_EQ(testsupport::pixelOf(g_screens.lootScreen, 6, 10), BLACK) << "loot slot 0 empty";
}

} // namespace play
