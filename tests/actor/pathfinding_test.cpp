#include "actor/directions.h"
#include "test_map.h"
#include "tests/support/reference_search.h"

#include <algorithm>
#include <random>
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

std::vector<int> codes(const ActorController& c) {
    return std::vector<int>(c.path + c.pathIndex, c.path + c.pathLength);
}

// Cells visited when walking the path's codes from the actor's cell.
std::vector<std::pair<int, int>> cellsAlong(const ActorController& c) {
    std::vector<std::pair<int, int>> cells;
    int x = int(c.position[0]), y = int(c.position[1]);
    for (int code : codes(c)) {
        x += dir::kSteps[code].dx;
        y += dir::kSteps[code].dy;
        cells.push_back({x, y});
    }
    return cells;
}

// Turn between two headings in degrees, 0..180.
double turnDegrees(int fromCode, int toCode) {
    double a = dir::headingOf(fromCode) * 180.0 / 3.14159265358979;
    double b = dir::headingOf(toCode) * 180.0 / 3.14159265358979;
    double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

} // namespace

TEST_F(MapTest, GoalWithinArriveDistanceOfFirstChildGivesOneStepAway) {
    ActorController c;
    ASSERT_TRUE(startSearchTo(c, 100.5, 100.5, 115.5, 100.5));
    EXPECT_FALSE(c.pathFound);
    c.search();
    ASSERT_TRUE(c.pathFound);
    // The first node taken is the d child, 16 from the goal.
    EXPECT_EQ(codes(c), std::vector<int>{1});
    EXPECT_TRUE(c.searchQueueEmpty());
}

TEST_F(MapTest, GoalsAtTheSearchLimitOrOnBlockedCellsAreRefused) {
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
    ActorController c;
    testmap::block(150, 100);
    EXPECT_FALSE(startSearchTo(c, 100.5, 100.5, 150.5, 100.5));
    EXPECT_EQ(c.action, ACTION_GO_TO_GOAL);
    c.update();
    EXPECT_EQ(c.action, ACTION_IDLE) << "the refused go-to returns to what the actor did before";
}

TEST_F(MapTest, WalledInStartNeverFindsPath) {
    ActorController c;
    testmap::blockRect(99, 99, 101, 101);
    testmap::blocked.erase({100, 100});
    ASSERT_TRUE(startSearchTo(c, 100.5, 100.5, 160.5, 100.5));
    EXPECT_TRUE(c.searchQueueEmpty());
    EXPECT_EQ(searchUntilFound(c, 50), -1);
    EXPECT_EQ(c.pathLength, 0);
    EXPECT_TRUE(c.pathFinished());
}

TEST_F(MapTest, PathAroundWallStaysOffBlockedCellsAndTurnsAtMostNinety) {
    ActorController c;
    c.isPlayer = 1;
    // A wall across the straight line, open above and below.
    testmap::blockRect(130, 60, 132, 140);
    ASSERT_TRUE(startSearchTo(c, 100.5, 100.5, 170.5, 100.5));
    ASSERT_GT(searchUntilFound(c, 2000), 0);
    std::vector<int> path = codes(c);
    ASSERT_FALSE(path.empty());
    for (std::size_t i = 1; i < path.size(); ++i)
        EXPECT_LE(turnDegrees(path[i - 1], path[i]), 90.0) << "step " << i;
    std::vector<std::pair<int, int>> cells = cellsAlong(c);
    for (auto cell : cells)
        EXPECT_EQ(testmap::blocked.count(cell), 0u);
    auto end = cells.back();
    EXPECT_LE(std::abs(end.first - 170) + std::abs(end.second - 100), c.arriveDistance);
    // It went round the wall's end, not through it.
    bool passedWall = false;
    for (auto cell : cells)
        passedWall |= cell.second > 140 || cell.second < 60;
    EXPECT_TRUE(passedWall);
}

TEST_F(MapTest, SearchFromNearGridEdgeNeverEntersNegativeCells) {
    ActorController c;
    // Only a corridor along x = 0 leads past a wall; negative x is open too
    // but must never be used.
    testmap::blockRect(1, 30, 60, 31);
    ASSERT_TRUE(startSearchTo(c, 10.5, 10.5, 10.5, 70.5));
    ASSERT_GT(searchUntilFound(c, 3000), 0);
    for (auto cell : cellsAlong(c)) {
        EXPECT_GE(cell.first, 0);
        EXPECT_GE(cell.second, 0);
    }
}

TEST_F(MapTest, VisitedCellsOfOneSearchDoNotBlockTheNext) {
    ActorController c;
    ASSERT_TRUE(startSearchTo(c, 300.5, 300.5, 350.5, 300.5));
    ASSERT_GT(searchUntilFound(c, 5000), 0);
    std::vector<int> first = codes(c);
    // Same search again, then one starting a little further on.
    ASSERT_TRUE(startSearchTo(c, 300.5, 300.5, 350.5, 300.5));
    ASSERT_GT(searchUntilFound(c, 5000), 0);
    EXPECT_EQ(codes(c), first);
    ASSERT_TRUE(startSearchTo(c, 310.5, 302.5, 350.5, 300.5));
    EXPECT_GT(searchUntilFound(c, 5000), 0);
}

TEST_F(MapTest, AcceptedNewGoalDropsOldPath) {
    ActorController c;
    ASSERT_TRUE(startSearchTo(c, 500.5, 500.5, 560.5, 500.5));
    ASSERT_GT(searchUntilFound(c, 5000), 0);
    ASSERT_FALSE(c.pathFinished());
    // A refused goal keeps the path being walked...
    testmap::block(450, 500);
    c.goal[0] = 450.5;
    c.goal[1] = 500.5;
    c.startSearch();
    EXPECT_FALSE(c.goalAccepted);
    EXPECT_FALSE(c.pathFinished());
    // ...an accepted one drops it: the new path starts where the actor stands.
    c.goal[0] = 440.5;
    c.startSearch();
    EXPECT_TRUE(c.goalAccepted);
    EXPECT_TRUE(c.pathFinished());
}

