// The world's answers to drawing: outside, the light of the local terrain
// window at the instance's feet, inside the dungeon's flickering floor light.
// Until the terrain exists models are fully lit. The picker joins here when
// it exists.
#include "model/slot.h"

#include "dungeon/world.h"

float worldOutsideLight(double x, double y, double z) {
    return localTerrain ? localTerrain->lightAt(x, y, z) : 1.0f;
}

ModelWorldQueries g_modelQueries = {worldOutsideLight, dungeonLightAt, nullptr};
