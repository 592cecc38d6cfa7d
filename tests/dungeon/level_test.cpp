// Building a level from a layout: chests, light, doors, the stairs with the
// start beside them, and the ground queries.
#include "core/random.h"
#include "dungeon/dungeon.h"

#include "support.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using dungeontest::TextMap;

namespace {

std::unique_ptr<Dungeon> buildFromLayout(unsigned seed) {
    static DungeonMonster monsters[DUNGEON_MONSTERS];
    int count = 0, width = 0, height = 0;
    crt::srand(seed);
    CellMap map =
        generateDungeonMap(DUNGEON_GRID_HALF, DUNGEON_MONSTERS, monsters, count, width, height);
    return std::make_unique<Dungeon>(map.codes.get(), width, height);
}

TEST(Level, ChestsLightAndStairsOfGeneratedLevels) {
    const int around[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    for (unsigned seed : {5u, 6u, 7u}) {
        SCOPED_TRACE(seed);
        auto d = buildFromLayout(seed);
        int chests = 0;
        float lowest = 2.0f;
        for (int i = 0; i < d->width; ++i)
            for (int j = 0; j < d->height; ++j) {
                for (float l : d->cell(i, j).cornerLight)
                    lowest = std::min(lowest, l);
                if (d->code(i, j) != CELL_CHEST) continue;
                ++chests;
                // Open floor all around; only the stairs may come later.
                for (const auto& a : around) {
                    const int c = d->code(i + a[0], j + a[1]);
                    EXPECT_TRUE(c == CELL_FLOOR || c == CELL_STAIRS) << c;
                }
                EXPECT_EQ(d->cell(i, j).chest->x, d->cell(i, j).x + (d->cellSizeX - 12) / 2);
            }
        EXPECT_GT(chests, 0);
        EXPECT_LE(chests, DUNGEON_CHESTS);
        EXPECT_GE(lowest, 0.0f);

        // Every corner that touches the stairs cell is fully lit and level.
        const int si = d->stairsRow, sj = d->stairsColumn;
        ASSERT_EQ(d->code(si, sj), CELL_STAIRS);
        for (int di = -1; di <= 1; ++di)
            for (int dj = -1; dj <= 1; ++dj)
                for (int k = 0; k < 4; ++k) {
                    int ox = 0, oy = 0;
                    cornerOffset(k, 1, 1, ox, oy);
                    if (!d->inside(si + di, sj + dj) || di + ox < 0 || di + ox > 1 || dj + oy < 0 ||
                        dj + oy > 1)
                        continue;
                    EXPECT_EQ(d->cell(si + di, sj + dj).cornerLight[k], 1.0f);
                    EXPECT_EQ(d->cell(si + di, sj + dj).cornerHeight[k], 0.0f);
                }
        // The start is the first open neighbour, going round from +x.
        int first = 0;
        while (first < 8) {
            const int c = d->code(si + around[first][0], sj + around[first][1]);
            if (c == CELL_FLOOR || c == CELL_TORCH) break;
            ++first;
        }
        ASSERT_LT(first, 8);
        EXPECT_EQ(d->startRow, si + around[first][0]);
        EXPECT_EQ(d->startColumn, sj + around[first][1]);
        EXPECT_EQ(d->startX, d->startRow * d->cellSizeX + d->cellSizeX / 2);
    }
}

TEST(Level, WalledInStairsAndMisformedDoorAreLogged) {
    testsupport::LogCapture log;
    // The door has walls at +x and +y; the one open cell is walled in.
    const TextMap map = {"##D##", "#####", "##.##", "#####", "#####"};
    Dungeon d(map.data(), map.width, map.height);
    EXPECT_EQ(d.code(2, 2), CELL_STAIRS);
    EXPECT_EQ(d.startRow, 2);
    EXPECT_EQ(d.startColumn, 2);
    const std::string text = log.text();
    EXPECT_NE(text.find("DUNGEON CREATION led to bad starting location!\n"), std::string::npos);
    EXPECT_NE(text.find("ERROR: MISFORMED DUNGEON MAP!\n"), std::string::npos);
}

// Rows 0-10 form a block without a door, rows 10-20 one with a door in its
// far wall: the first turns to void, its torch still lighting it.
TEST(Level, BlockWithoutDoorTurnsToVoidButKeepsItsLight) {
    std::vector<int> codes(21 * 11, CELL_FLOOR);
    for (int i = 0; i < 21; ++i)
        for (int j = 0; j < 11; ++j)
            if (i % 10 == 0 || j % 10 == 0) codes[i * 11 + j] = CELL_WALL;
    codes[20 * 11 + 5] = CELL_DOOR;
    codes[5 * 11 + 5] = CELL_TORCH;
    crt::srand(2);
    Dungeon d(codes.data(), 21, 11);
    for (int i = 1; i < 20; ++i)
        for (int j = 1; j < 10; ++j) {
            if (i < 10) {
                EXPECT_EQ(d.code(i, j), CELL_VOID) << i << "," << j;
                EXPECT_EQ(d.cell(i, j).floor + d.cell(i, j).solid, 0);
            } else if (i > 10) {
                EXPECT_NE(d.code(i, j), CELL_VOID);
                if (std::abs(i - d.stairsRow) < 2 && std::abs(j - d.stairsColumn) < 2) continue;
                EXPECT_EQ(d.cell(i, j).cornerLight[0], 0.0f) << "no torch lights " << i << "," << j;
            }
        }
    EXPECT_GT(d.cell(5, 5).cornerLight[CORNER_X0Y0], 0.5f);
    EXPECT_GT(d.stairsRow, 10);
}

TEST(Level, DoorLightAndGroundQueries) {
    const TextMap map = {"#######", "#.....#", "#..D..#", "#....T#", "#######"};
    crt::srand(21);
    Dungeon d(map.data(), map.width, map.height);
    const double s = d.cellSizeX, half = s / 2;
    // The door takes its light from the cells it joins.
    const DungeonCell& doorCell = d.cell(2, 3);
    ASSERT_EQ(doorCell.door->alongX, 0);
    EXPECT_GT(doorCell.cornerLight[CORNER_X1Y1], 0.0f);
    EXPECT_EQ(doorCell.cornerLight[CORNER_X0Y0], d.cell(1, 3).cornerLight[CORNER_X1Y0]);
    EXPECT_EQ(doorCell.cornerLight[CORNER_X1Y1], d.cell(3, 3).cornerLight[CORNER_X0Y1]);
    const int door = doorCell.door->id;
    const double sx = d.stairsRow * s + half, sy = d.stairsColumn * s + half;
    const int floorRow = d.stairsRow == 1 && d.stairsColumn == 1 ? 3 : 1;
    struct {
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
        {"the door being opened", 2 * s + half, 3 * s + half, false, door, true},
        {"another door being opened", 2 * s + half, 3 * s + half, false, door + 1, false},
        {"stairs", sx, sy, false, -1, false},
        {"stairs while leaving", sx, sy, true, -1, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(d.isWalkable(c.x, c.y, c.leaving, c.opening), c.walkable) << c.what;
    EXPECT_EQ(d.floorHeightAt(-5.0, 10.0), 0.0f);
    EXPECT_EQ(d.floorHeightAt(100 * s, 10.0), 0.0f);
    d.openDoor(door + 1000);
    EXPECT_EQ(d.cell(2, 3).door->state, DOOR_CLOSED) << "no door has that id";
    d.openDoor(door);
    EXPECT_TRUE(d.isWalkable(2 * s + half, 3 * s + half, false, -1)) << "no longer closed";

    const float corners[4] = {1.0f, 2.0f, 4.0f, 8.0f}; // (x0,y0) (x0,y1) (x1,y1) (x1,y0)
    const double blend[][3] = {{0, 0, 1},       {0, 1, 2},          {1, 1, 4},         {1, 0, 8},
                               {0.5, 0.5, 2.5}, {0.75, 0.25, 5.25}, {0.25, 0.75, 2.25}};
    for (const auto& b : blend)
        EXPECT_FLOAT_EQ(interpolateCorners(corners, b[0], b[1]), float(b[2]))
            << b[0] << "," << b[1];
}

} // namespace
