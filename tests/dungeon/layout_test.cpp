// The layout generator and the level built from it: one door per wall, chests,
// void blocks, ground queries, and the steps that could run on forever ending.
#include "core/random.h"
#include "dungeon/dungeon.h"
#include "dungeon/layout.h"

#include "support.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

using dungeontest::TextMap;

namespace {

struct Generated {
    CellMap map;
    DungeonMonster monsters[DUNGEON_MONSTERS];
    int count = 0, width = 0, height = 0;
    explicit Generated(unsigned seed) {
        crt::srand(seed);
        map =
            generateDungeonMap(DUNGEON_GRID_HALF, DUNGEON_MONSTERS, monsters, count, width, height);
    }
    std::vector<int> codes() const { return {map.codes.get(), map.codes.get() + width * height}; }
    std::unique_ptr<Dungeon> level() const {
        return std::make_unique<Dungeon>(map.codes.get(), width, height);
    }
};

TEST(Layout, SameSeedGivesTheSameMap) {
    EXPECT_EQ(Generated(4242).codes(), Generated(4242).codes());
    EXPECT_NE(Generated(4242).codes(), Generated(4243).codes()) << "another seed, another layout";
}

// A door joins two rooms through one wall, once; a chest has open floor all
// around (only the stairs may come later).
TEST(Layout, DoorsJoinTwoRoomsOnceAndChestsStandInOpenFloor) {
    const int around[8][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
    for (unsigned seed : {1u, 100u, 31337u}) {
        SCOPED_TRACE(seed);
        Generated g(seed);
        std::set<std::pair<int, int>> walls;
        for (int r = 0; r < g.width; ++r)
            for (int c = 0; c < g.height; ++c) {
                if (g.map.at(r, c) != CELL_DOOR) continue;
                const bool rowLine = r % ROOM_SIZE == 0;
                ASSERT_NE(rowLine, c % ROOM_SIZE == 0) << r << "," << c;
                const int dr = rowLine, dc = !rowLine;
                EXPECT_EQ(g.map.codeAt(r - dr, c - dc), CELL_FLOOR) << r << "," << c;
                EXPECT_EQ(g.map.codeAt(r + dr, c + dc), CELL_FLOOR) << r << "," << c;
                const auto wall = rowLine ? std::make_pair(r * 1000, c / ROOM_SIZE)
                                          : std::make_pair(c * 1000 + 1, r / ROOM_SIZE);
                EXPECT_TRUE(walls.insert(wall).second) << "two doors in one wall";
            }
        EXPECT_FALSE(walls.empty());

        const auto d = g.level();
        int chests = 0;
        for (int i = 0; i < d->width; ++i)
            for (int j = 0; j < d->height; ++j) {
                if (d->code(i, j) != CELL_CHEST) continue;
                ++chests;
                for (const auto& a : around) {
                    const int code = d->code(i + a[0], j + a[1]);
                    EXPECT_TRUE(code == CELL_FLOOR || code == CELL_STAIRS) << code;
                }
            }
        EXPECT_GT(chests, 0);
        EXPECT_LE(chests, DUNGEON_CHESTS);
    }
}

TEST(Level, WalledInStairsAndMisformedDoorAreLogged) {
    testsupport::LogCapture log;
    const TextMap map = {"##D##", "#####", "##.##", "#####", "#####"}; // the floor walled in
    Dungeon d(map.data(), map.width, map.height);
    EXPECT_EQ(d.code(2, 2), CELL_STAIRS);
    EXPECT_EQ(d.startRow, 2);
    EXPECT_EQ(d.startColumn, 2);
    const std::string text = log.text();
    EXPECT_NE(text.find("DUNGEON CREATION led to bad starting location!\n"), std::string::npos);
    EXPECT_NE(text.find("ERROR: MISFORMED DUNGEON MAP!\n"), std::string::npos);
}

// Rows 0-10 form a block without a door, rows 10-20 one with a door in its
// far wall: the first turns to void and the stairs go into the second.
TEST(Level, BlockWithoutDoorTurnsToVoid) {
    std::vector<int> codes(21 * 11, CELL_FLOOR);
    for (int i = 0; i < 21; ++i)
        for (int j = 0; j < 11; ++j)
            if (i % 10 == 0 || j % 10 == 0) codes[i * 11 + j] = CELL_WALL;
    codes[20 * 11 + 5] = CELL_DOOR;
    crt::srand(2);
    Dungeon d(codes.data(), 21, 11);
    for (int i = 1; i < 20; ++i)
        for (int j = 1; j < 10; ++j) {
            if (i == 10) continue;
            EXPECT_EQ(d.code(i, j) == CELL_VOID, i < 10) << i << "," << j;
        }
    EXPECT_GT(d.stairsRow, 10);
}

TEST(Level, GroundQueries) {
    const TextMap map = {"#######", "#.....#", "#..D..#", "#....T#", "#######"};
    crt::srand(21);
    Dungeon d(map.data(), map.width, map.height);
    const double s = d.cellSizeX, half = s / 2;
    const DungeonCell& doorCell = d.cell(2, 3);
    ASSERT_NE(doorCell.door, nullptr);
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
    d.openDoor(door + 1000);
    EXPECT_EQ(d.cell(2, 3).door->state, DOOR_CLOSED) << "no door has that id";
    d.openDoor(door);
    EXPECT_TRUE(d.isWalkable(2 * s + half, 3 * s + half, false, -1)) << "no longer closed";
}

TEST(RoomGrid, NoStartRoomWithoutADeadEndAndSpreadingStopsWhenRoomsAreFull) {
    RoomGrid ring(1);
    // Four rooms in a ring: every one has two exits.
    ring.at(0, 0).exitPlusRow = ring.at(1, 0).exitMinusRow = 1;
    ring.at(1, 0).exitPlusCol = ring.at(1, 1).exitMinusCol = 1;
    ring.at(1, 1).exitMinusRow = ring.at(0, 1).exitPlusRow = 1;
    ring.at(0, 1).exitMinusCol = ring.at(0, 0).exitPlusCol = 1;
    EXPECT_FALSE(markStartRoom(ring));
    for (int k = 0; k < ring.side * ring.side; ++k)
        EXPECT_FALSE(ring.rooms[k].isStart());

    // Room for three monsters only: spreading twenty ends after three.
    RoomGrid small(1);
    small.at(0, 0).capacity = 2;
    small.at(2, 1).capacity = 1;
    EXPECT_EQ(spreadMonsters(small, DUNGEON_MONSTERS), 3);
    EXPECT_EQ(small.at(0, 0).monsters, 2);
}

} // namespace
