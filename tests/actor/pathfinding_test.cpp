// The path search. The game's search reads its path back through parent
// links and runs in slices; the plain search of tests/support, which copies
// whole paths as the rules read, must agree with it everywhere: refusals,
// failures and every step of every path found.
#include "actor/directions.h"
#include "test_map.h"
#include "tests/support/reference_search.h"

#include <array>
#include <random>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using testmap::MapTest;

namespace {

// Starts a search from (x, y) to (gx, gy) and returns whether the goal was accepted.
bool startSearchTo(ActorController& c, double x, double y, double gx, double gy) {
    MapTest::placeAt(c, x, y);
    c.goal[0] = gx;
    c.goal[1] = gy;
    c.startSearch();
    return c.goalAccepted;
}

// Runs both searches from (x, y) to (gx, gy) with `c`; returns the plain one.
reference::Outcome expectSameAsPlainSearch(ActorController& c, double x, double y, double gx,
                                           double gy) {
    const reference::Outcome plain =
        reference::search(x, y, testmap::GROUND, gx, gy, c.searchLimit(), c.arriveDistance);
    EXPECT_EQ(reference::gameSearch(c, x, y, testmap::GROUND, gx, gy), plain)
        << (c.isPlayer ? "player" : "creature") << " from " << x << ", " << y << " to " << gx
        << ", " << gy;
    return plain;
}

// Bytes of the whole pages of [bytes, bytes + size) that are resident.
std::size_t residentBytes(const std::uint8_t* bytes, std::size_t size) {
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t first = (std::uintptr_t(bytes) + page - 1) & ~(page - 1);
    const std::uintptr_t last = (std::uintptr_t(bytes) + size) & ~(page - 1);
    std::vector<unsigned char> pages((last - first) / page);
    if (mincore(reinterpret_cast<void*>(first), last - first, pages.data()) != 0) return size;
    std::size_t resident = 0;
    for (unsigned char p : pages)
        resident += (p & 1) * page;
    return resident;
}

} // namespace

