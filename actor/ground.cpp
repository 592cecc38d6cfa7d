#include "actor/ground.h"

#include "render/engine.h"

ActorGround g_actorGround = {worldIsWalkable, worldHeightAt};

// Until the terrain window and the dungeon answer, all ground is open and flat.
bool worldIsWalkable(double, double, double) {
    return true;
}

double worldHeightAt(double, double, double) {
    return 0.0;
}

void useWorldGround() {
    g_actorGround = {worldIsWalkable, worldHeightAt};
}
