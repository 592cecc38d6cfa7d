#include "tests/play/steps.h"

#include "actor/ground.h"
#include "core/camera.h"

#include <cmath>
#include <cstdlib>

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

bool Scenario::pointAt(double x, double y, double z) {
    if (!g->screenPointOf(x, y, z, sx, sy) || !wellInside(sx, sy)) return false;
    g->moveMouse(sx, sy);
    g->run(2);
    return true;
}

} // namespace play
