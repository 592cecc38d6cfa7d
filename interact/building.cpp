#include "interact/building.h"

#include "core/random.h"
#include "render/engine.h"

namespace {
int g_buildingCounter = -1;
unsigned worldTextureName(int index) {
    if (index < 0 || index >= WORLD_TEXTURE_COUNT) return 0;
    return g_engine.worldTextures[index];
}
} // namespace

void resetBuildingIds() {
    g_buildingCounter = -1;
}

void constructBuilding(Building& b) {
    b.id = ++g_buildingCounter;
    b.x = b.y = b.z = 0.0;
    b.rotation = b.tilt = 0.0f;
    b.length = int(30 * random01() + 15);
    b.width = int(20 * random01() + 10);
    b.height = int(15 * random01() + 15);
    b.doorWidth = 7;
    b.doorHeight = 14;
    b.doorOffset = int(random01() * (b.length - b.doorWidth - 20) + 10);
    b.wallTextureIndex = int(8 * random01() + 10);
    b.wallTexture = worldTextureName(b.wallTextureIndex);
    for (double& c : b.tint)
        c = random01();
}
