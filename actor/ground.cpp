#include "actor/ground.h"

#include "dungeon/world.h"
#include "render/engine.h"

ActorGround g_actorGround = {worldIsWalkable, worldHeightAt};

// Outside, the local terrain window answers; where it has no page the ground
// is open and flat. The dungeon does not answer yet: its floor is open and
// flat too.
bool worldIsWalkable(double x, double y, double z) {
    if (!g_engine.inDungeon && localTerrain) return localTerrain->isWalkable(x, y, z);
    return true;
}

double worldHeightAt(double x, double y, double z) {
    if (!g_engine.inDungeon && localTerrain) return localTerrain->heightAt(x, y, z);
    return 0.0;
}

void useWorldGround() {
    g_actorGround = {worldIsWalkable, worldHeightAt};
}
