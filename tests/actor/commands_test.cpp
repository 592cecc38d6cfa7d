#include "actor/commands.h"
#include "app/input.h"
#include "app/mainloop.h"
#include "render/particles.h"
#include "test_map.h"

#include <algorithm>
#include <iterator>

using testmap::MapTest;

namespace {

// The one marker shown: its sprite, at (x, y) 10 above the ground.
void expectMarker(int sprite, double x, double y) {
    ASSERT_EQ(g_particles.activeCount(), 1);
    const Particle& p =
        *std::find_if(std::begin(g_particles.particles), std::end(g_particles.particles),
                      [](const Particle& q) { return q.active; });
    EXPECT_EQ(p.sprite, sprite);
    EXPECT_FLOAT_EQ(float(p.position[0]), float(x));
    EXPECT_FLOAT_EQ(float(p.position[1]), float(y));
    EXPECT_FLOAT_EQ(float(p.position[2]), float(testmap::GROUND + MARKER_HEIGHT));
}

class ClickTest : public MapTest {
  protected:
    void SetUp() override {
        MapTest::SetUp();
        g_input.reset();
        g_settings.clearFlag(FLAG_FREEMOVE | FLAG_INPUT_LOCKED);
        ActorController& player = playerActor();
        placeAt(player, 3000.5, 3000.5);
        player.pathIndex = player.pathLength = 0;
        player.action = player.previousAction = ACTION_IDLE;
        player.goalAccepted = player.pathFound = player.newSearch = false;
        player.clearSearchQueue();
        g_particles.clear();
    }
    void TearDown() override {
        g_input.reset();
        MapTest::TearDown();
    }
    static void clickAt(double x, double y) {
        g_frame.mouseWorld[0] = x;
        g_frame.mouseWorld[1] = y;
        g_input.leftPressed = 1;
        g_input.handleInput();
    }
};

} // namespace

// (The picking play-through walks such a click to its end and drops the pending action.)
TEST_F(ClickTest, RefusedClickLeavesThePlayerStandingAndEachClickIsMarked) {
    ActorController& player = playerActor();
    testmap::block(3040, 3000);
    clickAt(3040.5, 3000.5);
    EXPECT_FALSE(player.goalAccepted);
    expectMarker(3, 3040.5, 3000.5);
    clickAt(3000.5 + PLAYER_SEARCH_LIMIT, 3000.5);
    EXPECT_FALSE(player.goalAccepted);
    // Nor does he leave idle on his own, as an idle creature would.
    for (int frame = 0; frame < 300; ++frame)
        player.update();
    EXPECT_EQ(player.action, ACTION_IDLE);
    EXPECT_DOUBLE_EQ(player.position[0], 3000.5);
    EXPECT_DOUBLE_EQ(player.position[1], 3000.5);
    g_particles.clear();
    clickAt(3050.5, 3000.5);
    EXPECT_TRUE(player.goalAccepted);
    expectMarker(2, 3050.5, 3000.5);
}

TEST_F(ClickTest, RefusedClickDuringSearchStillLetsNextWalkAnimate) {
    ActorController& player = playerActor();
    ModelSlot slot;
    slot.idleAnimation = 1;
    slot.walkAnimation = 5;
    player.setLook(&slot, slot.idleAnimation);
    // The smallest slice, so that the first search is still running.
    g_playerSearchSliceMs = 0.0;
    clickAt(3080.5, 3000.5);
    player.update();
    ASSERT_FALSE(player.pathFound);
    testmap::block(3040, 3000);
    clickAt(3040.5, 3000.5);
    player.update();
    EXPECT_EQ(player.action, ACTION_IDLE);
    g_playerSearchSliceMs = savedSlice_;
    clickAt(3080.5, 3010.5);
    for (int frame = 0; frame < 200 && !player.pathFound; ++frame)
        player.update();
    ASSERT_TRUE(player.pathFound);
    EXPECT_EQ(player.instance.animation, 5);
    player.setLook(nullptr, 0);
}
