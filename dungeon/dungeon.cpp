#include "dungeon/dungeon.h"

#include "core/log.h"
#include "core/random.h"

#include <algorithm>
#include <cmath>

DungeonMeasures g_dungeonMeasures;

namespace {

// Door ids count up from 0 over the whole run, chest ids from 0 too (the
// counter is raised before use).
int g_doorCounter = 0;
int g_chestCounter = -1;

// The last world texture of each eight-image set.
constexpr int LAST_WALL_TEXTURE = 27;
constexpr int LAST_FLOOR_TEXTURE = 37;
// Torches of one room block: at most one per cell of the block.
constexpr int BLOCK_SIDE = ROOM_SIZE + 1;
constexpr int MAX_BLOCK_LIGHTS = BLOCK_SIDE * BLOCK_SIDE;

// trunc(r x scale + offset), kept at most `last` so that a draw of exactly
// 1.0 stays inside its range.
int drawUpTo(double scale, double offset, int last) {
    return std::min(int(random01() * scale + offset), last);
}

bool isWallCode(int code) {
    return code == CELL_WALL || code == CELL_OUTSIDE;
}

struct Light {
    int x, y;
    double intensity;
};

} // namespace

void cornerOffset(int corner, int sizeX, int sizeY, int& dx, int& dy) {
    dx = (corner == CORNER_X1Y1 || corner == CORNER_X1Y0) ? sizeX : 0;
    dy = (corner == CORNER_X0Y1 || corner == CORNER_X1Y1) ? sizeY : 0;
}

float interpolateCorners(const float c[4], double fx, double fy) {
    const double h00 = c[CORNER_X0Y0], h01 = c[CORNER_X0Y1];
    const double h11 = c[CORNER_X1Y1], h10 = c[CORNER_X1Y0];
    if (fy <= fx) return float((h11 - h10) * fy + (h00 - h10) * (1.0 - fx) + h10);
    return float((h00 - h01) * (1.0 - fy) + (h11 - h01) * fx + h01);
}

Dungeon::Dungeon(const int* map, int w, int h) : codes(w, h), width(w), height(h) {
    cells.reset(new DungeonCell[size_t(w) * size_t(h)]);
    rollSettings();
    makeCells(map);
    placeChests();
    lightBlocks();
    lightDoors();
    markVoidWalls();
    placeStairs();
    findStart();
}

Dungeon::~Dungeon() {
    g_log << "Deleting dungeon..." << std::endl;
}

void Dungeon::rollSettings() {
    cellSizeX = int(16 * random01()) + 12;
    cellSizeY = cellSizeX;
    wallHeight = int(20 * random01()) + 25;
    floorJitter = int(7 * random01());
    halfCellX = cellSizeX / 2;
    halfCellY = cellSizeY / 2;
    halfWall = wallHeight / 2;

    DungeonMeasures& m = g_dungeonMeasures;
    m.cellSizeX = float(cellSizeX);
    m.cellSizeY = float(cellSizeY);
    m.wallHeight = float(wallHeight);
    m.halfCellX = float(halfCellX);
    m.halfCellY = float(halfCellY);
    m.halfWall = float(halfWall);
    m.width = width;
    m.height = height;
    m.offsetX = (cellSizeX - 12) / 2;
    m.offsetY = (cellSizeY - 8) / 2;

    chestCount = DUNGEON_CHESTS;
    floorTexture = drawUpTo(8, 30.0, LAST_FLOOR_TEXTURE);
    wallTexture = drawUpTo(8, 20.0, LAST_WALL_TEXTURE);
    g_log << "FLOOR: " << floorTexture << std::endl;
    g_log << "DUNG:  " << wallTexture << std::endl;
}

