// The follow camera's eye shows in the outside reference frame; play-throughs drag-turn it.
#include "app/input.h"
#include "core/camera.h"

#include <gtest/gtest.h>

namespace {

TEST(Zoom, AWheelNotchZoomsOnceAndTheZoomKeyZoomsBack) {
    const Camera saved = g_camera;
    g_input.reset();
    g_camera.distance = 35.0f;
    g_input.wheelDown() = 1;
    g_input.handleInput();
    g_input.handleInput();
    EXPECT_EQ(g_camera.distance, 40.0f) << "the wheel byte is consumed";
    g_input.keys['P'] = 1;
    g_input.handleInput();
    EXPECT_EQ(g_camera.distance, 35.0f);
    g_input.reset();
    g_camera = saved;
}

} // namespace
