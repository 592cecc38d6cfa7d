// The dungeon layout: made once at start-up from a random tree of rooms on a
// square grid, turned into a map of cell codes with walls, doors, pillars,
// torches and the monsters that live in each room. Every visit builds a fresh
// level from this one map (see dungeon/dungeon.h).
#pragma once

#include "records/records.h"

#include <memory>

// Rooms of the layout are 10 x 10 cells; neighbours share their wall lines.
constexpr int ROOM_SIZE = 10;
// The start-up layout: a grid of 21 x 21 rooms and 20 monsters.
constexpr int DUNGEON_GRID_HALF = 10;
constexpr int DUNGEON_MONSTERS = 20;

// Cell codes of the map.
enum : int {
    CELL_OUTSIDE = -1, // asked about a cell beyond the map
    CELL_FLOOR = 0,
    CELL_WALL = 1,
    CELL_DOOR = 2,
    CELL_TORCH = 3,  // a floor cell that is a light source
    CELL_STAIRS = 4, // the way out, placed by the level builder
    CELL_VOID = 5,   // no floor, solid
    CELL_CHEST = 9,  // placed by the level builder
};

// One room of the room grid.
struct RoomNode {
    // 1 where a corridor leaves the room toward row - 1, row + 1, column - 1,
    // column + 1.
    int exitMinusRow = 0;
    int exitPlusRow = 0;
    int exitMinusCol = 0;
    int exitPlusCol = 0;
    int reserved = 0;
    // Monsters placed in the room and the most it may hold; -1 in the start room.
    int monsters = 0;
    int capacity = 0;

    int shape() const {
        return exitMinusCol | exitPlusRow << 1 | exitPlusCol << 2 | exitMinusRow << 3;
    }
    bool exists() const { return shape() != 0; }
    int exitCount() const { return exitMinusRow + exitPlusRow + exitMinusCol + exitPlusCol; }
    bool isStart() const { return capacity == -1; }
};

// A monster of the layout: a goblin's statistics, where it stands (in cell
// units, row then column) and the interior of its room.
struct DungeonMonster {
    NPCRecord record;
    double row = 0.0, column = 0.0;
    int minRow = 0, minColumn = 0, maxRow = 0, maxColumn = 0;
};

// Cell codes, `width` rows (along world x) by `height` columns (along world y).
struct CellMap {
    int width = 0;
    int height = 0;
    std::unique_ptr<int[]> codes;

    CellMap() = default;
    CellMap(int width, int height);
    bool inside(int row, int column) const {
        return row >= 0 && column >= 0 && row < width && column < height;
    }
    int& at(int row, int column) { return codes[row * height + column]; }
    int at(int row, int column) const { return codes[row * height + column]; }
    // CELL_OUTSIDE beyond the map.
    int codeAt(int row, int column) const {
        return inside(row, column) ? at(row, column) : CELL_OUTSIDE;
    }
};

// The room grid of (2n + 1) x (2n + 1) rooms, rows outer.
struct RoomGrid {
    int side = 0;
    std::unique_ptr<RoomNode[]> rooms;

    explicit RoomGrid(int halfSide);
    RoomNode& at(int row, int column) { return rooms[row * side + column]; }
    const RoomNode& at(int row, int column) const { return rooms[row * side + column]; }
};

// The steps of the generator, in the order they run (exposed for tests).
// Ten random walks out of the centre room and back, leaving corridor flags on
// both ends of every step.
void carveRoomWalks(RoomGrid& grid);
// Marks a random room with exactly one exit as the start room; none when no
// room has exactly one exit. Returns whether one was marked.
bool markStartRoom(RoomGrid& grid);
// Rolls room capacities, sweep after sweep, until they sum to the total.
void rollCapacities(RoomGrid& grid, int monsterTotal);
// Spreads monsters over random rooms with spare capacity; stops at the total
// or when no room has room left. Returns how many were placed.
int spreadMonsters(RoomGrid& grid, int monsterTotal);

// The whole generator: a grid of 2n + 1 rooms a side, monsterTotal monsters
// written to `monsters` (room for monsterTotal records) and counted in
// `count`; the map's size goes to width and height.
CellMap generateDungeonMap(int n, int monsterTotal, DungeonMonster* monsters, int& count,
                           int& width, int& height);
