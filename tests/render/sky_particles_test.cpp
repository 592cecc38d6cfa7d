#include "render/engine.h"
#include "render/particles.h"

#include "bmp_writer.h"
#include "core/camera.h"
#include "core/random.h"
#include "render_support.h"

#include "../support/test_window.h"

#include <cmath>

namespace {

using rendertest::clearFrame;
using rendertest::readPixel;
using rendertest::ScratchDir;
using rendertest::viewFrom;

// ---- sky ---------------------------------------------------------------------

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

class SkyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<testsupport::GlWindow>();
        ZEB_REQUIRE_OPEN_WINDOW(*window_);
        dir_ = std::make_unique<ScratchDir>();
        for (int f = 0; f < 6; ++f)
            bmptest::writeFile(dir_->file("Data/sky/sky3_" + std::to_string(f) + ".bmp"),
                               skyFace(f));
        engine_.buildSky();
        saved_ = g_camera;
    }
    void TearDown() override {
        g_camera = saved_;
        dir_.reset();
        window_.reset();
    }
    // Draws the sky as the frame does, looking from the origin along d. (The
    // reference frame of the outside shows it from far off the origin.)
    void drawLooking(double dx, double dy, double dz) {
        clearFrame();
        g_camera.eye[0] = g_camera.eye[1] = g_camera.eye[2] = 0.0;
        g_camera.centre[0] = dx, g_camera.centre[1] = dy, g_camera.centre[2] = dz;
        viewFrom(0, 0, 0, dx, dy, dz, 10000.0);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        engine_.drawSky();
    }
    std::unique_ptr<testsupport::GlWindow> window_;
    std::unique_ptr<ScratchDir> dir_;
    Engine engine_;
    Camera saved_;
};

TEST_F(SkyTest, FacesCarryTheirPicturesWithTAlongZAndSAcross) {
    for (int f = 0; f < 6; ++f)
        EXPECT_NE(engine_.skyTextures[f], 0u) << f;
    // Looking along +x, face 2 (x = 8) fills the view exactly; y = +8 (s = 0) is on the left.
    drawLooking(1, 0, 0);
    const auto lowerLeft = readPixel(256, 192), upperRight = readPixel(768, 576);
    EXPECT_NEAR(lowerLeft.r, 1.0f, 0.02f) << "t = 0 at the bottom edge";
    EXPECT_NEAR(lowerLeft.g, 0.0f, 0.02f);
    EXPECT_NEAR(upperRight.g, 1.0f, 0.02f) << "t = 1 at the top edge";
    EXPECT_EQ(blueByte(256, 192), 70);
    EXPECT_EQ(blueByte(768, 576), 85);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "depth testing back on after the sky";
    // The face seen at a pixel looking each other way (and its column, where
    // the view shows it whole).
    const struct {
        double dx, dy, dz;
        int x, y, face, column;
    } looks[] = {{-1, 0, 0, 256, 192, 0, 10},
                 {0, 1, 0, 256, 192, 1, 10},
                 {0, -1, 0, 256, 576, 3, -1},
                 {0.01, 0, -1, 512, 384, 4, -1},
                 {0.01, 0, 1, 512, 384, 5, -1}};
    for (const auto& l : looks) {
        drawLooking(l.dx, l.dy, l.dz);
        const int blue = blueByte(l.x, l.y);
        EXPECT_EQ(blue / 30, l.face);
        EXPECT_TRUE(l.column < 0 || blue % 30 == l.column) << "face " << l.face << ": " << blue;
    }
}

TEST_F(SkyTest, FillsOnlyWhatTheWorldLeftOpenAndWritesNoDepth) {
    drawLooking(1, 0, 0);
    float skyDepth = 0;
    glReadPixels(100, 100, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &skyDepth);
    EXPECT_FLOAT_EQ(skyDepth, 1.0f) << "the sky leaves the cleared depth";
    // A far piece of world over the lower left quarter, drawn before the sky.
    clearFrame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, 0.99f);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1.0f, 0.0f, 1.0f);
    glRectf(-1.0f, -1.0f, 0.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    viewFrom(0, 0, 0, 1, 0, 0, 10000.0);
    engine_.drawSky();
    const auto world = readPixel(256, 192), open = readPixel(768, 576);
    EXPECT_NEAR(world.r, 1.0f, 0.01f) << "the world stays in front of the sky";
    EXPECT_NEAR(world.g, 0.0f, 0.01f);
    EXPECT_NEAR(world.b, 1.0f, 0.01f);
    EXPECT_EQ(blueByte(768, 576), 85) << "the sky where nothing was drawn";
    EXPECT_NEAR(open.g, 1.0f, 0.02f);
    GLboolean mask = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
    EXPECT_TRUE(mask) << "depth writes back on";
    double range[2] = {};
    glGetDoublev(GL_DEPTH_RANGE, range);
    EXPECT_EQ(range[0], 0.0);
    EXPECT_EQ(range[1], 1.0);
}

// ---- particle pool ------------------------------------------------------------

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

