#include "tests/play/steps.h"

#include "actor/ground.h"
#include "core/camera.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "dungeon/world.h"
#include "interact/portal.h"
#include "platform/win.h"
#include "terrain/terrain.h"
#include "tests/render/bmp_writer.h"

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

void clickOnWindow(void* window, int x, int y) {
    const std::uint32_t id = SDL_GetWindowID(static_cast<SDL_Window*>(window));
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = id;
    e.motion.x = x;
    e.motion.y = y;
    SDL_PushEvent(&e);
    for (bool down : {true, false}) {
        e = SDL_Event{};
        e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.windowID = id;
        e.button.button = SDL_BUTTON_LEFT;
        e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.button.clicks = 1;
        e.button.x = x;
        e.button.y = y;
        SDL_PushEvent(&e);
    }
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

} // namespace play
