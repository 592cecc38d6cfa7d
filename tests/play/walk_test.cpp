// Walking in the game as it ships: clicks on the visible ground through the
// real cursor, the real terrain and the real search.
#include "tests/play/harness.h"

#include "actor/ground.h"
#include "core/camera.h"
#include "render/particles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr double PI = 3.14159265358979;
// Whole searches inside one frame: the frame counts below must not depend on
// the machine's speed or on sanitizers.
constexpr double WHOLE_SEARCH_MS = 1.0e9;
// The unprojected point lands this close to the world point whose screen point
// was clicked (depth and pixel rounding).
constexpr double UNPROJECT_TOLERANCE = 8.0;

struct Target {
    double x = 0.0, y = 0.0;
    int sx = 0, sy = 0;
};

// Open ground around (x, y): the cell and its neighbours may be walked on, so
// that a click a few units off still lands on open ground.
bool openGround(double x, double y) {
    for (int dx = -4; dx <= 4; dx += 4)
        for (int dy = -4; dy <= 4; dy += 4)
            if (!g_actorGround.isWalkable(x + dx, y + dy, 0.0)) return false;
    return true;
}

// A point of open ground `distance` units from the player, as near the
// camera's view direction turned by `turn` radians as can be found, with its
// screen point well inside the window.
bool findTarget(play::Game& g, double distance, double turn, Target& t) {
    const ActorController& p = g.player();
    for (int k = 0; k < 24; ++k) {
        double offset = (k % 2 ? 1 : -1) * ((k + 1) / 2) * (PI / 36);
        double a = g_camera.yaw + turn + offset;
        t.x = p.position[0] + distance * std::cos(a);
        t.y = p.position[1] + distance * std::sin(a);
        if (!openGround(t.x, t.y)) continue;
        if (!g.screenPointOf(t.x, t.y, g.groundAt(t.x, t.y), t.sx, t.sy)) continue;
        if (t.sx > 20 && t.sx < 1004 && t.sy > 20 && t.sy < 748) return true;
    }
    return false;
}

double distance2d(double ax, double ay, double bx, double by) {
    return std::hypot(ax - bx, ay - by);
}

// Cells between the player and a point, counted as the search counts them.
int cellsFrom(const ActorController& p, double x, double y) {
    return std::abs(int(p.position[0]) - int(x)) + std::abs(int(p.position[1]) - int(y));
}

bool standing(const ActorController& p) {
    return p.pathFinished() && p.action == ACTION_IDLE;
}

class PlayWalk : public ::testing::Test {
  protected:
    void SetUp() override {
        g = &play::game();
        ASSERT_TRUE(g->ok()) << g->why;
    }
    // Walks to the end of the path (or gives up after maxPasses).
    void walkToEnd(int maxPasses) {
        ASSERT_GE(g->runUntil([&] { return standing(g->player()); }, maxPasses), 0)
            << "still walking after " << maxPasses << " passes";
    }
    play::Game* g = nullptr;
    play::SearchSlice slice{WHOLE_SEARCH_MS};
};

TEST_F(PlayWalk, ClicksOnOpenGroundWalkThePlayerThereAndHeSetsOffAtOnce) {
    for (double distance : {35.0, 70.0, 110.0}) {
        SCOPED_TRACE(distance);
        Target t;
        ASSERT_TRUE(findTarget(*g, distance, 0.0, t));
        ActorController& p = g->player();
        const double startX = p.position[0], startY = p.position[1];
        g->click(t.sx, t.sy);
        // The merged move, then the press: the search is done in that pass.
        ASSERT_GE(g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 2), 1);
        // The frame's unprojection of the clicked pixel is the search's goal.
        EXPECT_LT(distance2d(p.searchGoalX, p.searchGoalY, t.x, t.y), UNPROJECT_TOLERANCE);
        EXPECT_TRUE(p.pathFound);
        int firstStep =
            g->runUntil([&] { return p.position[0] != startX || p.position[1] != startY; }, 2);
        EXPECT_GE(firstStep, 1) << "no step within 2 frames of the click";
        walkToEnd(int(distance) * 2 + 20);
        EXPECT_LE(cellsFrom(p, p.searchGoalX, p.searchGoalY), p.arriveDistance);
        EXPECT_GT(distance2d(p.position[0], p.position[1], startX, startY), distance - 30.0);
    }
}

