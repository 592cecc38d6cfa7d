#include "dungeon/world.h"

#include "actor/controller.h"
#include "core/camera.h"
#include "core/log.h"
#include "core/settings.h"
#include "model/slot.h"
#include "platform/win.h"
#include "render/engine.h"

TerrainList* terrain = nullptr;
LocalTerrain* localTerrain = nullptr;
Dungeon* dungeon = nullptr;
// Start-up stores the player's start point here before the first entry.
double savedOutsidePosition[3] = {START_X, START_Y, 0.0};

namespace {
void showBar(int x, int y, int width, int height, int value, int maximum) {
    g_engine.setLoadingBar(x, y, width, height, value, maximum);
}
void stepBar() {
    g_engine.stepLoadingBar();
}
void hideBar() {
    g_engine.hideLoadingBar();
}
} // namespace

TerrainBuildOptions gameTerrainOptions() {
    TerrainBuildOptions options;
    options.dataDir = "Data";
    TerrainLight& light = options.light;
    for (int k = 0; k < 3; ++k)
        light.direction[k] = g_engine.lightDirection[k];
    light.clampLow = g_engine.lightClampLow;
    light.clampHigh = g_engine.lightClampHigh;
    light.outLow = g_engine.lightOutLow;
    light.outHigh = g_engine.lightOutHigh;
    light.exponent = g_engine.lightExponent;
    options.lightType = g_engine.lightType;
    // Light textures and the loading bar need the window's GL context, and
    // the light textures the multitexture unit selection.
    const bool gl = win::HasContext();
    options.useGL = gl && g_engine.glActiveTextureARB != nullptr;
    if (gl) {
        options.showBar = showBar;
        options.stepBar = stepBar;
        options.hideBar = hideBar;
    }
    return options;
}

void createTerrain() {
    if (!terrain && !localTerrain) {
        terrain = new TerrainList();
        terrain->build(gameTerrainOptions());
        localTerrain = new LocalTerrain(*terrain);
        terrain->finishPages();
        return;
    }
    g_log << "ERROR: Terrain already exists!" << std::endl;
    g_log << "TERRAIN:       " << static_cast<const void*>(terrain) << std::endl;
    g_log << "LOCAL_TERRAIN: " << static_cast<const void*>(localTerrain) << std::endl;
}

void killDungeon() {
    if (!dungeon) {
        g_log << "Cannot kill null DUNGEON: " << static_cast<const void*>(dungeon) << std::endl;
        return;
    }
    // The dungeon itself (and so its destruction) is not part of the game yet.
}

namespace {
// Stands the player at its saved outside position, on the ground, and puts
// the camera behind it.
void placePlayerOutside() {
    ActorController& player = playerActor();
    for (int k = 0; k < 3; ++k)
        player.position[k] = savedOutsidePosition[k];
    g_camera.follow(player.position);
    if (terrain && localTerrain) {
        // The window was laid out around the camera's reset eye, pages away
        // from the player; lay it out around the player before asking for
        // the ground under him (an update moves only one page at a time).
        localTerrain->rebuild(*terrain);
        const int halfHeight = player.instance.slot ? player.instance.slot->halfHeight : 0;
        player.position[2] =
            localTerrain->heightAt(player.position[0], player.position[1]) + halfHeight;
        g_camera.follow(player.position);
    }
}
} // namespace

void enterOutside() {
    g_log << "Entering outside..." << std::endl;
    g_engine.inDungeon = 0;
    g_engine.fogColor[0] = 0.62f;
    g_engine.fogColor[1] = 0.64f;
    g_engine.fogColor[2] = 0.64f;
    g_camera.eye[0] = 100.0;
    g_camera.eye[1] = 500.0;
    g_camera.eye[2] = 500.0;
    g_camera.far = g_settings.terrainViewRange;
    g_engine.fogStart = float(g_camera.far / 2);
    g_engine.fogEnd = float(g_camera.far);
    g_log << "Killing dungeon..." << std::endl;
    killDungeon();
    g_log << "Building outside..." << std::endl;
    createTerrain();
    // The creatures are spawned around the player here once they exist.
    placePlayerOutside();
    if (win::HasContext()) g_engine.applyFog();
}
