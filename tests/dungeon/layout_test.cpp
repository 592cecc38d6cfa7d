// The layout generator: repeatable from its seed, one door in each wall a
// corridor passes, monsters inside their rooms, and the steps that could run
// on forever ending.
#include "core/random.h"
#include "dungeon/layout.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

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
    // The map and every monster's cell and health, as one list.
    std::vector<double> summary() const {
        std::vector<double> s(map.codes.get(), map.codes.get() + width * height);
        s.push_back(width);
        for (int m = 0; m < count; ++m)
            s.insert(s.end(),
                     {monsters[m].row, monsters[m].column, double(monsters[m].record.health)});
        return s;
    }
};

TEST(Layout, SameSeedGivesTheSameMapAndMonsters) {
    EXPECT_EQ(Generated(4242).summary(), Generated(4242).summary());
    EXPECT_NE(Generated(4242).summary(), Generated(4243).summary())
        << "another seed, another layout";
}

// A door sits in a wall line between two rooms with floor on both sides,
// and a shared wall keeps one door only; monsters stand on free floor inside
// their rooms.
TEST(Layout, DoorsJoinTwoRoomsOnceAndMonstersStayInTheirRooms) {
    for (unsigned seed : {1u, 100u, 31337u, 77777u, 123456u}) {
        SCOPED_TRACE(seed);
        Generated g(seed);
        ASSERT_EQ(g.width % ROOM_SIZE, 1);
        ASSERT_EQ(g.height % ROOM_SIZE, 1);
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

        EXPECT_GT(g.count, 0);
        std::set<std::pair<int, int>> taken;
        for (int m = 0; m < g.count; ++m) {
            const DungeonMonster& d = g.monsters[m];
            const int r = int(d.row), c = int(d.column);
            EXPECT_EQ(g.map.at(r, c), CELL_FLOOR);
            EXPECT_TRUE(taken.insert({r, c}).second) << "two monsters on one cell";
            EXPECT_EQ(d.minRow % ROOM_SIZE, 1);
            EXPECT_TRUE(r >= d.minRow && r < d.maxRow && c >= d.minColumn && c < d.maxColumn);
            EXPECT_TRUE(d.record.health >= 5 && d.record.health <= 40) << d.record.health;
        }
    }
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

    crt::srand(9);
    RoomGrid grid(DUNGEON_GRID_HALF);
    carveRoomWalks(grid);
    ASSERT_TRUE(markStartRoom(grid));
    int starts = 0;
    for (int k = 0; k < grid.side * grid.side; ++k)
        if (grid.rooms[k].isStart()) starts += grid.rooms[k].exitCount();
    EXPECT_EQ(starts, 1) << "one start room, with one exit";

    // Room for three monsters only: spreading twenty ends after three.
    RoomGrid small(1);
    small.at(0, 0).capacity = 2;
    small.at(2, 1).capacity = 1;
    EXPECT_EQ(spreadMonsters(small, DUNGEON_MONSTERS), 3);
    EXPECT_EQ(small.at(0, 0).monsters, 2);
}

} // namespace
