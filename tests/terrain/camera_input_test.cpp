#include "actor/controller.h"
#include "app/camera_control.h"
#include "app/input.h"
#include "core/camera.h"
#include "core/log.h"
#include "core/settings.h"
#include "render/engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace {

Camera followingAt(double x, double y, double z) {
    Camera c;
    c.followTarget[0] = x;
    c.followTarget[1] = y;
    c.followTarget[2] = z;
    return c;
}

TEST(CameraView, DirectionIgnoresWholeTurnsOfYaw) {
    const Vec3d a = viewDirection(7.0f, -0.3f);
    const Vec3d b = viewDirection(float(7.0 - 2 * M_PI), -0.3f);
    EXPECT_NEAR(a.x, b.x, 1e-5);
    EXPECT_NEAR(a.y, b.y, 1e-5);
    EXPECT_NEAR(a.z, b.z, 1e-6);
    const Vec3d c = viewDirection(-1.0f, 0.0f);
    EXPECT_NEAR(c.x, std::cos(-1.0), 1e-6);
    EXPECT_NEAR(c.y, std::sin(-1.0), 1e-6);
    const Vec3d up = viewDirection(0.0f, float(M_PI / 2));
    EXPECT_NEAR(up.z, 1.0, 1e-6);
}

TEST(CameraFollow, EyeSitsBehindAndAboveThePlayerAtItsDistance) {
    Camera c = followingAt(100.0, 200.0, 30.0);
    c.yaw = 0.0f;
    c.pitch = -0.5f;
    c.distance = 40.0f;
    c.updateCamera();
    EXPECT_NEAR(c.eye[0], 100.0 - 40.0 * std::cos(0.5), 1e-3);
    EXPECT_NEAR(c.eye[1], 200.0, 1e-3);
    EXPECT_NEAR(c.eye[2], 30.0 + 40.0 * std::sin(0.5), 1e-3);
    EXPECT_EQ(c.centre[0], 100.0);
    EXPECT_EQ(c.centre[2], 30.0);
}

TEST(CameraFollow, ZoomAndPitchAreClamped) {
    Camera c = followingAt(0, 0, 0);
    c.distance = 150.0f;
    c.zoom(ZOOM_STEP);
    EXPECT_EQ(c.distance, 150.0f);
    c.distance = 10.0f;
    c.zoom(-ZOOM_STEP);
    EXPECT_EQ(c.distance, 10.0f);
    c.zoom(ZOOM_STEP);
    EXPECT_EQ(c.distance, 15.0f);
    // Looking up from below is not allowed: the pitch stops at level.
    c.pitch = 0.7f;
    c.updateCamera();
    EXPECT_EQ(c.pitch, 0.0f);
    EXPECT_NEAR(c.eye[2], 0.0, 1e-6);
}

TEST(CameraFree, CentreIsOneUnitAheadAndOtherModesLeaveTheCameraAlone) {
    Camera c;
    c.mode = CAMERA_FREE;
    c.eye[0] = 5.0, c.eye[1] = 6.0, c.eye[2] = 7.0;
    c.yaw = float(M_PI / 2);
    c.pitch = 0.0f;
    c.updateCamera();
    EXPECT_NEAR(c.centre[0], 5.0, 1e-6);
    EXPECT_NEAR(c.centre[1], 7.0, 1e-6);
    EXPECT_NEAR(c.centre[2], 7.0, 1e-6);
    c.mode = 7;
    c.eye[0] = 50.0;
    c.updateCamera();
    EXPECT_EQ(c.eye[0], 50.0);
    EXPECT_NEAR(c.centre[1], 7.0, 1e-6);
}

class Mouse : public ::testing::Test {
  protected:
    void SetUp() override {
        saved = g_camera;
        g_input.reset();
        g_settings.clearFlag(FLAG_FREEMOVE);
    }
    void TearDown() override {
        g_camera = saved;
        g_input.reset();
        g_settings.clearFlag(FLAG_FREEMOVE);
    }
    Camera saved;
};

TEST_F(Mouse, FirstRightDragDoesNotJumpButClampsThePitch) {
    g_camera.pitch = -45.0f;
    const float yaw = g_camera.yaw;
    g_input.rightHeld = 1;
    g_input.rightPressed = 1;
    g_input.cursor = win::POINT{900, 100};
    mouseControl(g_camera);
    EXPECT_EQ(g_camera.yaw, yaw) << "the first frame of a drag treats the cursor as centred";
    EXPECT_FLOAT_EQ(g_camera.pitch, -CAMERA_PITCH_LIMIT);
}

