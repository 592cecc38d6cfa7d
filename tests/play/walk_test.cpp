// Walking in the game as it ships: clicks on the visible ground through the
// real cursor, the real terrain and the real search.
#include "tests/play/steps.h"

#include "core/camera.h"
#include "render/particles.h"

#include <cmath>

namespace {

using namespace play;

using PlayWalk = Scenario;

// The frame's unprojection of the clicked pixel is the search's goal.
void expectGoalAt(const ActorController& p, const ScreenTarget& t) {
    EXPECT_LT(std::hypot(p.searchGoalX - t.x, p.searchGoalY - t.y), UNPROJECT_TOLERANCE);
}

// Moves queued before a click, a double click that changes course while the
// player walks, then a click after the mouse camera turned the view.
TEST_F(PlayWalk, QueuedMovesADoubleClickThatChangesCourseAndAClickAfterATurn) {
    ActorController& p = g->player();
    // Moves merge into one message: the click waits at most one pass and goes
    // where the pointer ended, not where it passed.
    ScreenTarget ahead, side;
    ASSERT_TRUE(groundAhead(*g, 100.0, 0.0, ahead));
    const double from[2] = {p.position[0], p.position[1]};
    for (int i = 0; i < 20; ++i)
        g->moveMouse(100 + 30 * i, 200 + 10 * i);
    g->click(ahead.sx, ahead.sy);
    const int passes = g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 25);
    EXPECT_GE(passes, 1);
    EXPECT_LE(passes, 2);
    EXPECT_TRUE(p.pathFound) << "the search is done in the pass of the press";
    expectGoalAt(p, ahead);
    EXPECT_GE(g->runUntil([&] { return p.position[0] != from[0] || p.position[1] != from[1]; }, 2),
              1)
        << "the first step comes at once";

    g->run(10);
    ASSERT_FALSE(p.pathFinished()) << "still on the way to the first point";
    ASSERT_TRUE(groundAhead(*g, 40.0, PI / 2, side));
    ASSERT_GT(std::hypot(ahead.x - side.x, ahead.y - side.y), 60.0);
    g_particles.clear();
    g->doubleClick(side.sx, side.sy);
    // Move, press, release, press, release: five messages, five passes; each
    // press put its click marker, the second one was not lost.
    g->run(5);
    EXPECT_EQ(g_particles.activeCount(), 2);
    expectGoalAt(p, side);
    ASSERT_GE(g->runUntil([&] { return standing(p); }, 150), 0) << "still walking";
    EXPECT_LE(cellsToGoal(p), p.arriveDistance);
    EXPECT_GT(distance2d(p.position, ahead.x, ahead.y), 50.0);

    // The mouse camera puts the pointer back at the window's centre after each
    // turn (its own motion event comes in the next pass); the click that
    // follows must still go where the pointer was put.
    const float yaw = g_camera.yaw;
    g->moveMouse(512, 384);
    g->rightDown(512, 384);
    g->run(2);
    for (int step = 0; step < 3; ++step) {
        g->moveMouse(532, 384);
        g->run(2);
    }
    g->rightUp(512, 384);
    g->run(2);
    EXPECT_GT(std::fabs(g_camera.yaw - yaw), 0.05f) << "the drag turned the camera";
    // The drag also tilts the view down to its limit: only near ground shows.
    ScreenTarget near;
    ASSERT_TRUE(groundAhead(*g, 40.0, 0.0, near));
    g->click(near.sx, near.sy);
    ASSERT_GE(g->runUntil([&] { return p.action == ACTION_GO_TO_GOAL; }, 3), 1);
    expectGoalAt(p, near);
}

} // namespace
