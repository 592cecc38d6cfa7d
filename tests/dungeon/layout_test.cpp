// The layout generator: repeatable from its seed, corridors with a door on
// both ends, monsters inside their rooms, and the steps that could run on
// forever ending.
#include "core/random.h"
#include "dungeon/layout.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace {

struct Generated {
    CellMap map;
    DungeonMonster monsters[DUNGEON_MONSTERS];
    int count = 0;
    int width = 0, height = 0;
};

void generate(unsigned seed, Generated& g) {
    crt::srand(seed);
    g.map = generateDungeonMap(DUNGEON_GRID_HALF, DUNGEON_MONSTERS, g.monsters, g.count, g.width,
                               g.height);
}

const unsigned kSeeds[] = {1, 100, 4242, 31337, 77777, 123456};

TEST(Layout, SameSeedGivesTheSameMapAndMonsters) {
    Generated a, b, c;
    generate(4242, a);
    const int after = crt::rand();
    generate(4242, b);
    EXPECT_EQ(crt::rand(), after) << "the same number of draws";
    ASSERT_EQ(a.width, b.width);
    ASSERT_EQ(a.height, b.height);
    for (int k = 0; k < a.width * a.height; ++k)
        ASSERT_EQ(a.map.codes[k], b.map.codes[k]) << "cell " << k;
    ASSERT_EQ(a.count, b.count);
    for (int m = 0; m < a.count; ++m) {
        EXPECT_EQ(a.monsters[m].row, b.monsters[m].row);
        EXPECT_EQ(a.monsters[m].column, b.monsters[m].column);
        EXPECT_EQ(a.monsters[m].record.health, b.monsters[m].record.health);
    }
    generate(4243, c);
    bool differs = c.width != a.width || c.height != a.height;
    for (int k = 0; !differs && k < a.width * a.height; ++k)
        differs = a.map.codes[k] != c.map.codes[k];
    EXPECT_TRUE(differs) << "another seed, another layout";
}

// Rooms are 10 cells apart; a door sits in a wall line between two rooms,
// with floor on both sides, and each shared wall keeps exactly one door
// where a corridor passes.
TEST(Layout, DoorsJoinTwoRoomsOncePerWall) {
    for (unsigned seed : kSeeds) {
        Generated g;
        generate(seed, g);
        SCOPED_TRACE(seed);
        ASSERT_EQ(g.width % ROOM_SIZE, 1);
        ASSERT_EQ(g.height % ROOM_SIZE, 1);
        EXPECT_EQ(g.map.width, g.width);
        std::set<std::pair<int, int>> segments;
        int doors = 0;
        for (int r = 0; r < g.width; ++r)
            for (int c = 0; c < g.height; ++c) {
                if (g.map.at(r, c) != CELL_DOOR) continue;
                ++doors;
                const bool rowLine = r % ROOM_SIZE == 0, columnLine = c % ROOM_SIZE == 0;
                ASSERT_NE(rowLine, columnLine) << "door at " << r << "," << c;
                const int dr = rowLine ? 1 : 0, dc = rowLine ? 0 : 1;
                EXPECT_EQ(g.map.codeAt(r - dr, c - dc), CELL_FLOOR) << r << "," << c;
                EXPECT_EQ(g.map.codeAt(r + dr, c + dc), CELL_FLOOR) << r << "," << c;
                // The wall segment: its line and which room span along it.
                const auto segment = rowLine ? std::make_pair(r * 1000, c / ROOM_SIZE)
                                             : std::make_pair(c * 1000 + 1, r / ROOM_SIZE);
                EXPECT_TRUE(segments.insert(segment).second) << "two doors in one wall";
            }
        EXPECT_GT(doors, 0);
    }
}