TEST_F(MapTest, HandMadeCasesFindTheSamePathsAsThePlainSearch) {
    struct Case {
        const char* what;
        std::vector<std::array<int, 4>> walls; // blocked rectangles x0, y0, x1, y1
        double x, y, gx, gy;
        bool found;
    };
    const std::vector<std::array<int, 4>> ring = {
        {99, 99, 101, 99}, {99, 101, 101, 101}, {99, 100, 99, 100}, {101, 100, 101, 100}};
    const Case cases[] = {
        // The first node taken, the d child, is already within reach.
        {"goal within reach of the first child", {}, 100.5, 100.5, 115.5, 100.5, true},
        {"walled-in start", ring, 100.5, 100.5, 160.5, 100.5, false},
        // A wall from the grid's edge: the short way round, through negative
        // cells (open ground here), is never taken; the long way is.
        {"wall from the grid's edge", {{0, 30, 60, 31}}, 10.5, 10.5, 10.5, 70.5, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        testmap::blocked.clear();
        for (const auto& w : k.walls)
            testmap::blockRect(w[0], w[1], w[2], w[3]);
        for (int isPlayer : {1, 0}) {
            ActorController c;
            c.isPlayer = isPlayer;
            EXPECT_EQ(expectSameAsPlainSearch(c, k.x, k.y, k.gx, k.gy).found, k.found);
        }
    }
}

// Rocks scattered over open ground, and small rooms with doors between
// them; one controller of each kind runs every search, so that the cells
// one search visited must not block the next.
TEST_F(MapTest, RandomGroundFindsTheSamePathsAsThePlainSearch) {
    for (bool rooms : {false, true}) {
        SCOPED_TRACE(rooms ? "rooms" : "rocks");
        testmap::blocked.clear();
        std::mt19937 rng(rooms ? 11 : 18);
        std::uniform_real_distribution<double> u(0.0, 1.0);
        // Rooms: walls every fourth cell both ways, a wall cell between
        // corners open with a chance of one in four.
        for (int x = 1000; x <= 1080; ++x)
            for (int y = 1000; y <= 1080; ++y) {
                const bool wallX = x % 4 == 0, wallY = y % 4 == 0;
                if (rooms ? (wallX || wallY) && (wallX == wallY || u(rng) > 0.25) : u(rng) < 0.3)
                    testmap::block(x, y);
            }
        ActorController player, creature;
        player.isPlayer = 1;
        int found = 0;
        for (int pair = 0; pair < 25; ++pair) {
            // Room centres, or any points.
            auto point = [&] { return rooms ? 1002.5 + 4 * int(u(rng) * 20) : 1000 + 80 * u(rng); };
            const double sx = point(), sy = point(), gx = point(), gy = point();
            for (ActorController* c : {&player, &creature}) {
                const reference::Outcome plain = expectSameAsPlainSearch(*c, sx, sy, gx, gy);
                found += plain.found && plain.codes.size() > 5;
            }
        }
        // The pairs are not all trivial.
        EXPECT_GT(found, 10);
    }
}

TEST_F(MapTest, GoalsAtTheSearchLimitAreRefused) {
    for (int isPlayer : {0, 1}) {
        SCOPED_TRACE(isPlayer);
        ActorController c;
        c.isPlayer = isPlayer;
        int limit = c.searchLimit();
        EXPECT_FALSE(startSearchTo(c, 1200.5, 1200.5, 1200.5 + limit, 1200.5));
        EXPECT_TRUE(c.searchQueueEmpty());
        EXPECT_TRUE(startSearchTo(c, 1200.5, 1200.5, 1200.5 + limit - 1, 1200.5));
        EXPECT_FALSE(c.searchQueueEmpty());
    }
}

// A slice of no time still expands a stride of nodes a frame, and cutting the
// search into such slices finds the path found in one go.
TEST_F(MapTest, PlayerSearchSlicesDoNotChangeThePath) {
    testmap::blockRect(130, 60, 132, 140);
    ActorController c;
    c.isPlayer = 1;
    g_playerSearchSliceMs = 1.0e9;
    ASSERT_TRUE(startSearchTo(c, 100.5, 100.5, 170.5, 100.5));
    EXPECT_EQ(searchUntilFound(c, 1), 1);
    const std::vector<int> whole(c.path + c.pathIndex, c.path + c.pathLength);
    g_playerSearchSliceMs = 0.0;
    ASSERT_TRUE(startSearchTo(c, 100.5, 100.5, 170.5, 100.5));
    int runs = searchUntilFound(c, 100000);
    EXPECT_EQ(std::vector<int>(c.path + c.pathIndex, c.path + c.pathLength), whole);
    EXPECT_EQ(runs, int((c.expandedNodes + SEARCH_CLOCK_STRIDE - 1) / SEARCH_CLOCK_STRIDE));
    EXPECT_GT(runs, 10);
}

// A search that tries every cell within reach of an enclosed goal grows the
// node pool and marks a large part of the visited grid; once it is over, both
// go back to the system (a creature chasing the player over ground it cannot
// cross held them for the rest of the game), and the next search is sound.
TEST_F(MapTest, AnExhaustedSearchGivesItsMemoryBack) {
    // A closed square wall 25 cells around the goal, wider than the arrival distance.
    testmap::blockRect(1505, 1475, 1555, 1475);
    testmap::blockRect(1505, 1525, 1555, 1525);
    testmap::blockRect(1505, 1475, 1505, 1525);
    testmap::blockRect(1555, 1475, 1555, 1525);
    ActorController c;
    c.creatureBudget = 1 << 30;
    ASSERT_TRUE(startSearchTo(c, 1480.5, 1500.5, 1530.5, 1500.5));
    while (!c.searchQueueEmpty())
        c.search();
    EXPECT_FALSE(c.pathFound);
    EXPECT_GT(c.expandedNodes, 300000);
    EXPECT_LE(residentBytes(reinterpret_cast<const std::uint8_t*>(c.searchNodes.data()),
                            c.searchNodes.capacity() * sizeof(SearchNode)),
              (std::size_t(1) << 16) * sizeof(SearchNode) + 8192);
    EXPECT_LT(residentBytes(c.visited.get(), VISITED_BYTES), 64u << 10);
    EXPECT_TRUE(expectSameAsPlainSearch(c, 1480.5, 1500.5, 1580.5, 1540.5).found);
}