// Floors, walls and doors from the layout; every floor cell rolls the height
// of its far corner, which it shares with the three cells beyond it.
void Dungeon::makeCells(const int* map) {
    for (int k = 0; k < width * height; ++k)
        codes.codes[k] = map[k];
    for (int i = 0; i < width; ++i)
        for (int j = 0; j < height; ++j) {
            DungeonCell& c = cell(i, j);
            c.x = i * cellSizeX;
            c.y = j * cellSizeY;
            c.z = 0;
            const int here = code(i, j);
            if (here == CELL_VOID || here == CELL_WALL) {
                c.solid = 1;
                continue;
            }
            if (here != CELL_FLOOR && here != CELL_DOOR && here != CELL_TORCH) continue;
            c.floor = 1;
            if (here == CELL_DOOR) {
                c.door = std::make_unique<DoorRecord>();
                c.door->id = g_doorCounter++;
                c.door->alongX = isWallCode(code(i - 1, j)) ? 1 : 0;
            }
            c.wallMinusX = isWallCode(code(i - 1, j));
            c.wallMinusY = isWallCode(code(i, j - 1));
            c.wallPlusX = isWallCode(code(i + 1, j));
            c.wallPlusY = isWallCode(code(i, j + 1));
            const float h = float(random01() * floorJitter);
            c.cornerHeight[CORNER_X1Y1] = h;
            if (inside(i + 1, j)) cell(i + 1, j).cornerHeight[CORNER_X0Y1] = h;
            if (inside(i, j + 1)) cell(i, j + 1).cornerHeight[CORNER_X1Y0] = h;
            if (inside(i + 1, j + 1)) cell(i + 1, j + 1).cornerHeight[CORNER_X0Y0] = h;
        }
}

// Chests stand on open floor with open floor all around them.
void Dungeon::placeChests() {
    const DungeonMeasures& m = g_dungeonMeasures;
    int placed = 0;
    for (int draws = 0; placed < chestCount && draws < CHEST_DRAW_LIMIT; ++draws) {
        const int i = drawUpTo(width - 2, 1.0, width - 2);
        const int j = drawUpTo(height - 2, 1.0, height - 2);
        bool open = true;
        for (int di = -1; di <= 1 && open; ++di)
            for (int dj = -1; dj <= 1 && open; ++dj)
                open = code(i + di, j + dj) == CELL_FLOOR;
        if (!open) continue;
        codes.at(i, j) = CELL_CHEST;
        DungeonCell& c = cell(i, j);
        c.chest = std::make_unique<ChestRecord>();
        c.chest->id = ++g_chestCounter;
        c.chest->x = c.x + m.offsetX;
        c.chest->y = c.y + m.offsetY;
        c.chest->z = c.z;
        ++placed;
    }
}

void Dungeon::lightBlocks() {
    float smallest = 100000.0f, largest = 0.0f;
    for (int r = 0; r < width - 1; r += ROOM_SIZE)
        for (int c = 0; c < height - 1; c += ROOM_SIZE)
            lightBlock(r, c, smallest, largest);
    normaliseLight(smallest, largest);
}

// One room block of 11 x 11 cells: its torches light every corner in it. A
// block without a door cannot be reached and turns to void (its torches
// still light it, as they are listed first).
void Dungeon::lightBlock(int r, int c, float& smallest, float& largest) {
    const int rEnd = std::min(r + ROOM_SIZE, width - 1);
    const int cEnd = std::min(c + ROOM_SIZE, height - 1);
    Light lights[MAX_BLOCK_LIGHTS];
    int lightCount = 0;
    int doors = 0;
    for (int i = r; i <= rEnd; ++i)
        for (int j = c; j <= cEnd; ++j) {
            const int here = code(i, j);
            if (here == CELL_DOOR) ++doors;
            if (here != CELL_TORCH) continue;
            Light& l = lights[lightCount++];
            l.x = i * cellSizeX + cellSizeX / 2;
            l.y = j * cellSizeY + cellSizeY / 2;
            l.intensity = randomCentered(lightVariance) + lightBase;
        }
    if (doors == 0)
        for (int i = r; i <= rEnd; ++i)
            for (int j = c; j <= cEnd; ++j) {
                if (code(i, j) == CELL_WALL) continue;
                codes.at(i, j) = CELL_VOID;
                DungeonCell& v = cell(i, j);
                v.floor = v.solid = 0;
                v.wallPlusY = v.wallMinusY = v.wallPlusX = v.wallMinusX = 0;
                v.chest.reset();
            }
    for (int i = r; i <= rEnd; ++i)
        for (int j = c; j <= cEnd; ++j) {
            DungeonCell& target = cell(i, j);
            for (int l = 0; l < lightCount; ++l)
                for (int k = 0; k < 4; ++k) {
                    int dx = 0, dy = 0;
                    cornerOffset(k, cellSizeX, cellSizeY, dx, dy);
                    const long px = i * cellSizeX + dx - lights[l].x;
                    const long py = j * cellSizeY + dy - lights[l].y;
                    const double d = std::sqrt(double(px * px + py * py));
                    const float v =
                        float(1.0 / (std::pow(d, double(lightFalloff)) * lights[l].intensity));
                    target.cornerLight[k] += v;
                    smallest = std::min(smallest, v);
                    largest = std::max(largest, v);
                }
        }
}