TEST_F(PlayWalk, ASecondClickWhileWalkingChangesCourse) {
    ActorController& p = g->player();
    Target ahead, side;
    ASSERT_TRUE(findTarget(*g, 100.0, 0.0, ahead));
    g->click(ahead.sx, ahead.sy);
    ASSERT_GE(g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL && p.pathFound; }, 3), 1);
    g->run(10);
    ASSERT_FALSE(p.pathFinished()) << "still on the way to the first point";
    // The second point lies off to the side, well away from the first.
    ASSERT_TRUE(findTarget(*g, 40.0, PI / 2, side));
    ASSERT_GT(distance2d(ahead.x, ahead.y, side.x, side.y), 60.0);
    g->click(side.sx, side.sy);
    g->run(2);
    EXPECT_LT(distance2d(p.searchGoalX, p.searchGoalY, side.x, side.y), UNPROJECT_TOLERANCE);
    walkToEnd(150);
    EXPECT_LE(cellsFrom(p, p.searchGoalX, p.searchGoalY), p.arriveDistance);
    EXPECT_GT(distance2d(p.position[0], p.position[1], ahead.x, ahead.y), 50.0);
}

TEST_F(PlayWalk, ADoubleClickIsTwoClicksAndWalksLikeOne) {
    ActorController& p = g->player();
    Target t;
    ASSERT_TRUE(findTarget(*g, 45.0, 0.0, t));
    g_particles.clear();
    g->doubleClick(t.sx, t.sy);
    // Move, press, release, press, release: five messages, five passes.
    g->run(5);
    // Each press put its click marker: the second one was not lost.
    EXPECT_EQ(g_particles.activeCount(), 2);
    EXPECT_LT(distance2d(p.searchGoalX, p.searchGoalY, t.x, t.y), UNPROJECT_TOLERANCE);
    walkToEnd(100);
    EXPECT_LE(cellsFrom(p, p.searchGoalX, p.searchGoalY), p.arriveDistance);
}

TEST_F(PlayWalk, MouseMovesQueuedBeforeAClickDelayItByAtMostOnePass) {
    ActorController& p = g->player();
    Target t;
    ASSERT_TRUE(findTarget(*g, 50.0, 0.0, t));
    for (int i = 0; i < 20; ++i)
        g->moveMouse(100 + 30 * i, 200 + 10 * i);
    g->click(t.sx, t.sy);
    // One pass for the moves (merged into one message), one for the press.
    int passes = g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 25);
    EXPECT_GE(passes, 1);
    EXPECT_LE(passes, 2);
    // The click went where the pointer ended, not where it passed.
    EXPECT_LT(distance2d(p.searchGoalX, p.searchGoalY, t.x, t.y), UNPROJECT_TOLERANCE);
}

// The mouse camera puts the pointer back at the window's centre after each
// turn; the click that follows must still go where the pointer was put.
TEST_F(PlayWalk, AfterTurningTheCameraAClickWalksWhereItWasMade) {
    ActorController& p = g->player();
    const float yaw = g_camera.yaw;
    g->moveMouse(512, 384);
    g->rightDown(512, 384);
    g->run(2);
    // Each move turns the camera and the pointer is put back at the centre
    // (whose own motion event comes in the next pass).
    for (int step = 0; step < 3; ++step) {
        g->moveMouse(532, 384);
        g->run(2);
    }
    g->rightUp(512, 384);
    g->run(2);
    EXPECT_GT(std::fabs(g_camera.yaw - yaw), 0.05f) << "the drag turned the camera";
    Target t;
    ASSERT_TRUE(findTarget(*g, 50.0, 0.0, t));
    g->click(t.sx, t.sy);
    ASSERT_GE(g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 3), 1);
    EXPECT_LT(distance2d(p.searchGoalX, p.searchGoalY, t.x, t.y), UNPROJECT_TOLERANCE);
}

// Last: it ends the game of this process.
TEST_F(PlayWalk, EscapeEndsTheGameWithStatusZero) {
    EXPECT_EQ(g->quit(), 0);
    std::vector<std::string> lines = g->logLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "ERROR LOG");
    EXPECT_EQ(lines.back(), "Shutting down...");
}

} // namespace
