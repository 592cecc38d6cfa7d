// Walking in the game as it ships: clicks on the visible ground through the
// real cursor, the real terrain and the real search.
#include "tests/play/steps.h"

#include "core/camera.h"
#include "render/particles.h"

#include <cmath>
#include <cstdlib>

namespace {

using namespace play;

class PlayWalk : public Scenario {
  protected:
    // A target of open ground ahead (turned by `turn`), clicked; true once
    // the player set out for it.
    void clickAhead(double distance, double turn, ScreenTarget& t, int passes = 3) {
        ASSERT_TRUE(groundAhead(*g, distance, turn, t));
        g->click(t.sx, t.sy);
        ASSERT_GE(g->runUntil([&] { return g->player().action == ACTION_GO_TO_GOAL; }, passes), 1);
    }
    // The frame's unprojection of the clicked pixel is the search's goal.
    void expectGoalAt(const ScreenTarget& t) {
        const ActorController& p = g->player();
        EXPECT_LT(std::hypot(p.searchGoalX - t.x, p.searchGoalY - t.y), UNPROJECT_TOLERANCE);
    }
    // Walks to the end of the path, arriving at the goal as the search counts it.
    void walkToEnd(int maxPasses) {
        const ActorController& p = g->player();
        ASSERT_GE(g->runUntil([&] { return standing(p); }, maxPasses), 0)
            << "still walking after " << maxPasses << " passes";
        EXPECT_LE(cellsToGoal(p), p.arriveDistance);
    }
};

// The first click of the whole-game play-through shows the player setting
// off at once toward the unprojected point and arriving there.

TEST_F(PlayWalk, ASecondClickWhileWalkingChangesCourse) {
    ActorController& p = g->player();
    ScreenTarget ahead, side;
    clickAhead(100.0, 0.0, ahead);
    if (HasFatalFailure()) return;
    g->run(10);
    ASSERT_FALSE(p.pathFinished()) << "still on the way to the first point";
    // The second point lies off to the side, well away from the first.
    ASSERT_TRUE(groundAhead(*g, 40.0, PI / 2, side));
    ASSERT_GT(std::hypot(ahead.x - side.x, ahead.y - side.y), 60.0);
    g->click(side.sx, side.sy);
    g->run(2);
    expectGoalAt(side);
    walkToEnd(150);
    EXPECT_GT(distance2d(p.position, ahead.x, ahead.y), 50.0);
}

TEST_F(PlayWalk, ADoubleClickIsTwoClicksAndWalksLikeOne) {
    ScreenTarget t;
    ASSERT_TRUE(groundAhead(*g, 45.0, 0.0, t));
    g_particles.clear();
    g->doubleClick(t.sx, t.sy);
    // Move, press, release, press, release: five messages, five passes.
    g->run(5);
    // Each press put its click marker: the second one was not lost.
    EXPECT_EQ(g_particles.activeCount(), 2);
    expectGoalAt(t);
    walkToEnd(100);
}

TEST_F(PlayWalk, MouseMovesQueuedBeforeAClickDelayItByAtMostOnePass) {
    ScreenTarget t;
    ASSERT_TRUE(groundAhead(*g, 50.0, 0.0, t));
    for (int i = 0; i < 20; ++i)
        g->moveMouse(100 + 30 * i, 200 + 10 * i);
    g->click(t.sx, t.sy);
    // One pass for the moves (merged into one message), one for the press.
    int passes = g->runUntil([&] { return g->player().action == ACTION_GO_TO_GOAL; }, 25);
    EXPECT_GE(passes, 1);
    EXPECT_LE(passes, 2);
    // The click went where the pointer ended, not where it passed.
    expectGoalAt(t);
}

// The mouse camera puts the pointer back at the window's centre after each
// turn; the click that follows must still go where the pointer was put.
TEST_F(PlayWalk, AfterTurningTheCameraAClickWalksWhereItWasMade) {
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
    ScreenTarget t;
    clickAhead(50.0, 0.0, t);
    expectGoalAt(t);
}

} // namespace