// Brings every corner light into 0..1 over the range of single lights seen.
// Without any torch every corner stays dark.
void Dungeon::normaliseLight(float smallest, float largest) {
    const float range = largest - smallest;
    for (int k = 0; k < width * height; ++k)
        for (float& light : cells[k].cornerLight) {
            float v = 0.0f;
            if (range > 0.0f)
                v = (light - smallest) / range * lightBase;
            else if (light > 0.0f)
                v = lightBase;
            light = std::clamp(v, 0.0f, 1.0f);
        }
}

float Dungeon::neighbourLight(int i, int j, int corner, float keep) const {
    return inside(i, j) ? cell(i, j).cornerLight[corner] : keep;
}

// A door takes its light from the cells on either side of it, not from the
// walls it stands between.
void Dungeon::lightDoors() {
    for (int i = 0; i < width; ++i)
        for (int j = 0; j < height; ++j) {
            if (code(i, j) != CELL_DOOR) continue;
            DungeonCell& c = cell(i, j);
            float* l = c.cornerLight;
            const bool wallPlusX = isWallCode(code(i + 1, j));
            const bool wallPlusY = isWallCode(code(i, j + 1));
            if (wallPlusX && wallPlusY) {
                g_log << "ERROR: MISFORMED DUNGEON MAP!" << std::endl;
            } else if (wallPlusX) {
                l[CORNER_X0Y0] = neighbourLight(i, j - 1, CORNER_X0Y1, l[CORNER_X0Y0]);
                l[CORNER_X1Y0] = neighbourLight(i, j - 1, CORNER_X1Y1, l[CORNER_X1Y0]);
                l[CORNER_X0Y1] = neighbourLight(i, j + 1, CORNER_X0Y0, l[CORNER_X0Y1]);
                l[CORNER_X1Y1] = neighbourLight(i, j + 1, CORNER_X1Y0, l[CORNER_X1Y1]);
            } else {
                l[CORNER_X0Y0] = neighbourLight(i - 1, j, CORNER_X1Y0, l[CORNER_X0Y0]);
                l[CORNER_X0Y1] = neighbourLight(i - 1, j, CORNER_X1Y1, l[CORNER_X0Y1]);
                l[CORNER_X1Y1] = neighbourLight(i + 1, j, CORNER_X0Y1, l[CORNER_X1Y1]);
                l[CORNER_X1Y0] = neighbourLight(i + 1, j, CORNER_X0Y0, l[CORNER_X1Y0]);
            }
            if (c.door) c.door->light = (l[0] + l[1] + l[2] + l[3]) / 4.0f;
        }
}

void Dungeon::markVoidWalls() {
    for (int i = 1; i <= width - 2; ++i)
        for (int j = 1; j <= height - 2; ++j) {
            if (code(i, j) != CELL_VOID) continue;
            DungeonCell& c = cell(i, j);
            c.wallMinusX = code(i - 1, j) == CELL_WALL;
            c.wallMinusY = code(i, j - 1) == CELL_WALL;
            c.wallPlusX = code(i + 1, j) == CELL_WALL;
            c.wallPlusY = code(i, j + 1) == CELL_WALL;
        }
}