TEST(ParticlePool, OnlyPuffsAreJitteredAndUnknownKindsTakeTheDefaults) {
    auto pool = std::make_unique<ParticlePool>();
    crt::srand(7);
    bool moved = false;
    for (int i = 0; i < 100; ++i) {
        pool->spawnParticle(PARTICLE_PUFF, 10, 20, 30);
        const Particle& p = pool->particles[i];
        EXPECT_TRUE(p.halfSize >= 0.5f && p.halfSize <= 1.5f) << p.halfSize;
        EXPECT_LE(std::abs(p.position[0] - 10), 0.5 + 1e-5);
        EXPECT_LE(std::abs(p.position[2] - 30), 0.5 + 1e-5);
        EXPECT_DOUBLE_EQ(p.acceleration[2], double(p.gravity));
        moved = moved || p.position[1] != 20.0;
    }
    EXPECT_TRUE(moved) << "kind 0 is jittered";
    for (int kind : {1, 2, 5, 6, 42}) {
        pool->clear();
        pool->spawnParticle(kind, 10, 20, 30);
        EXPECT_DOUBLE_EQ(pool->particles[0].position[1], 20.0) << "only kind 0 is jittered";
    }
    ParticlePool other;
    other.spawnParticle(2, 0, 0, 0);
    EXPECT_FLOAT_EQ(pool->particles[0].life, other.particles[0].life) << "kind 42 is kind 2";
    EXPECT_FLOAT_EQ(pool->particles[0].gravity, other.particles[0].gravity);
}

// (Expiry at the end of the life shows in the fade test below.)
TEST(ParticlePool, UpdateMovesByTheNewVelocity) {
    Particle p;
    p.active = true;
    p.life = 50.0f;
    p.gravity = 0.01f;
    p.acceleration[2] = 0.01;
    ParticlePool::updateParticle(p, 10.0);
    EXPECT_NEAR(p.velocity[2], 0.1, 1e-12);
    EXPECT_NEAR(p.position[2], 1.0, 1e-12) << "position moves by the updated velocity";
    ParticlePool::updateParticle(p, 10.0);
    EXPECT_NEAR(p.position[2], 3.0, 1e-12);
}

// ---- particle drawing ------------------------------------------------------------

class ParticleDrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = std::make_unique<testsupport::GlWindow>();
        ZEB_REQUIRE_OPEN_WINDOW(*window_);
        saved_ = g_camera;
        g_particles.clear();
        // Looking along +x from the origin: yaw 0, pitch 0.
        g_camera.yaw = 0.0f;
        g_camera.pitch = 0.0f;
        clearFrame();
        viewFrom(0, 0, 0, 1, 0, 0, 1000.0);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        glDepthFunc(GL_LEQUAL);
    }
    void TearDown() override {
        g_particles.clear();
        g_settings.timeFactor = 0.0;
        g_camera = saved_;
        window_.reset();
    }
    std::unique_ptr<testsupport::GlWindow> window_;
    Camera saved_;
};

TEST_F(ParticleDrawTest, FacesTheCameraFadesLinearlyAndTheExpiringFrameDrawsAtAlphaZero) {
    g_particles.addParticle(20, 0, 0, 50.0f, 0, 4.0f, 0.0f);
    g_settings.timeFactor = 25.0;
    g_particles.drawParticles();
    EXPECT_NEAR(readPixel(512, 384).r, 0.5f, 0.02f) << "half its life: alpha 0.5 added to black";
    // The square faces the camera: about 4 / 20 of the half-height each way.
    EXPECT_NEAR(readPixel(512, 384 + 60).r, 0.5f, 0.02f);
    EXPECT_NEAR(readPixel(512, 384 + 110).r, 0.0f, 0.01f);
    EXPECT_TRUE(g_particles.particles[0].active);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));

    clearFrame();
    g_particles.drawParticles();
    EXPECT_FALSE(g_particles.particles[0].active) << "age reached life";
    EXPECT_NEAR(readPixel(512, 384).r, 0.0f, 0.01f) << "last draw at alpha 0 adds nothing";
    clearFrame();
    g_particles.drawParticles();
    EXPECT_EQ(g_particles.activeCount(), 0);
}

// Each particle is judged by the depth under its own centre, also when many
// are judged at once: a wall over the left half of the view hides only the
// particles behind it there, those in front of it are added to it, and one
// above the window stays drawn.
TEST_F(ParticleDrawTest, EachParticleTakesTheDepthUnderItsOwnCentre) {
    g_settings.timeFactor = 0.0;
    glEnable(GL_DEPTH_TEST);
    glColor3f(0.25f, 0.25f, 0.25f);
    glBegin(GL_QUADS); // x = 10, left half (y > 0)
    glVertex3d(10, 0, -100);
    glVertex3d(10, 100, -100);
    glVertex3d(10, 100, 100);
    glVertex3d(10, 0, 100);
    glEnd();
    struct Case {
        double y, z; // at x = 20 (behind the wall where y > 0) or 5 (in front)
        double x;
        int px, py; // its centre on the screen
        bool shows;
    };
    const Case cases[] = {
        {10, 5, 20, 256, 480, false}, // behind the wall
        {-10, 5, 20, 768, 480, true}, // beside it
        {2, -2, 5, 307, 230, true},   // in front of it
        {-10, -8, 20, 768, 230, true},
    };
    for (const Case& c : cases)
        g_particles.addParticle(float(c.x), float(c.y), float(c.z), 50.0f, 0, 1.0f, 0.0f);
    // One far above the view reads no depth and changes nothing.
    g_particles.addParticle(20, 0, 500, 50.0f, 0, 1.0f, 0.0f);
    g_particles.drawParticles();
    for (const Case& c : cases)
        EXPECT_NEAR(readPixel(c.px, c.py).r, c.shows ? 1.0f : 0.25f * (c.y > 0), 0.02f)
            << "particle at y " << c.y << " z " << c.z;
}

} // namespace
