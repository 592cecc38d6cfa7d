// The two worlds, outside and the dungeon, and the objects that make them:
// the terrain list and its local window (built on the first entry to the
// outside and kept to the end), and the dungeon (built on every entry).
#pragma once

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
