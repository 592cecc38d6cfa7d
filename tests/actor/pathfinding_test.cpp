#include "actor/directions.h"
#include "test_map.h"

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
    EXPECT_TRUE(c.searchQueue.empty());
}

TEST_F(MapTest, GoalsAtTheSearchLimitOrOnBlockedCellsAreRefused) {
    for (int isPlayer : {0, 1}) {
        SCOPED_TRACE(isPlayer);
        ActorController c;
        c.isPlayer = isPlayer;
        int limit = c.searchLimit();
        EXPECT_FALSE(startSearchTo(c, 1200.5, 1200.5, 1200.5 + limit, 1200.5));
        EXPECT_TRUE(c.searchQueue.empty());
        EXPECT_TRUE(startSearchTo(c, 1200.5, 1200.5, 1200.5 + limit - 1, 1200.5));
        EXPECT_FALSE(c.searchQueue.empty());
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
    EXPECT_TRUE(c.searchQueue.empty());
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
