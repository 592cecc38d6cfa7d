// One playable dungeon level, built from the start-up layout on every visit:
// a fresh cell size, wall height, textures and floor unevenness, chests,
// static torch light at every cell corner, the stairs out and the player's
// starting cell beside them. Also the level's ground queries.
#pragma once

#include "dungeon/layout.h"

#include <cstdint>
#include <memory>

// Corners of a cell, in this order: (x0, y0), (x0, y1), (x1, y1), (x1, y0).
enum : int {
    CORNER_X0Y0 = 0,
    CORNER_X0Y1 = 1,
    CORNER_X1Y1 = 2,
    CORNER_X1Y0 = 3,
};

// Door states.
enum : int {
    DOOR_CLOSED = 0,
    DOOR_OPENING = 1,
    DOOR_CLOSING = 2,
    DOOR_OPEN = 3,
};

struct DoorRecord {
    int id = 0;
    // 1 when the cell at row - 1 is a wall: the door turns to run along x.
    int alongX = 0;
    // Swing, degrees.
    float angle = 0.0f;
    // Mean of the door cell's four corner lights.
    float light = 0.0f;
    int state = DOOR_CLOSED;
    std::uint8_t fullyOpen = 0;
    int reserved = 0;
};

struct ChestRecord {
    int id = 0;
    double x = 0.0, y = 0.0, z = 0.0;
    std::uint8_t opened = 0;
};

struct DungeonCell {
    // 1 = the cell has a floor (and a ceiling) to draw.
    std::uint8_t floor = 0;
    // 1 = wall or void.
    std::uint8_t solid = 0;
    // World position of the cell's low corner.
    int x = 0, y = 0, z = 0;
    // 1 when the neighbour on that side is a wall or the map edge.
    std::uint8_t wallPlusY = 0, wallMinusY = 0, wallPlusX = 0, wallMinusX = 0;
    float cornerHeight[4] = {};
    // Static torch light, 0..1.
    float cornerLight[4] = {};
    // Flickering light of the floor and of the upper parts of walls,
    // refreshed about ten times a second while drawing.
    float floorLight[4] = {};
    float upperLight[4] = {};
    std::unique_ptr<DoorRecord> door;
    std::unique_ptr<ChestRecord> chest;
    // Clock time (ms) of the torch's last flame.
    float lastFlame = 0.0f;
};

// Sizes of the current level, for drawing, movement and picking.
struct DungeonMeasures {
    float cellSizeX = 0.0f, cellSizeY = 0.0f, wallHeight = 0.0f;
    float halfCellX = 0.0f, halfCellY = 0.0f, halfWall = 0.0f;
    int width = 0, height = 0;
    // Where objects stand inside a cell, from its low corner.
    int offsetX = 0, offsetY = 0;
};
extern DungeonMeasures g_dungeonMeasures;

// Most chests a level holds, and the draws allowed to place them.
constexpr int DUNGEON_CHESTS = 50;
constexpr int CHEST_DRAW_LIMIT = 100000;
// The player's own light: full within this many units of a corner.
constexpr float PLAYER_LIGHT = 20.0f;

class Dungeon {
  public:
    int cellSizeX = 0, cellSizeY = 0;
    int wallHeight = 0;
    int floorJitter = 0;
    int halfCellX = 0, halfCellY = 0, halfWall = 0;
    // World position of the stairs cell's low corner.
    int exitX = 0, exitY = 0, exitZ = 0;

    CellMap codes;
    std::unique_ptr<DungeonCell[]> cells;
    int width = 0, height = 0;

    // Light: the refresh interval and timer (timeFactor units), the spread of
    // torch strengths around the base, the flicker and the falloff exponent.
    float refreshInterval = 10.0f;
    float refreshTimer = 0.0f;
    float lightVariance = 0.25f;
    float lightBase = 1.0f;
    float flicker = 0.05f;
    float lightFalloff = 1.0f;

    int chestCount = DUNGEON_CHESTS;
    int floorTexture = 0;
    int wallTexture = 0;

    // Stairs cell and the starting cell beside it (the stairs cell itself
    // when no neighbour is open), and the player's start point there.
    int stairsRow = 0, stairsColumn = 0;
    int startRow = 0, startColumn = 0;
    double startX = 0.0, startY = 0.0;

    // Builds a level from the layout (codes, width rows by height columns).
    Dungeon(const int* map, int width, int height);
    ~Dungeon();
    Dungeon(const Dungeon&) = delete;
    Dungeon& operator=(const Dungeon&) = delete;

    bool inside(int i, int j) const { return codes.inside(i, j); }
    DungeonCell& cell(int i, int j) { return cells[i * height + j]; }
    const DungeonCell& cell(int i, int j) const { return cells[i * height + j]; }
    // CELL_OUTSIDE beyond the map.
    int code(int i, int j) const { return codes.codeAt(i, j); }
    // The cell holding a world point; false when it lies outside the map.
    bool cellAt(double x, double y, int& i, int& j) const;

    // Floor height and per-frame light at a point, interpolated over the
    // cell's corners; 0.0 outside the map.
    float floorHeightAt(double x, double y) const;
    float dungeonLightAt(double x, double y) const;
    // Walls never; the stairs only while leaving is pending; a door when it
    // is not closed or when the pending action opens exactly this door.
    bool isWalkable(double x, double y, int pendingAction, int targetId) const;
    // Starts the door with this id swinging open; other ids change nothing.
    void openDoor(int id);

  private:
    void rollSettings();
    void makeCells(const int* map);
    void placeChests();
    void lightBlocks();
    void lightBlock(int r, int c, float& smallest, float& largest);
    void normaliseLight(float smallest, float largest);
    void lightDoors();
    void markVoidWalls();
    void placeStairs();
    void findStart();
    // Corner light of a neighbour, or keep when it lies outside the map.
    float neighbourLight(int i, int j, int corner, float keep) const;
};

// Corner values of a cell blended at fractional position (fx, fy), split
// along the same diagonal as the terrain.
float interpolateCorners(const float corners[4], double fx, double fy);
// World position (low corner) of corner k of a cell at (x, y) of this size.
void cornerOffset(int corner, int sizeX, int sizeY, int& dx, int& dy);
