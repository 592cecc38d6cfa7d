#include "actor/ground.h"

#include "dungeon/world.h"
#include "render/engine.h"

ActorGround g_actorGround = {worldIsWalkable, worldHeightAt};

// Outside, the local terrain window answers; where it has no page the ground
// is open and flat. Inside, the dungeon answers.
bool worldIsWalkable(double x, double y, double z) {
    if (g_engine.inDungeon) return dungeonIsWalkable(x, y);
    if (localTerrain) return localTerrain->isWalkable(x, y, z);
    return true;
}

double worldHeightAt(double x, double y, double z) {
    if (g_engine.inDungeon) return dungeonFloorHeightAt(x, y);
    if (localTerrain) return localTerrain->heightAt(x, y, z);
    return 0.0;
}

void useWorldGround() {
    g_actorGround = {worldIsWalkable, worldHeightAt};
}
