// The two worlds, outside and the dungeon, and the objects that make them:
// the terrain list and its local window (built on the first entry to the
// outside and kept to the end), and the dungeon (built on every entry).
#pragma once

#include "dungeon/layout.h"
#include "terrain/local_terrain.h"
#include "terrain/terrain.h"

class Dungeon;

// Null until the first entry to the outside.
extern TerrainList* terrain;
extern LocalTerrain* localTerrain;
// Null while the player is outside.
extern Dungeon* dungeon;
// The player's position when it last went down into the dungeon.
extern double savedOutsidePosition[3];

// Options of the game's own terrain build: data from "Data", light from the
// engine, light textures and the loading bar when a GL context is current.
TerrainBuildOptions gameTerrainOptions();

// Makes the world current, in the order every transition follows.
void enterOutside();
// Builds the terrain and its window once; later calls log that they exist.
void createTerrain();
// Destroys the dungeon (logs when there is none).
void killDungeon();

// The dungeon layout, made once at start-up, and the monsters it placed.
extern CellMap dungeonMap;
extern DungeonMonster* dungeonMonsters;
extern int dungeonMonsterCount;
// Makes the layout; false when there is no memory for the monster buffer.
bool makeDungeonLayout();

// Goes down into a fresh dungeon built from the layout, remembering where
// the player stood outside.
void enterDungeon();
// Builds the dungeon and stands the player beside its stairs (logs when one
// exists already).
void createDungeon();
// Outside to the dungeon or back.
void switchWorld();

// What the pending action asks of the dungeon floor: to step onto the stairs
// (leaving), or through the door with this id (-1 for none). The input
// handler installs its own; without it nothing is pending.
struct PendingMove {
    bool leaving = false;
    int openingDoor = -1;
};
extern PendingMove (*pendingMove)();

// The dungeon's ground: open and flat where there is no dungeon.
bool dungeonIsWalkable(double x, double y);
float dungeonFloorHeightAt(double x, double y);
float dungeonLightAt(double x, double y);
