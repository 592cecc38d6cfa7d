// Picking and acting in the game as it ships: the mouse over a creature picks
// it, a click sends the player there and he attacks on arrival; a click on
// open ground drops what was pending. Clicks on an entrance, a door, a chest
// and the stairs are played in the whole game.
#include "tests/play/steps.h"

#include "app/input.h"
#include "core/camera.h"
#include "interact/picker.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

using namespace play;

class PlayPicking : public Scenario {
  protected:
    void SetUp() override {
        Scenario::SetUp();
        if (!HasFatalFailure()) g->run(5);
    }
    // Stands creature i on open ground `distance` units ahead of the player,
    // points the mouse at it and clicks: an attack is then pending.
    void clickCreatureAhead(int i, double distance) {
        ScreenTarget t;
        ASSERT_TRUE(groundAhead(*g, distance, 0.0, t));
        ActorController& c = g->actor(i);
        c.active = true;
        c.position[0] = t.x;
        c.position[1] = t.y;
        c.position[2] = t.z;
        ASSERT_TRUE(pointAt(c.position[0], c.position[1], c.position[2] + 4));
        ASSERT_TRUE(g_picker.isPicked(PickCreature, std::uint32_t(c.instance.id)))
            << g_picker.hitType << " " << g_picker.hitId;
        clickThere();
        ASSERT_GE(g->runUntil([&] { return g->pendingAction() == PENDING_ATTACK; }, 3), 1);
    }
};

TEST_F(PlayPicking, AClickOnACreatureAttacksItOnceThePlayerIsWithinReach) {
    const std::size_t logStart = g->logLines().size();
    clickCreatureAhead(0, 70.0);
    if (HasFatalFailure()) return;
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == PENDING_NONE; }, 600), 1)
        << "never came within reach";
    const std::vector<std::string> log = g->logLines();
    const std::size_t attack = findLine(log, logStart, {"Running attack"});
    ASSERT_NE(attack, std::string::npos);
    const std::size_t roll = findLine(log, attack + 1, {"Critical hit", "Hit!"});
    ASSERT_EQ(roll, attack + 1) << "the roll follows the attack";
    EXPECT_EQ(findLine(log, roll + 1, {"DAMAGE: "}), roll + 1);
}

TEST_F(PlayPicking, AClickOnOpenGroundDropsThePendingActionAndWalks) {
    ActorController& p = g->player();
    // An attack on a creature far ahead is pending while the player walks.
    clickCreatureAhead(1, 75.0);
    if (HasFatalFailure()) return;
    g->actor(1).active = false; // it must not come to the player meanwhile
    g->run(1);
    // Then a click on open ground to the side.
    const double a = g_camera.yaw + PI / 2;
    double x = 0, y = 0;
    bool found = false;
    for (double r = 30; r <= 60 && !found; r += 5) {
        x = p.position[0] + r * std::cos(a);
        y = p.position[1] + r * std::sin(a);
        found = openGround(x, y) && pointAt(x, y, g->groundAt(x, y));
    }
    ASSERT_TRUE(found);
    ASSERT_EQ(g->pendingAction(), PENDING_ATTACK) << "still on the way to the creature";
    const std::size_t logStart = g->logLines().size();
    clickThere();
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == PENDING_NONE; }, 3), 1);
    ASSERT_GE(g->runUntil([&] { return standing(p); }, 400), 1);
    EXPECT_LT(distance2d(p.position, x, y), 2.0 * p.arriveDistance);
    EXPECT_EQ(findLine(g->logLines(), logStart, {"Running attack"}), std::string::npos);
}

} // namespace