TEST(Layout, MonstersStandOnFreeFloorInsideTheirRooms) {
    for (unsigned seed : kSeeds) {
        Generated g;
        generate(seed, g);
        SCOPED_TRACE(seed);
        EXPECT_GT(g.count, 0);
        EXPECT_LE(g.count, DUNGEON_MONSTERS);
        std::set<std::pair<int, int>> taken;
        for (int m = 0; m < g.count; ++m) {
            const DungeonMonster& d = g.monsters[m];
            const int r = int(d.row), c = int(d.column);
            EXPECT_DOUBLE_EQ(d.row - r, 0.5);
            EXPECT_EQ(g.map.at(r, c), CELL_FLOOR);
            EXPECT_TRUE(taken.insert({r, c}).second) << "two monsters on one cell";
            EXPECT_EQ(d.minRow % ROOM_SIZE, 1);
            EXPECT_EQ(d.maxRow - d.minRow, ROOM_SIZE - 2);
            EXPECT_GE(r, d.minRow);
            EXPECT_LT(r, d.maxRow);
            EXPECT_GE(c, d.minColumn);
            EXPECT_LT(c, d.maxColumn);
            EXPECT_STREQ(d.record.name, "goblin");
            EXPECT_GE(d.record.health, 5);
            EXPECT_LE(d.record.health, 40);
            EXPECT_EQ(d.record.maxHealth, d.record.health);
            EXPECT_EQ(d.record.mana, 0);
        }
    }
}

TEST(RoomGrid, WalksLeaveCorridorFlagsOnBothEnds) {
    for (unsigned seed : kSeeds) {
        crt::srand(seed);
        RoomGrid grid(DUNGEON_GRID_HALF);
        carveRoomWalks(grid);
        EXPECT_TRUE(grid.at(10, 10).exists());
        for (int r = 0; r < grid.side; ++r)
            for (int c = 0; c < grid.side; ++c) {
                const RoomNode& room = grid.at(r, c);
                if (r + 1 < grid.side)
                    EXPECT_EQ(room.exitPlusRow, grid.at(r + 1, c).exitMinusRow) << r << "," << c;
                else
                    EXPECT_EQ(room.exitPlusRow, 0);
                if (c + 1 < grid.side)
                    EXPECT_EQ(room.exitPlusCol, grid.at(r, c + 1).exitMinusCol) << r << "," << c;
                else
                    EXPECT_EQ(room.exitPlusCol, 0);
                if (r == 0) {
                    EXPECT_EQ(room.exitMinusRow, 0);
                }
                if (c == 0) {
                    EXPECT_EQ(room.exitMinusCol, 0);
                }
            }
    }
}

TEST(RoomGrid, StartRoomHasOneExitOrThereIsNone) {
    RoomGrid ring(1);
    // Four rooms in a ring: every one has two exits.
    ring.at(0, 0).exitPlusRow = ring.at(1, 0).exitMinusRow = 1;
    ring.at(1, 0).exitPlusCol = ring.at(1, 1).exitMinusCol = 1;
    ring.at(1, 1).exitMinusRow = ring.at(0, 1).exitPlusRow = 1;
    ring.at(0, 1).exitMinusCol = ring.at(0, 0).exitPlusCol = 1;
    EXPECT_FALSE(markStartRoom(ring));
    for (int k = 0; k < ring.side * ring.side; ++k)
        EXPECT_FALSE(ring.rooms[k].isStart());

    crt::srand(9);
    RoomGrid grid(DUNGEON_GRID_HALF);
    carveRoomWalks(grid);
    ASSERT_TRUE(markStartRoom(grid));
    int starts = 0;
    for (int k = 0; k < grid.side * grid.side; ++k)
        if (grid.rooms[k].isStart()) {
            ++starts;
            EXPECT_EQ(grid.rooms[k].exitCount(), 1);
            EXPECT_EQ(grid.rooms[k].monsters, -1);
        }
    EXPECT_EQ(starts, 1);
}

TEST(RoomGrid, CapacitiesFollowTheExitsAndMonstersStopWhenRoomsAreFull) {
    crt::srand(5);
    RoomGrid grid(DUNGEON_GRID_HALF);
    carveRoomWalks(grid);
    markStartRoom(grid);
    rollCapacities(grid, DUNGEON_MONSTERS);
    const int most[5] = {0, 10, 3, 5, 8};
    for (int k = 0; k < grid.side * grid.side; ++k) {
        const RoomNode& room = grid.rooms[k];
        if (room.isStart()) continue;
        EXPECT_GE(room.capacity, 0);
        EXPECT_LE(room.capacity, most[room.exitCount()]);
    }

    // Room for three monsters only: spreading twenty ends after three.
    RoomGrid small(1);
    small.at(0, 0).capacity = 2;
    small.at(2, 1).capacity = 1;
    EXPECT_EQ(spreadMonsters(small, DUNGEON_MONSTERS), 3);
    EXPECT_EQ(small.at(0, 0).monsters, 2);
    EXPECT_EQ(small.at(2, 1).monsters, 1);
}

} // namespace
