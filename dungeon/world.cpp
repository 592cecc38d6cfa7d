#include "dungeon/world.h"

#include "actor/controller.h"
#include "actor/creatures.h"
#include "core/camera.h"
#include "core/log.h"
#include "core/settings.h"
#include "dungeon/dungeon.h"
#include "model/slot.h"
#include "platform/win.h"
#include "render/engine.h"

#include <cstdint>
#include <new>

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
    // The address is kept as a number: the pointer is gone once deleted.
    const auto gone = reinterpret_cast<std::uintptr_t>(dungeon);
    delete dungeon;
    g_log << "DELETING DUNGEON: 0x" << std::hex << gone << std::dec << std::endl;
    dungeon = nullptr;
}

CellMap dungeonMap;
DungeonMonster* dungeonMonsters = nullptr;
int dungeonMonsterCount = 0;
PendingMove (*pendingMove)() = nullptr;

bool makeDungeonLayout() {
    delete[] dungeonMonsters;
    dungeonMonsters = new (std::nothrow) DungeonMonster[DUNGEON_MONSTERS];
    if (!dungeonMonsters) return false;
    dungeonMonsterCount = 0;
    int width = 0, height = 0;
    dungeonMap = generateDungeonMap(DUNGEON_GRID_HALF, DUNGEON_MONSTERS, dungeonMonsters,
                                    dungeonMonsterCount, width, height);
    return true;
}

namespace {
int playerHalfHeight() {
    const ModelSlot* slot = playerActor().instance.slot;
    return slot ? slot->halfHeight : 0;
}

// A walk planned in one world ends with it: the player stands idle where the
// new world puts him.
void haltPlayer() {
    ActorController& player = playerActor();
    player.pathLength = player.pathIndex = 0;
    player.goalAccepted = false;
    player.setAction(ACTION_IDLE);
    if (player.instance.slot) player.instance.setAnimation(player.instance.slot->idleAnimation);
}
} // namespace

void createDungeon() {
    if (dungeon) {
        g_log << "ERROR: Dungeon already exists!" << std::endl;
        return;
    }
    dungeon = new Dungeon(dungeonMap.codes.get(), dungeonMap.width, dungeonMap.height);
    ActorController& player = playerActor();
    player.position[0] = dungeon->startX;
    player.position[1] = dungeon->startY;
    player.position[2] =
        dungeon->floorHeightAt(dungeon->startX, dungeon->startY) + playerHalfHeight();
}

bool dungeonIsWalkable(double x, double y) {
    if (!dungeon) return true;
    const PendingMove pending = pendingMove ? pendingMove() : PendingMove{};
    return dungeon->isWalkable(x, y, pending.leaving, pending.openingDoor);
}

float dungeonFloorHeightAt(double x, double y) {
    return dungeon ? dungeon->floorHeightAt(x, y) : 0.0f;
}

float dungeonLightAt(double x, double y) {
    return dungeon ? dungeon->dungeonLightAt(x, y) : 1.0f;
}

namespace {
// Stands the player at its saved outside position, on the ground, and puts
// the camera behind it.
void placePlayerOutside() {
    ActorController& player = playerActor();
    haltPlayer();
    for (int k = 0; k < 3; ++k)
        player.position[k] = savedOutsidePosition[k];
    g_camera.follow(player.position);
    if (terrain && localTerrain) {
        // The window was laid out around the camera's reset eye, pages away
        // from the player; lay it out around the player before asking for
        // the ground under him (an update moves only one page at a time).
        localTerrain->rebuild(*terrain);
        player.position[2] =
            localTerrain->heightAt(player.position[0], player.position[1]) + playerHalfHeight();
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
    placePlayerOutside();
    // The creatures take their places once the terrain window lies around
    // the player, so that their ground is known.
    g_creatures.spawnAll();
    if (win::HasContext()) g_engine.applyFog();
}

void enterDungeon() {
    g_log << "Entering dungeon..." << std::endl;
    g_engine.inDungeon = 1;
    g_engine.fogColor[0] = g_engine.fogColor[1] = g_engine.fogColor[2] = 0.0f;
    g_engine.fogStart = 180.0f;
    g_engine.fogEnd = 320.0f;
    if (win::HasContext()) g_engine.applyFog();
    g_camera.eye[0] = g_camera.eye[1] = g_camera.eye[2] = 0.0;
    g_camera.far = 1000;
    ActorController& player = playerActor();
    for (int k = 0; k < 3; ++k)
        savedOutsidePosition[k] = player.position[k];
    haltPlayer();
    g_log << "Building dungeon..." << std::endl;
    createDungeon();
    g_camera.follow(player.position);
    g_creatures.spawnAll();
}

void switchWorld() {
    if (g_engine.inDungeon == 0)
        enterDungeon();
    else
        enterOutside();
}