TEST_F(Mouse, LookTurnsByPixelsTimesSensitivityAndLeftButtonBlocksIt) {
    g_camera.yaw = 1.0f;
    g_camera.pitch = -0.5f;
    steer(g_camera, 100.0, 20.0, false, false, true);
    EXPECT_NEAR(g_camera.yaw, 1.5, 1e-6);
    EXPECT_NEAR(g_camera.pitch, -0.4, 1e-6);
    // Without free-move, both buttons held (a click) leave the view alone.
    g_input.rightHeld = g_input.leftHeld = 1;
    mouseControl(g_camera);
    EXPECT_NEAR(g_camera.yaw, 1.5, 1e-6);
}

TEST_F(Mouse, FreeFlightMovesAlongTheViewAndSideways) {
    Camera& c = g_camera;
    c.mode = CAMERA_FREE;
    c.eye[0] = c.eye[1] = c.eye[2] = 100.0;
    c.yaw = 0.0f;
    c.pitch = 0.0f;
    c.updateCamera();
    // Both buttons, mouse 10 pixels up: forward by 10 x 0.005 x 60 = 3.
    steer(c, 0.0, 10.0, true, true, true);
    EXPECT_NEAR(c.eye[0], 103.0, 1e-6);
    EXPECT_NEAR(c.eye[1], 100.0, 1e-6);
    // Right button, 10 pixels left: strafe along +y by 3, and up by 3.
    steer(c, 10.0, 10.0, true, false, true);
    EXPECT_NEAR(c.eye[1], 103.0, 1e-6);
    EXPECT_NEAR(c.eye[2], 103.0, 1e-6);
    // No button: nothing moves.
    steer(c, 10.0, 10.0, true, false, false);
    EXPECT_NEAR(c.eye[1], 103.0, 1e-6);
}

class Actions : public Mouse {};

TEST_F(Actions, WheelNotchZoomsOnceAndRepeatFlagsDecideConsumption) {
    g_camera.distance = 35.0f;
    g_input.wheelDown() = 1;
    g_input.handleInput();
    EXPECT_EQ(g_camera.distance, 40.0f);
    EXPECT_EQ(g_input.wheelDown(), 0) << "the wheel byte is consumed";
    g_input.handleInput();
    EXPECT_EQ(g_camera.distance, 40.0f);
    g_input.keys['P'] = 1;
    g_input.handleInput();
    EXPECT_EQ(g_camera.distance, 35.0f);
    // Only action 24 (key 1) repeats while held.
    EXPECT_EQ(g_input.repeatFlags[24], 1);
    for (int a = 0; a < ACTION_COUNT; ++a)
        EXPECT_EQ(g_input.repeatFlags[a], a == 24 ? 1 : 0) << a;
    g_input.keys['1'] = 1;
    g_input.handleInput();
    EXPECT_EQ(g_input.keys['1'], 1) << "a repeating key stays down";
    g_input.keys['1'] = 0;
}

TEST_F(Actions, FreeMoveKeyTogglesTheFlagAndCameraKeyTheMode) {
    g_input.keys['Q'] = 1;
    g_input.handleInput();
    EXPECT_TRUE(g_settings.testFlag(FLAG_FREEMOVE));
    EXPECT_EQ(g_input.keys['Q'], 0);
    g_input.keys['Q'] = 1;
    g_input.handleInput();
    EXPECT_FALSE(g_settings.testFlag(FLAG_FREEMOVE));
    g_camera.mode = CAMERA_FOLLOW;
    g_input.keys['G'] = 1;
    g_input.handleInput();
    EXPECT_EQ(g_camera.mode, CAMERA_FREE);
    g_input.keys['G'] = 1;
    g_input.handleInput();
    EXPECT_EQ(g_camera.mode, CAMERA_FOLLOW);
}

TEST_F(Actions, PendingActionWaitsThirtyMillisecondsThenActsOnArrival) {
    char path[] = "/tmp/zeb-pending-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    openLog(path);
    ActorController& player = playerActor();
    player.position[0] = 100.0;
    player.position[1] = 100.0;
    g_input.next_action = PENDING_OPEN_CHEST;
    g_input.targetPoint[0] = 130.0;
    g_input.targetPoint[1] = 100.0;
    reachDistance = 40;
    g_settings.deltaTime = 16;
    g_input.handleInput();
    EXPECT_EQ(g_input.actionTimer, 16);
    g_input.handleInput();
    EXPECT_EQ(g_input.actionTimer, 32);
    EXPECT_EQ(g_input.next_action, PENDING_OPEN_CHEST) << "not tested before 30 ms";
    g_input.targetPoint[0] = 200.0; // out of reach: stays pending, timer restarts
    g_input.handleInput();
    EXPECT_EQ(g_input.actionTimer, 0);
    EXPECT_EQ(g_input.next_action, PENDING_OPEN_CHEST);
    g_input.targetPoint[0] = 130.0;
    g_input.actionTimer = 30;
    g_input.handleInput();
    EXPECT_EQ(g_input.next_action, -1);
    closeLog();
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_NE(ss.str().find("ERROR: Bad next_action value [3]\n"), std::string::npos);
    std::remove(path);
}

} // namespace
