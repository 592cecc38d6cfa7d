// A flat map without game data; play-throughs check the log lines and the player's return.
#include "support.h"

#include "../support/log_capture.h"

#include <gtest/gtest.h>

namespace {

TEST(World, EnteringOutsideSetsTheFogAndADetailChangeRelaysTheWindow) {
    testsupport::LogCapture log;
    g_settings.applyDetailLevel(3);
    savedOutsidePosition[0] = 6366.0;
    savedOutsidePosition[1] = 5549.0;
    enterOutside();
    ASSERT_NE(localTerrain, nullptr);
    EXPECT_EQ(g_camera.far, 256 * 5) << "fog and the far plane follow the window's range";
    EXPECT_FLOAT_EQ(g_engine.fogStart, 640.0f);
    EXPECT_FLOAT_EQ(g_engine.fogEnd, 1280.0f);
    EXPECT_EQ(localTerrain->centreX, 6144) << "the window follows the camera behind the player";
    EXPECT_NE(localTerrain->pages[10][10], nullptr);
    g_settings.applyDetailLevel(0);
    EXPECT_EQ(localTerrain->pages[10][10], nullptr);
    EXPECT_NE(localTerrain->pages[4][4], nullptr);
    g_settings.applyDetailLevel(3);
    EXPECT_NE(localTerrain->pages[10][10], nullptr);
}

} // namespace
