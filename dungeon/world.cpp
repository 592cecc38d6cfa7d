#include "dungeon/world.h"

#include "actor/controller.h"

#include "app/camera.h"
#include "app/log.h"
#include "app/settings.h"
#include "app/window.h"
#include "render/engine.h"

TerrainList* terrain = nullptr;
LocalTerrain* localTerrain = nullptr;
Dungeon* dungeon = nullptr;
double savedOutsidePosition[3] = {0.0, 0.0, 0.0};

TerrainBuildOptions gameTerrainOptions() {
    TerrainBuildOptions options;
    options.dataDir = "Data";
    options.useGL = g_window.renderingContext;
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

void enterOutside() {
    g_log << "Entering outside..." << std::endl;
    g_engine.inDungeon = 0;
    g_camera.eye[0] = 100.0;
    g_camera.eye[1] = 500.0;
    g_camera.eye[2] = 500.0;
    g_camera.far = g_settings.terrainViewRange;
    g_log << "Killing dungeon..." << std::endl;
    killDungeon();
    g_log << "Building outside..." << std::endl;
    createTerrain();
    double* player = playerActor().position;
    player[0] = savedOutsidePosition[0];
    player[1] = savedOutsidePosition[1];
    player[2] = localTerrain ? localTerrain->heightAt(player[0], player[1]) : 0.0;
    g_camera.follow(player);
}