namespace {

// A maze of corridors `width` units wide between walls one unit thick,
// carved by a depth-first walk from its first cell; its outer wall is closed.
// Its lower left corner is (x0, y0); returns the centre of each maze cell.
std::vector<std::pair<double, double>> buildMaze(int x0, int y0, int cells, int width,
                                                 std::mt19937& rng) {
    const int pitch = width + 1, side = cells * pitch + 1;
    testmap::blockRect(x0, y0, x0 + side - 1, y0 + side - 1);
    auto open = [&](int cx, int cy, int w, int h) {
        for (int x = cx; x < cx + w; ++x)
            for (int y = cy; y < cy + h; ++y)
                testmap::blocked.erase({x, y});
    };
    std::vector<std::pair<double, double>> centres;
    std::vector<bool> seen(std::size_t(cells * cells), false);
    std::vector<std::pair<int, int>> stack = {{0, 0}};
    seen[0] = true;
    while (!stack.empty()) {
        auto [i, j] = stack.back();
        open(x0 + 1 + i * pitch, y0 + 1 + j * pitch, width, width);
        std::vector<std::pair<int, int>> next;
        for (auto [di, dj] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
            int ni = i + di, nj = j + dj;
            if (ni >= 0 && nj >= 0 && ni < cells && nj < cells &&
                !seen[std::size_t(ni * cells + nj)])
                next.push_back({ni, nj});
        }
        if (next.empty()) {
            centres.push_back({x0 + 1 + i * pitch + width / 2.0, y0 + 1 + j * pitch + width / 2.0});
            stack.pop_back();
            continue;
        }
        auto [ni, nj] = next[rng() % next.size()];
        // The wall between the two cells is opened.
        int wx = x0 + 1 + std::min(i, ni) * pitch + (ni != i ? width : 0);
        int wy = y0 + 1 + std::min(j, nj) * pitch + (nj != j ? width : 0);
        open(wx, wy, ni != i ? 1 : width, nj != j ? 1 : width);
        seen[std::size_t(ni * cells + nj)] = true;
        stack.push_back({ni, nj});
    }
    return centres;
}

// Rocks scattered over open ground: each cell of the square blocked with
// the given chance.
void scatterRocks(int x0, int y0, int side, double chance, std::mt19937& rng) {
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int x = x0; x < x0 + side; ++x)
        for (int y = y0; y < y0 + side; ++y)
            if (u(rng) < chance) testmap::block(x, y);
}

} // namespace

// The search reads its path back through parent links and runs in slices;
// the plain search that copies whole paths must agree with it everywhere:
// refusals, failures and every step of every path found.
TEST_F(MapTest, SearchFindsTheSamePathsAsThePlainSearch) {
    struct Case {
        const char* ground;
        int isPlayer;
    };
    const Case cases[] = {{"maze", 1}, {"maze", 0}, {"rocks", 1}, {"rocks", 0}};
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.ground) + (k.isPlayer ? " player" : " creature"));
        testmap::blocked.clear();
        std::mt19937 rng(k.isPlayer * 7 + 11);
        std::vector<std::pair<double, double>> points;
        if (std::string(k.ground) == "maze") {
            points = buildMaze(1000, 1000, 12, 2, rng);
        } else {
            scatterRocks(1000, 1000, 80, 0.3, rng);
            std::uniform_real_distribution<double> u(1000.0, 1080.0);
            for (int i = 0; i < 60; ++i)
                points.push_back({u(rng), u(rng)});
        }
        ActorController c;
        c.isPlayer = k.isPlayer;
        int found = 0;
        for (int pair = 0; pair < 25; ++pair) {
            auto [sx, sy] = points[rng() % points.size()];
            auto [gx, gy] = points[rng() % points.size()];
            reference::Outcome plain = reference::search(sx, sy, testmap::GROUND, gx, gy,
                                                         c.searchLimit(), c.arriveDistance);
            reference::Outcome game = reference::gameSearch(c, sx, sy, testmap::GROUND, gx, gy);
            EXPECT_EQ(game, plain) << "from " << sx << ", " << sy << " to " << gx << ", " << gy;
            found += plain.found && plain.codes.size() > 5;
        }
        // The pairs are not all trivial.
        EXPECT_GT(found, 5);
    }
}

// A slice of no time still expands a stride of nodes a frame, and cutting the
// search into such slices finds the path found in one go.
TEST_F(MapTest, PlayerSearchSlicesDoNotChangeThePath) {
    testmap::blockRect(130, 60, 132, 140);
    ActorController c;
    c.isPlayer = 1;
    const double saved = g_playerSearchSliceMs;
    g_playerSearchSliceMs = 1.0e9;
    ASSERT_TRUE(startSearchTo(c, 100.5, 100.5, 170.5, 100.5));
    EXPECT_EQ(searchUntilFound(c, 1), 1);
    std::vector<int> whole = codes(c);
    g_playerSearchSliceMs = 0.0;
    ASSERT_TRUE(startSearchTo(c, 100.5, 100.5, 170.5, 100.5));
    int runs = searchUntilFound(c, 100000);
    g_playerSearchSliceMs = saved;
    EXPECT_EQ(codes(c), whole);
    EXPECT_EQ(runs, int((c.expandedNodes + SEARCH_CLOCK_STRIDE - 1) / SEARCH_CLOCK_STRIDE));
    EXPECT_GT(runs, 10);
}
