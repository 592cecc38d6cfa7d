// Building a level from a layout: sizes and textures, chests, light, doors,
// the stairs with the start beside them, and the ground queries.
#include "core/random.h"
#include "dungeon/dungeon.h"

#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <set>

using dungeontest::LogCapture;
using dungeontest::TextMap;

namespace {

struct Layout {
    CellMap map;
    DungeonMonster monsters[DUNGEON_MONSTERS];
    int count = 0, width = 0, height = 0;
    explicit Layout(unsigned seed) {
        crt::srand(seed);
        map =
            generateDungeonMap(DUNGEON_GRID_HALF, DUNGEON_MONSTERS, monsters, count, width, height);
    }
};

std::unique_ptr<Dungeon> build(const Layout& l) {
    return std::make_unique<Dungeon>(l.map.codes.get(), l.width, l.height);
}

// A room whose only cell with open floor all around is its middle; the door
// keeps the block from turning to void.
const TextMap kOneChestRoom = {
    "##D##", //
    "#...#", //
    "#...#", //
    "#...#", //
    "#####",
};

TEST(Level, SettingsAreRolledWithinTheirRangesAndPublished) {
    LogCapture log;
    const Layout layout(3);
    for (unsigned seed : {1u, 2u, 3u, 40u, 500u}) {
        crt::srand(seed);
        auto d = build(layout);
        EXPECT_GE(d->cellSizeX, 12);
        EXPECT_LE(d->cellSizeX, 28);
        EXPECT_EQ(d->cellSizeY, d->cellSizeX);
        EXPECT_GE(d->wallHeight, 25);
        EXPECT_LE(d->wallHeight, 45);
        EXPECT_GE(d->floorTexture, 30);
        EXPECT_LE(d->floorTexture, 37);
        EXPECT_GE(d->wallTexture, 20);
        EXPECT_LE(d->wallTexture, 27);
        EXPECT_EQ(g_dungeonMeasures.cellSizeX, float(d->cellSizeX));
        EXPECT_EQ(g_dungeonMeasures.halfCellY, float(d->cellSizeY / 2));
        EXPECT_EQ(g_dungeonMeasures.offsetX, (d->cellSizeX - 12) / 2);
        EXPECT_EQ(g_dungeonMeasures.offsetY, (d->cellSizeY - 8) / 2);
        EXPECT_EQ(g_dungeonMeasures.width, layout.width);
    }
    std::string missing;
    EXPECT_TRUE(log.inOrder({"FLOOR: 3", "DUNG:  2", "Deleting dungeon..."}, &missing)) << missing;
}

TEST(Level, ChestsStandWithOpenFloorAllAround) {
    const Layout layout(17);
    crt::srand(8);
    auto d = build(layout);
    const DungeonMeasures& m = g_dungeonMeasures;
    int chests = 0;
    std::set<int> ids;
    for (int i = 0; i < d->width; ++i)
        for (int j = 0; j < d->height; ++j) {
            if (d->code(i, j) != CELL_CHEST) continue;
            ++chests;
            for (int di = -1; di <= 1; ++di)
                for (int dj = -1; dj <= 1; ++dj) {
                    if (di == 0 && dj == 0) continue;
                    const int around = d->code(i + di, j + dj);
                    // Only the stairs may take an open cell after the chest.
                    EXPECT_TRUE(around == CELL_FLOOR || around == CELL_STAIRS) << around;
                }
            const ChestRecord* chest = d->cell(i, j).chest.get();
            ASSERT_NE(chest, nullptr);
            EXPECT_TRUE(ids.insert(chest->id).second) << "chest ids are not shared";
            EXPECT_EQ(chest->x, d->cell(i, j).x + m.offsetX);
            EXPECT_EQ(chest->y, d->cell(i, j).y + m.offsetY);
        }
    EXPECT_GT(chests, 0);
    EXPECT_LE(chests, DUNGEON_CHESTS);

    crt::srand(1);
    Dungeon room(kOneChestRoom.data(), kOneChestRoom.width, kOneChestRoom.height);
    EXPECT_EQ(room.code(2, 2), CELL_CHEST);
    int elsewhere = 0;
    for (int i = 0; i < room.width; ++i)
        for (int j = 0; j < room.height; ++j)
            elsewhere += (i != 2 || j != 2) && room.code(i, j) == CELL_CHEST;
    EXPECT_EQ(elsewhere, 0);
}

TEST(Level, CornerLightIsNormalisedAndTheStairsAreLitAndLevel) {
    for (unsigned seed : {5u, 6u, 7u}) {
        const Layout layout(seed);
        auto d = build(layout);
        float lowest = 2.0f, highest = -1.0f;
        for (int k = 0; k < d->width * d->height; ++k)
            for (float l : d->cells[k].cornerLight) {
                lowest = std::min(lowest, l);
                highest = std::max(highest, l);
            }
        EXPECT_GE(lowest, 0.0f);
        EXPECT_FLOAT_EQ(highest, 1.0f);

        const int si = d->stairsRow, sj = d->stairsColumn;
        ASSERT_EQ(d->code(si, sj), CELL_STAIRS);
        EXPECT_EQ(d->exitX, si * d->cellSizeX);
        EXPECT_EQ(d->exitY, sj * d->cellSizeY);
        // Every corner lying on the stairs cell's square, whichever cell owns it.
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj) {
                if (!d->inside(si + di, sj + dj)) continue;
                const DungeonCell& c = d->cell(si + di, sj + dj);
                for (int k = 0; k < 4; ++k) {
                    int ox = 0, oy = 0;
                    cornerOffset(k, 1, 1, ox, oy);
                    if (di + ox < 0 || di + ox > 1 || dj + oy < 0 || dj + oy > 1) continue;
                    EXPECT_EQ(c.cornerLight[k], 1.0f) << di << "," << dj << " corner " << k;
                    EXPECT_EQ(c.cornerHeight[k], 0.0f);
                }
            }
    }
}

