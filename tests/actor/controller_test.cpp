#include "actor/directions.h"
#include "test_map.h"

#include <vector>

using testmap::MapTest;

namespace {

void setPath(ActorController& c, std::vector<int> codes) {
    c.pathIndex = 0;
    c.pathLength = int(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i)
        c.path[i] = std::uint8_t(codes[i]);
}

// A creature whose home box is the given cells (the home grid is one unit).
void makeCreature(ActorController& c, int minX, int minY, int maxX, int maxY) {
    c.isPlayer = 0;
    c.homeMinCellX = minX;
    c.homeMinCellY = minY;
    c.homeMaxCellX = maxX;
    c.homeMaxCellY = maxY;
    c.active = true;
}

} // namespace

// A step is due each time the time accumulated since the last one passes
// 1.0; the path's last step, a diagonal, lands on the cell centre beyond.
TEST_F(MapTest, StepsAreDueWhenAccumulatedTimePassesOneAndLandOnCellCentres) {
    for (auto [timeFactor, framesPerStep] : {std::pair{0.6, 2}, {1.0, 2}, {1.01, 1}, {0.3, 4}}) {
        SCOPED_TRACE(timeFactor);
        ActorController c;
        ModelSlot slot;
        slot.halfHeight = 9;
        c.setLook(&slot, 0);
        placeAt(c, 10.5, 20.5);
        setPath(c, {0, 0, 5});
        g_settings.timeFactor = timeFactor;
        for (int frame = 1; frame <= 3 * framesPerStep + 1; ++frame) {
            c.stepAlongPath();
            const int steps = std::min(3, frame / framesPerStep);
            EXPECT_DOUBLE_EQ(c.position[0], 10.5 + steps) << "frame " << frame;
            EXPECT_DOUBLE_EQ(c.position[1], 20.5 + (steps == 3)) << "frame " << frame;
        }
        EXPECT_TRUE(c.pathFinished());
        EXPECT_FLOAT_EQ(c.heading, 0.7853982f);
        EXPECT_DOUBLE_EQ(c.position[2], testmap::GROUND + 9);
        c.setLook(nullptr, 0);
    }
}

TEST_F(MapTest, StepOntoBlockedCellIsTakenBack) {
    for (int code : {0, 5, 6}) {
        SCOPED_TRACE(code);
        ActorController c;
        placeAt(c, 30.5, 40.5);
        testmap::blocked.clear();
        testmap::block(30 + dir::kSteps[code].dx, 40 + dir::kSteps[code].dy);
        setPath(c, {code, 3});
        c.stepAlongPath();
        // Back on the cell it stood on, facing the blocked cell; the step is used up.
        EXPECT_DOUBLE_EQ(c.position[0], 30.5);
        EXPECT_DOUBLE_EQ(c.position[1], 40.5);
        EXPECT_FLOAT_EQ(c.heading, dir::headingOf(code));
        EXPECT_EQ(c.pathIndex, 1);
        c.stepAlongPath();
        EXPECT_DOUBLE_EQ(c.position[1], 41.5);
    }
}

TEST_F(MapTest, MovementKeysStepRelativeToHeading) {
    ActorController c;
    placeAt(c, 60.5, 60.5);
    c.heading = 0.0f;
    c.moveForward();
    EXPECT_DOUBLE_EQ(c.position[0], 61.5);
    c.moveLeft();
    EXPECT_DOUBLE_EQ(c.position[1], 61.5);
    c.moveRight();
    EXPECT_DOUBLE_EQ(c.position[1], 60.5);
    c.moveBackward();
    EXPECT_DOUBLE_EQ(c.position[0], 60.5);
    EXPECT_DOUBLE_EQ(c.position[1], 60.5);
    EXPECT_TRUE(c.moving);
    EXPECT_NEAR(c.direction[0], -1.0, 1e-6);
}

// At the end of a walk a creature idles 50 to 149 frames, then wanders to a
// goal inside its home box.
TEST_F(MapTest, IdleCreatureWaitsFiftyToOneFortyNineFramesThenWandersInsideItsHome) {
    for (int trial = 0; trial < 20; ++trial) {
        ActorController c;
        makeCreature(c, 900, 950, 930, 960);
        placeAt(c, 915.5, 955.5);
        setPath(c, {0});
        c.setAction(ACTION_GO_TO_GOAL);
        c.update();
        ASSERT_EQ(c.action, ACTION_IDLE);
        const int countdown = c.idleCountdown;
        EXPECT_GE(countdown, 50);
        EXPECT_LE(countdown, 149);
        for (int f = 1; f < countdown; ++f)
            c.update();
        EXPECT_EQ(c.action, ACTION_IDLE);
        c.update();
        ASSERT_EQ(c.action, ACTION_WANDER);
        c.update();
        EXPECT_EQ(c.action, ACTION_GO_TO_GOAL);
        EXPECT_EQ(c.previousAction, ACTION_WANDER);
        EXPECT_TRUE(c.goal[0] >= 900.0 && c.goal[0] < 930.0) << c.goal[0];
        EXPECT_TRUE(c.goal[1] >= 950.0 && c.goal[1] < 960.0) << c.goal[1];
        EXPECT_TRUE(c.goalAccepted);
    }
    // A box without extent gives its minimum cell, and wandering with it does no harm.
    ActorController c;
    makeCreature(c, 40, 70, 40, 60);
    c.homeCellWidth = c.homeCellHeight = 8;
    c.chooseHomeGoal();
    EXPECT_DOUBLE_EQ(c.goal[0], 40 * 8 + 4);
    EXPECT_DOUBLE_EQ(c.goal[1], 70 * 8 + 4);
    placeAt(c, 2000.5, 2000.5);
    c.setAction(ACTION_WANDER);
    for (int i = 0; i < 10; ++i)
        c.update();
    EXPECT_TRUE(c.action == ACTION_WANDER || c.action == ACTION_GO_TO_GOAL);
}

// The walk animation while the creature closes in, the idle one beside the player.
TEST_F(MapTest, CreatureChasesPlayerInsideItsHomeBox) {
    ActorController& player = playerActor();
    placeAt(player, 1100.5, 1100.5);
    ActorController c;
    ModelSlot slot;
    slot.walkAnimation = 6;
    slot.idleAnimation = 2;
    c.setLook(&slot, slot.idleAnimation);
    makeCreature(c, 1050, 1050, 1150, 1150);
    placeAt(c, 1140.5, 1100.5);
    c.update();
    EXPECT_EQ(c.action, ACTION_CHASE);
    EXPECT_EQ(c.instance.animation, 6);
    EXPECT_DOUBLE_EQ(c.goal[0], 1100.5);
    EXPECT_TRUE(c.goalAccepted);
    for (int f = 0; f < 5000 && !(c.pathFound && c.pathFinished()); ++f)
        c.update();
    EXPECT_EQ(c.action, ACTION_CHASE);
    EXPECT_LE(std::abs(c.position[0] - 1100.5) + std::abs(c.position[1] - 1100.5), 21.0);
    EXPECT_EQ(c.instance.animation, 2);
    // (The creature tests follow a player who walks off, to the giving up.)
    c.setLook(nullptr, 0);
}
