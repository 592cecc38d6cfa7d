#include "actor/controller.h"
#include "app/camera_control.h"
#include "core/camera.h"
#include "app/input.h"
#include "core/settings.h"
#include "support.h"

#include "../support/log_capture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Camera, FollowEyeSitsBehindAndAboveAtItsDistanceWithZoomAndPitchClamped) {
    Camera c;
    c.followTarget[0] = 100.0, c.followTarget[1] = 200.0, c.followTarget[2] = 30.0;
    c.yaw = float(-2 * M_PI); // a whole turn changes nothing
    c.pitch = -0.5f;
    c.distance = 40.0f;
    c.updateCamera();
    EXPECT_NEAR(c.eye[0], 100.0 - 40.0 * std::cos(0.5), 1e-3);
    EXPECT_NEAR(c.eye[1], 200.0, 1e-3);
    EXPECT_NEAR(c.eye[2], 30.0 + 40.0 * std::sin(0.5), 1e-3);
    EXPECT_EQ(c.centre[0], 100.0);
    EXPECT_EQ(c.centre[2], 30.0);
    const float zooms[][3] = {{150, ZOOM_STEP, 150}, {10, -ZOOM_STEP, 10}, {10, ZOOM_STEP, 15}};
    for (auto [from, by, to] : zooms) {
        c.distance = from;
        c.zoom(by);
        EXPECT_EQ(c.distance, to) << from << " by " << by;
    }
    // Looking up from below is not allowed: the pitch stops at level.
    c.pitch = 0.7f;
    c.updateCamera();
    EXPECT_EQ(c.pitch, 0.0f);
    EXPECT_NEAR(c.eye[2], 30.0, 1e-6);
}

class Mouse : public ::testing::Test {
  protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        g_camera = saved;
        g_input.reset();
        g_settings.clearFlag(FLAG_FREEMOVE);
    }
    const Camera saved = g_camera;
};

TEST_F(Mouse, LookTurnsByPixelsTimesSensitivityAndTheFirstDragFrameDoesNotJump) {
    g_camera.yaw = 1.0f;
    g_camera.pitch = -0.5f;
    steer(g_camera, 100.0, 20.0, false, false, true);
    EXPECT_NEAR(g_camera.yaw, 1.5, 1e-6);
    EXPECT_NEAR(g_camera.pitch, -0.4, 1e-6);
    // Without free-move, both buttons held (a click) leave the view alone.
    g_input.rightHeld = g_input.leftHeld = 1;
    mouseControl(g_camera);
    EXPECT_NEAR(g_camera.yaw, 1.5, 1e-6);
    g_input.leftHeld = 0;
    g_input.rightPressed = 1;
    g_input.cursor = win::POINT{900, 100};
    g_camera.pitch = -45.0f;
    mouseControl(g_camera);
    EXPECT_NEAR(g_camera.yaw, 1.5, 1e-6)
        << "the first frame of a drag treats the cursor as centred";
    EXPECT_FLOAT_EQ(g_camera.pitch, -CAMERA_PITCH_LIMIT);
}

TEST_F(Mouse, FreeFlightMovesAlongTheViewAndSideways) {
    Camera& c = g_camera;
    c.mode = CAMERA_FREE;
    c.eye[0] = c.eye[1] = c.eye[2] = 100.0;
    c.yaw = c.pitch = 0.0f;
    c.updateCamera();
    EXPECT_NEAR(c.centre[0], 101.0, 1e-6) << "the free camera looks one unit ahead";
    // Both buttons, mouse 10 pixels up: forward by 10 x 0.005 x 60 = 3.
    steer(c, 0.0, 10.0, true, true, true);
    EXPECT_NEAR(c.eye[0], 103.0, 1e-6);
    EXPECT_NEAR(c.eye[1], 100.0, 1e-6);
    // Right button, 10 pixels left: strafe along +y by 3, and up by 3.
    steer(c, 10.0, 10.0, true, false, true);
    EXPECT_NEAR(c.eye[1], 103.0, 1e-6);
    EXPECT_NEAR(c.eye[2], 103.0, 1e-6);
    steer(c, 10.0, 10.0, true, false, false);
    EXPECT_NEAR(c.eye[1], 103.0, 1e-6) << "no button: nothing moves";
}

TEST_F(Mouse, WheelNotchZoomsOnceAndTheZoomKeyZoomsBack) {
    g_camera.distance = 35.0f;
    g_input.wheelDown() = 1;
    g_input.handleInput();
    g_input.handleInput();
    EXPECT_EQ(g_camera.distance, 40.0f) << "the wheel byte is consumed";
    g_input.keys['P'] = 1;
    g_input.handleInput();
    EXPECT_EQ(g_camera.distance, 35.0f);
}

TEST_F(Mouse, PendingActionWaitsThirtyMillisecondsThenActsOnArrival) {
    testsupport::LogCapture log;
    ActorController& player = playerActor();
    player.position[0] = player.position[1] = 100.0;
    // A code without an arrival action: its error line shows it was tried.
    const int unknown = 9;
    g_input.next_action = unknown;
    g_input.targetPoint[0] = 130.0;
    g_input.targetPoint[1] = 100.0;
    reachDistance = 40;
    g_settings.deltaTime = 16;
    g_input.handleInput();
    g_input.handleInput();
    EXPECT_EQ(g_input.actionTimer, 32);
    EXPECT_EQ(g_input.next_action, unknown) << "not tested before 30 ms";
    g_input.targetPoint[0] = 200.0; // out of reach: stays pending, timer restarts
    g_input.handleInput();
    EXPECT_EQ(g_input.actionTimer, 0);
    EXPECT_EQ(g_input.next_action, unknown);
    g_input.targetPoint[0] = 130.0;
    g_input.actionTimer = 30;
    g_input.handleInput();
    EXPECT_EQ(g_input.next_action, -1);
    EXPECT_NE(log.text().find("ERROR: Bad next_action value [9]\n"), std::string::npos);
}

} // namespace