TEST(Level, PlayerStartsOnTheFirstOpenCellAroundTheStairs) {
    const int around[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    for (unsigned seed : {11u, 12u, 13u, 14u}) {
        const Layout layout(seed);
        auto d = build(layout);
        int first = -1;
        for (int n = 0; n < 8 && first < 0; ++n) {
            const int code = d->code(d->stairsRow + around[n][0], d->stairsColumn + around[n][1]);
            if (code == CELL_FLOOR || code == CELL_TORCH) first = n;
        }
        ASSERT_GE(first, 0);
        EXPECT_EQ(d->startRow, d->stairsRow + around[first][0]);
        EXPECT_EQ(d->startColumn, d->stairsColumn + around[first][1]);
        EXPECT_EQ(d->startX, d->startRow * d->cellSizeX + d->cellSizeX / 2);
        EXPECT_EQ(d->startY, d->startColumn * d->cellSizeY + d->cellSizeY / 2);
    }

    // The one open cell is walled in: the player starts on the stairs.
    LogCapture log;
    const TextMap walledIn = {"##D##", "#####", "##.##", "#####", "#####"};
    Dungeon d(walledIn.data(), walledIn.width, walledIn.height);
    EXPECT_EQ(d.code(2, 2), CELL_STAIRS);
    EXPECT_EQ(d.startRow, 2);
    EXPECT_EQ(d.startColumn, 2);
    EXPECT_NE(log.text().find("DUNGEON CREATION led to bad starting location!\n"),
              std::string::npos);
}

// Rows 0-10 form a block without a door; rows 10-20 one with a door in its
// far wall. The first turns to void, its torch still lighting it.
TEST(Level, BlockWithoutDoorTurnsToVoidButKeepsItsLight) {
    std::vector<std::string> rows(21, std::string(11, '.'));
    for (int i = 0; i < 21; ++i)
        rows[i][0] = rows[i][10] = '#';
    rows[0] = rows[10] = rows[20] = std::string(11, '#');
    rows[20][5] = 'D';
    rows[5][5] = 'T';
    std::vector<int> codes;
    for (const std::string& r : rows)
        for (char ch : r)
            codes.push_back(ch == '#'   ? CELL_WALL
                            : ch == 'D' ? CELL_DOOR
                            : ch == 'T' ? CELL_TORCH
                                        : CELL_FLOOR);
    crt::srand(2);
    Dungeon d(codes.data(), 21, 11);
    for (int i = 1; i < 10; ++i)
        for (int j = 1; j < 10; ++j) {
            EXPECT_EQ(d.code(i, j), CELL_VOID) << i << "," << j;
            EXPECT_EQ(d.cell(i, j).floor, 0);
            EXPECT_EQ(d.cell(i, j).solid, 0);
        }
    EXPECT_EQ(d.code(0, 0), CELL_WALL);
    EXPECT_GT(d.cell(5, 5).cornerLight[CORNER_X0Y0], 0.5f);
    for (int i = 11; i < 20; ++i)
        for (int j = 1; j < 10; ++j) {
            EXPECT_NE(d.code(i, j), CELL_VOID);
            if (std::abs(i - d.stairsRow) < 2 && std::abs(j - d.stairsColumn) < 2) continue;
            for (float l : d.cell(i, j).cornerLight)
                EXPECT_EQ(l, 0.0f) << "no torch lights " << i << "," << j;
        }
    // The stairs can only be in the block with the door.
    EXPECT_GT(d.stairsRow, 10);
}

TEST(Level, DoorTakesItsLightFromTheCellsItJoins) {
    // A door in a wall line running along y, with open cells on both sides
    // along x; and one on the map's edge, walled in at +x and +y.
    const TextMap map = {
        "#######", //
        "#T....#", //
        "###D###", //
        "#.....#", //
        "#.....D", //
        "#######",
    };
    LogCapture log;
    crt::srand(4);
    Dungeon d(map.data(), map.width, map.height);
    const DungeonCell& across = d.cell(2, 3);
    ASSERT_NE(across.door, nullptr);
    EXPECT_EQ(across.door->alongX, 0);
    EXPECT_EQ(across.cornerLight[CORNER_X0Y0], d.cell(1, 3).cornerLight[CORNER_X1Y0]);
    EXPECT_EQ(across.cornerLight[CORNER_X1Y1], d.cell(3, 3).cornerLight[CORNER_X0Y1]);
    const float* l = across.cornerLight;
    EXPECT_FLOAT_EQ(across.door->light, (l[0] + l[1] + l[2] + l[3]) / 4.0f);
    const DungeonCell& edge = d.cell(4, 6);
    ASSERT_NE(edge.door, nullptr);
    EXPECT_EQ(edge.door->alongX, 1);
    EXPECT_NE(log.text().find("ERROR: MISFORMED DUNGEON MAP!"), std::string::npos);
}

TEST(Level, GroundQueries) {
    const TextMap map = {
        "#######", //
        "#.....#", //
        "#..D..#", //
        "#.....#", //
        "#######",
    };
    crt::srand(21);
    Dungeon d(map.data(), map.width, map.height);
    const double s = d.cellSizeX, half = s / 2;
    const int doorId = d.cell(2, 3).door->id;
    const int floorRow = d.stairsRow == 1 && d.stairsColumn == 1 ? 3 : 1;
    const double stairsX = d.stairsRow * s + half, stairsY = d.stairsColumn * s + half;
    struct Case {
        const char* what;
        double x, y;
        bool leaving;
        int opening;
        bool walkable;
    } cases[] = {
        {"before the map", -1.0, half, false, -1, true},
        {"beyond the map", 7 * s + 1, half, false, -1, true},
        {"wall", half, half, false, -1, false},
        {"floor", floorRow * s + half, s + half, false, -1, true},
        {"closed door", 2 * s + half, 3 * s + half, false, -1, false},
        {"the door being opened", 2 * s + half, 3 * s + half, false, doorId, true},
        {"another door being opened", 2 * s + half, 3 * s + half, false, doorId + 1, false},
        {"stairs", stairsX, stairsY, false, -1, false},
        {"stairs while leaving", stairsX, stairsY, true, -1, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(d.isWalkable(c.x, c.y, c.leaving, c.opening), c.walkable) << c.what;
    EXPECT_EQ(d.floorHeightAt(-5.0, 10.0), 0.0f);
    EXPECT_EQ(d.floorHeightAt(100 * s, 10.0), 0.0f);

    d.openDoor(doorId + 1000);
    EXPECT_EQ(d.cell(2, 3).door->state, DOOR_CLOSED) << "no door has that id";
    d.openDoor(doorId);
    EXPECT_EQ(d.cell(2, 3).door->state, DOOR_OPENING);
    EXPECT_TRUE(d.isWalkable(2 * s + half, 3 * s + half, false, -1)) << "no longer closed";
}

TEST(Level, FloorHeightMeetsTheCornersAndSplitsOnTheDiagonal) {
    const float corners[4] = {1.0f, 2.0f, 4.0f, 8.0f}; // (x0,y0) (x0,y1) (x1,y1) (x1,y0)
    struct {
        double fx, fy;
        float expected;
    } cases[] = {
        {0, 0, 1.0f},        {0, 1, 2.0f},     {1, 1, 4.0f},
        {1, 0, 8.0f},        {0.5, 0.5, 2.5f}, // on the diagonal, halfway from (x0,y0) to (x1,y1)
        {0.75, 0.25, 5.25f},                   // below it: the (x1,y0) triangle
        {0.25, 0.75, 2.25f},                   // above it: the (x0,y1) triangle
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(interpolateCorners(corners, c.fx, c.fy), c.expected) << c.fx << "," << c.fy;

    // The four cells around a floor cell's far corner agree on its height,
    // and a cell's low corner is where its floor starts.
    const Layout layout(30);
    auto d = build(layout);
    for (int i = 0; i < d->width - 1; ++i)
        for (int j = 0; j < d->height - 1; ++j) {
            const DungeonCell& c = d->cell(i, j);
            EXPECT_EQ(d->floorHeightAt(c.x, c.y), c.cornerHeight[CORNER_X0Y0]);
            if (!c.floor) continue;
            const float h = c.cornerHeight[CORNER_X1Y1];
            EXPECT_LE(h, float(d->floorJitter));
            EXPECT_EQ(d->cell(i + 1, j).cornerHeight[CORNER_X0Y1], h);
            EXPECT_EQ(d->cell(i, j + 1).cornerHeight[CORNER_X1Y0], h);
            EXPECT_EQ(d->cell(i + 1, j + 1).cornerHeight[CORNER_X0Y0], h);
        }
}

TEST(Level, LaterVisitsBuildADifferentLevelFromTheSameLayout) {
    const Layout layout(8);
    auto first = build(layout);
    auto second = build(layout);
    const bool same =
        first->cellSizeX == second->cellSizeX && first->wallHeight == second->wallHeight &&
        first->floorTexture == second->floorTexture && first->stairsRow == second->stairsRow &&
        first->stairsColumn == second->stairsColumn;
    EXPECT_FALSE(same);
    for (int k = 0; k < layout.width * layout.height; ++k) {
        const int a = first->codes.codes[k], b = second->codes.codes[k];
        // The walls come from the layout; chests and stairs are placed anew.
        EXPECT_EQ(a == CELL_WALL, b == CELL_WALL) << k;
    }
    // Door ids go on counting from one level to the next.
    int firstMax = -1, secondMin = 1 << 30;
    for (int k = 0; k < layout.width * layout.height; ++k) {
        if (first->cells[k].door) firstMax = std::max(firstMax, first->cells[k].door->id);
        if (second->cells[k].door) secondMin = std::min(secondMin, second->cells[k].door->id);
    }
    EXPECT_GT(secondMin, firstMax);
}

} // namespace
