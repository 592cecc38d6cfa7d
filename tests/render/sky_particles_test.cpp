#include "render/engine.h"
#include "render/particles.h"

#include "bmp_writer.h"
#include "core/camera.h"
#include "render_support.h"

#include "../support/test_window.h"

#include <cmath>

namespace {

using rendertest::clearFrame;
using rendertest::readPixel;
using rendertest::ScratchDir;
using rendertest::viewFrom;

// Face f's picture: 2 x 2 texels; bottom row red, top row green; blue names
// the face and the column (left 30f + 10, right 30f + 25).
std::vector<unsigned char> skyFace(int f) {
    return bmptest::makeBmp(2, 2, [f](int x, int y) {
        return std::vector<unsigned char>{(unsigned char)(y == 0 ? 255 : 0),
                                          (unsigned char)(y == 1 ? 255 : 0),
                                          (unsigned char)(30 * f + (x == 0 ? 10 : 25))};
    });
}

int blueByte(int x, int y) {
    return int(std::lround(readPixel(x, y).b * 255.0f));
}

TEST(Sky, FacesCarryTheirPicturesAndFillOnlyWhatTheWorldLeftOpen) {
    ZEB_REQUIRE_GL_WINDOW(window);
    ScratchDir dir;
    for (int f = 0; f < 6; ++f)
        bmptest::writeFile(dir.file("Data/sky/sky3_" + std::to_string(f) + ".bmp"), skyFace(f));
    Engine engine;
    engine.buildSky();
    const Camera saved = g_camera;
    // Draws the sky as the frame does, looking from the origin along d.
    auto drawLooking = [&](double dx, double dy, double dz) {
        g_camera.eye[0] = g_camera.eye[1] = g_camera.eye[2] = 0.0;
        g_camera.centre[0] = dx, g_camera.centre[1] = dy, g_camera.centre[2] = dz;
        viewFrom(0, 0, 0, dx, dy, dz, 10000.0);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        engine.drawSky();
    };
    // The face seen at a pixel looking each way (and its column, where the view shows it whole).
    const struct {
        double dx, dy, dz;
        int x, y, face, column;
    } looks[] = {{-1, 0, 0, 256, 192, 0, 10},
                 {0, 1, 0, 256, 192, 1, 10},
                 {0, -1, 0, 256, 576, 3, -1},
                 {0.01, 0, -1, 512, 384, 4, -1},
                 {0.01, 0, 1, 512, 384, 5, -1}};
    for (const auto& l : looks) {
        clearFrame();
        drawLooking(l.dx, l.dy, l.dz);
        const int blue = blueByte(l.x, l.y);
        EXPECT_EQ(blue / 30, l.face);
        EXPECT_TRUE(l.column < 0 || blue % 30 == l.column) << "face " << l.face << ": " << blue;
    }
    // A far piece of world over the lower left quarter, drawn before the sky;
    // looking along +x, face 2 (x = 8) fills the view exactly.
    clearFrame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 0.99f);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_DEPTH_TEST);
    glColor3f(1.0f, 0.0f, 1.0f);
    glRectf(-1.0f, -1.0f, 0.0f, 0.0f);
    drawLooking(1, 0, 0);
    g_camera = saved;
    const auto world = readPixel(256, 192), lowerRight = readPixel(768, 192);
    EXPECT_TRUE(world.r > 0.99f && world.g < 0.01f && world.b > 0.99f) << "world before the sky";
    EXPECT_NEAR(lowerRight.r, 1.0f, 0.02f) << "t = 0 at the bottom edge";
    EXPECT_NEAR(readPixel(768, 576).g, 1.0f, 0.02f) << "t = 1 at the top edge";
    EXPECT_EQ(blueByte(768, 576), 85) << "y = -8 (s = 1) on the right";
    EXPECT_EQ(blueByte(256, 576), 70);
    float skyDepth = 0;
    glReadPixels(768, 576, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &skyDepth);
    EXPECT_FLOAT_EQ(skyDepth, 1.0f) << "the sky leaves the cleared depth";
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask && glIsEnabled(GL_DEPTH_TEST)) << "depth writes and test back on";
}