// The stairs go on a random open floor cell; the corners around them are
// fully lit and level. A map without open floor gets no stairs.
void Dungeon::placeStairs() {
    bool anyFloor = false;
    for (int k = 0; k < width * height && !anyFloor; ++k)
        anyFloor = codes.codes[k] == CELL_FLOOR;
    if (!anyFloor) return;
    int i = 0, j = 0;
    do {
        i = drawUpTo(width, 0.0, width - 1);
        j = drawUpTo(height, 0.0, height - 1);
    } while (code(i, j) != CELL_FLOOR);
    stairsRow = i;
    stairsColumn = j;
    exitX = i * cellSizeX;
    exitY = j * cellSizeY;
    exitZ = 0;
    codes.at(i, j) = CELL_STAIRS;
    for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj) {
            if (!inside(i + di, j + dj)) continue;
            DungeonCell& c = cell(i + di, j + dj);
            for (int k = 0; k < 4; ++k) {
                int ox = 0, oy = 0;
                cornerOffset(k, 1, 1, ox, oy);
                // The corner's grid point must lie on the stairs cell's square.
                const int gx = di + ox, gy = dj + oy;
                if (gx < 0 || gx > 1 || gy < 0 || gy > 1) continue;
                c.cornerLight[k] = 1.0f;
                c.cornerHeight[k] = 0.0f;
            }
        }
}

// The first open neighbour of the stairs, going round from +x.
void Dungeon::findStart() {
    static const int around[8][2] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                                     {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    startRow = stairsRow;
    startColumn = stairsColumn;
    bool found = false;
    for (const auto& d : around) {
        const int here = code(stairsRow + d[0], stairsColumn + d[1]);
        if (here != CELL_FLOOR && here != CELL_TORCH) continue;
        startRow = stairsRow + d[0];
        startColumn = stairsColumn + d[1];
        found = true;
        break;
    }
    if (!found) g_log << "DUNGEON CREATION led to bad starting location!" << std::endl;
    startX = startRow * cellSizeX + cellSizeX / 2;
    startY = startColumn * cellSizeY + cellSizeY / 2;
}

bool Dungeon::cellAt(double x, double y, int& i, int& j) const {
    if (x < 0.0 || y < 0.0) return false;
    i = int(x / cellSizeX);
    j = int(y / cellSizeY);
    return inside(i, j);
}

float Dungeon::floorHeightAt(double x, double y) const {
    int i = 0, j = 0;
    if (!cellAt(x, y, i, j)) return 0.0f;
    return interpolateCorners(cell(i, j).cornerHeight, x / cellSizeX - i, y / cellSizeY - j);
}

float Dungeon::dungeonLightAt(double x, double y) const {
    int i = 0, j = 0;
    if (!cellAt(x, y, i, j)) return 0.0f;
    return interpolateCorners(cell(i, j).floorLight, x / cellSizeX - i, y / cellSizeY - j);
}

bool Dungeon::isWalkable(double x, double y, int pendingAction, int targetId) const {
    int i = 0, j = 0;
    const int here = cellAt(x, y, i, j) ? code(i, j) : CELL_OUTSIDE;
    switch (here) {
    case CELL_WALL:
        return false;
    case CELL_STAIRS:
        return pendingAction == 1;
    case CELL_DOOR: {
        const DoorRecord* door = cell(i, j).door.get();
        if (!door) return false;
        return door->state != DOOR_CLOSED || (pendingAction == 0 && targetId == door->id);
    }
    default:
        return true;
    }
}

void Dungeon::openDoor(int id) {
    for (int k = 0; k < width * height; ++k) {
        DoorRecord* door = cells[k].door.get();
        if (door && door->id == id) door->state = DOOR_OPENING;
    }
}
