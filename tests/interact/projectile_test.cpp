#include "core/log.h"
#include "core/settings.h"
#include "interact/projectile.h"
#include "render/stream_draw.h"

#include "../support/frame_compare.h"
#include "../support/log_capture.h"
#include "../support/test_window.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::LogCapture;

// Advances a projectile as a frame of `ms` milliseconds would.
void step(Projectile& p, int ms) {
    g_settings.timeFactor = ms / g_settings.timeDivisor;
    p.update();
}

// (Flight below runs along an axis; the length must take all three.)
TEST(Vectors, NormaliseTakesEveryAxisAndLeavesTheZeroVectorZero) {
    Vector3 v(3, 0, 4), zero;
    v.normalize();
    EXPECT_EQ(v, Vector3(0.6f, 0, 0.8f));
    zero.normalize();
    EXPECT_EQ(zero, Vector3(0, 0, 0));
}

TEST(Projectiles, LaunchLogsTheVectorThenFliesUntilPastTheDestinationAndStays) {
    LogCapture log;
    Projectile p;
    p.init(0, 0, 0, 50, 0, 0, 7.5f);
    EXPECT_EQ(log.text(), "SRC->DEST VECTOR: 50,0,0\n"
                          "NORMALIZED VELOCITY: 1,0,0\n"
                          "SCALED VELOCITY: 7.5,0,0 (scaled by 7.5)\n");
    EXPECT_TRUE(p.inFlight);
    EXPECT_EQ(p.lastDistSq, 1.0e9f);
    // 100 ms a frame: 7.5 units a step. Nearest after the seventh step
    // (52.5), stopped by the eighth (60), which is further away.
    std::vector<float> xs;
    for (int frame = 0; frame < 10; ++frame) {
        step(p, 100);
        xs.push_back(p.pos.x);
    }
    const std::vector<float> expected = {7.5f, 15, 22.5f, 30, 37.5f, 45, 52.5f, 60, 60, 60};
    EXPECT_EQ(xs, expected);
    EXPECT_FALSE(p.inFlight);
    EXPECT_FLOAT_EQ(p.lastDistSq, 100.0f);

    // Frames inside one millisecond do not move a projectile in flight.
    Projectile q;
    q.init(0, 0, 0, 0, 10, 0, 2.0f);
    step(q, 0);
    EXPECT_EQ(q.pos, Point3(0, 0, 0));
    EXPECT_TRUE(q.inFlight);
    // Nor does a destination equal to its source, ever.
    Projectile still;
    still.init(5, 5, 5, 5, 5, 5, 7.5f);
    for (int frame = 0; frame < 5; ++frame)
        step(still, 100);
    EXPECT_EQ(still.pos, Point3(5, 5, 5));
    EXPECT_TRUE(still.inFlight);
}

TEST(Projectiles, ListTakesSlotsInOrderAndDropsThe513th) {
    LogCapture log;
    g_projectiles.clear();
    for (int k = 0; k < PROJECTILE_CAPACITY; ++k)
        g_projectiles.add(0, 0, 0, float(k + 1), 0, 0, 1.0f);
    EXPECT_EQ(g_projectiles.count, PROJECTILE_CAPACITY);
    EXPECT_EQ(g_projectiles.slots[3].dest.x, 4.0f);
    const std::string before = log.text();
    g_projectiles.add(1, 2, 3, 4, 5, 6, 7.5f);
    EXPECT_EQ(g_projectiles.count, PROJECTILE_CAPACITY);
    EXPECT_EQ(log.text().substr(before.size()), "ADDING PROJECTILE AT (1,2,3) TO (4,5,6)  7.5\n")
        << "a full list still logs the request, and nothing more";
    g_projectiles.clear();
}

TEST(Projectiles, DrawAllMovesDrawsAndLogsEachSlot) {
    ZEB_REQUIRE_GL_WINDOW(window);
    LogCapture log;
    g_projectiles.clear();
    g_projectiles.drawAll();
    EXPECT_EQ(log.text(), "") << "nothing to draw, nothing written";

    g_settings.timeFactor = 10.0;
    const double player[3] = {100.0, 200.0, 5.0};
    launchTestProjectile(player);
    const std::string launched = log.text();
    EXPECT_EQ(launched.rfind("Creating projectile...\n"
                             "ADDING PROJECTILE AT (100,200,5) TO (150,200,5)  7.5\n",
                             0),
              0u)
        << launched;
    g_projectiles.drawAll();
    EXPECT_EQ(log.text().substr(launched.size()),
              "DRAWING PROJECTILE 0...OLD POS: 100,200,5 VELOCITY: 7.5,0,0"
              "SOURCE: 100,200,5  POS: 107.5,200,5  DEST: 150,200,5\n");
    // Once arrived, only the drawing's part is written.
    for (int frame = 0; frame < 10; ++frame)
        g_projectiles.drawAll();
    ASSERT_FALSE(g_projectiles.slots[0].inFlight);
    const std::string settled = log.text();
    g_projectiles.drawAll();
    EXPECT_EQ(log.text().substr(settled.size()),
              "DRAWING PROJECTILE 0...SOURCE: 100,200,5  POS: 160,200,5  DEST: 150,200,5\n");
    g_projectiles.clear();
}

// Three lit spheres seen from 10 units away, read back.
std::vector<unsigned char> sphereFrame() {
    glViewport(0, 0, 256, 192);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(40.0, 256.0 / 192.0, 1.0, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float light[4] = {0.3f, -1.0f, 0.6f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);
    gluLookAt(0, -10, 0, 0, 0, 0, 0, 0, 1);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    g_projectiles.drawAll();
    glDisable(GL_LIGHTING);
    return testsupport::readFrame(256, 192);
}

TEST(Projectiles, TheSphereFromItsListDrawsAsGluSphereDoesInARebuiltWindowToo) {
    LogCapture log;
    g_settings.timeFactor = 0.0;
    g_projectiles.clear();
    for (float x : {-2.5f, 0.0f, 2.5f})
        g_projectiles.add(x, 0.0f, x / 3.0f, x + 50.0f, 0.0f, 0.0f, 1.0f);
    std::vector<unsigned char> direct;
    for (int window = 0; window < 2; ++window) {
        ZEB_REQUIRE_GL_WINDOW(gl);
        g_sendVertexArrays = false;
        if (window == 0) direct = sphereFrame();
        g_sendVertexArrays = true;
        EXPECT_EQ(testsupport::differingPixels(direct, sphereFrame()), 0) << "window " << window;
        EXPECT_GT(testsupport::pixelsOtherThan(direct, 0, 0, 0), 1500) << "three spheres seen";
    }
    g_projectiles.clear();
}

} // namespace