TEST(ParticlePool, FullPoolDropsTheNextAndFreedEntriesAreReused) {
    auto pool = std::make_unique<ParticlePool>();
    for (int i = 0; i < PARTICLE_POOL_SIZE; ++i)
        pool->addParticle(float(i), 0, 0, 10.0f, 1, 2.0f, 0.0f);
    pool->addParticle(-5, -5, -5, 10.0f, 4, 2.0f, 0.0f);
    EXPECT_EQ(pool->activeCount(), 512);
    for (const Particle& p : pool->particles)
        EXPECT_NE(p.sprite, 4) << "the 513th is not created";
    // Entry 7 expires; the next particle takes exactly that entry.
    ParticlePool::updateParticle(pool->particles[7], 10.0);
    EXPECT_FALSE(pool->particles[7].active);
    pool->addParticle(99, 0, 0, 10.0f, 5, 2.0f, 0.0f);
    EXPECT_TRUE(pool->particles[7].active);
    EXPECT_EQ(pool->particles[7].sprite, 5);
    EXPECT_FLOAT_EQ(pool->particles[7].age, 0.0f);
}

// Particles face the camera and fade linearly, the expiring frame drawing at
// alpha 0. Each is judged by the depth under its own centre, also when many
// are judged at once: a wall over the left half of the view hides only the
// particles behind it there, those in front of it are added to it, and one
// above the window stays drawn.
TEST(ParticleDraw, FadesFacingTheCameraAndEachTakesTheDepthUnderItsOwnCentre) {
    ZEB_REQUIRE_GL_WINDOW(window);
    const Camera saved = g_camera;
    g_camera.yaw = g_camera.pitch = 0.0f; // looking along +x from the origin
    clearFrame();
    viewFrom(0, 0, 0, 1, 0, 0, 1000.0);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDepthFunc(GL_LEQUAL);
    g_particles.clear();
    g_particles.addParticle(20, 0, 0, 50.0f, 0, 4.0f, 0.0f);
    g_settings.timeFactor = 25.0;
    g_particles.drawParticles();
    EXPECT_NEAR(readPixel(512, 384).r, 0.5f, 0.02f) << "half its life: alpha 0.5 added to black";
    // The square faces the camera: about 4 / 20 of the half-height each way.
    EXPECT_NEAR(readPixel(512, 384 + 60).r, 0.5f, 0.02f);
    EXPECT_NEAR(readPixel(512, 384 + 110).r, 0.0f, 0.01f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_BLEND));
    clearFrame();
    g_particles.drawParticles();
    EXPECT_FALSE(g_particles.particles[0].active) << "age reached life";
    EXPECT_NEAR(readPixel(512, 384).r, 0.0f, 0.01f) << "last draw at alpha 0 adds nothing";

    clearFrame();
    g_settings.timeFactor = 0.0;
    glEnable(GL_DEPTH_TEST);
    glColor3f(0.25f, 0.25f, 0.25f);
    glBegin(GL_QUADS); // x = 10, left half (y > 0)
    glVertex3d(10, 0, -100);
    glVertex3d(10, 100, -100);
    glVertex3d(10, 100, 100);
    glVertex3d(10, 0, 100);
    glEnd();
    // Particles at x = 20 (behind the wall where y > 0) or 5 (in front), and
    // where their centres fall on the screen.
    const struct {
        double x, y, z;
        int px, py;
        bool shows;
    } cases[] = {{20, 10, 5, 256, 480, false},
                 {20, -10, 5, 768, 480, true},
                 {5, 2, -2, 307, 230, true},
                 {20, -10, -8, 768, 230, true}};
    for (const auto& c : cases)
        g_particles.addParticle(float(c.x), float(c.y), float(c.z), 50.0f, 0, 1.0f, 0.0f);
    // One far above the view reads no depth and changes nothing.
    g_particles.addParticle(20, 0, 500, 50.0f, 0, 1.0f, 0.0f);
    g_particles.drawParticles();
    for (const auto& c : cases)
        EXPECT_NEAR(readPixel(c.px, c.py).r, c.shows ? 1.0f : 0.25f * (c.y > 0), 0.02f)
            << "particle at y " << c.y << " z " << c.z;
    g_particles.clear();
    g_camera = saved;
}

} // namespace
