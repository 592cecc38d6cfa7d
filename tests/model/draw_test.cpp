// Drawing an instance on the test display and reading the pixels back.
#include "model/slot.h"

#include "md2_builder.h"
#include "render/engine.h"
#include "tests/support/test_window.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>

using namespace md2test;

namespace {

std::uint32_t g_now = 100000;
std::uint32_t testClock() {
    return g_now;
}

bool drawnAt(int x, int y) {
    unsigned char p[3] = {};
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return p[0] + p[1] + p[2] > 12;
}

// A right triangle with legs of 100 units along the file's x and y axes, its
// corner at (dx, 0): three frames named move01..move03, each 100 units
// further along x, so the animation "move" plays frames 0 and 1.
Model triangleModel(float dx) {
    File file = fileWithFrames(numbered("move", 3));
    for (int i = 0; i < 3; ++i) {
        file.frames[std::size_t(i)].vertices = {{0, 0, 0}, {100, 0, 0}, {0, 100, 0}};
        file.frames[std::size_t(i)].translate[0] = dx + 100.0f * float(i);
    }
    std::vector<std::uint8_t> bytes = file.bytes();
    Model model;
    Md2Loader loader;
    EXPECT_EQ(loader.parse(model, bytes.data(), bytes.size(), "triangle.md2"), Md2Result::Loaded);
    return model;
}

// A top view in window pixels, the instance at (200, 200) half way between
// frames 0 and 1 of its animation.
class ModelDrawing : public ::testing::Test {
  protected:
    testsupport::GlWindow window;
    Model body = triangleModel(0.0f);
    ModelSlot slot;
    ModelInstance instance;

    void SetUp() override {
        ZEB_REQUIRE_OPEN_WINDOW(window);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1024, 0, 768, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        for (GLenum cap : {GL_TEXTURE_2D, GL_DEPTH_TEST, GL_CULL_FACE, GL_FOG, GL_LIGHTING})
            glDisable(cap);
        glClear(GL_COLOR_BUFFER_BIT);
        setAnimationClock(testClock);
        slot.model = &body;
        slot.animationCount = body.animationCount;
        slot.scale = 1.0f;
        slot.deathAnimation = 5;
        instance.slot = &slot;
        instance.position[0] = instance.position[1] = 200.0;
        instance.setAnimation(0);
        instance.lastTime = float(g_now) - 62.5f;
    }
    void TearDown() override { setAnimationClock(nullptr); }
};

TEST_F(ModelDrawing, BlendsBetweenTheTwoKeyFramesInTime) {
    instance.draw();
    // At t = 0.5 the triangle's corner is at x = 250: the file's x and y
    // lie in the world's horizontal plane.
    EXPECT_TRUE(drawnAt(260, 210));
    EXPECT_TRUE(drawnAt(340, 205));
    EXPECT_FALSE(drawnAt(240, 210)) << "frame 0 alone would cover this";
    EXPECT_FALSE(drawnAt(360, 210)) << "frame 1 alone would cover this";
    EXPECT_FALSE(drawnAt(340, 290)) << "outside the hypotenuse";
    EXPECT_EQ(instance.frame, 0) << "no step before 125 ms";
}

TEST_F(ModelDrawing, WeaponIsDrawnOnlyDuringItsListedAnimations) {
    Model weapon = triangleModel(400.0f);
    slot.hasWeapon = true;
    slot.weaponModel = &weapon;
    for (int& entry : slot.weaponAnimations)
        entry = -1;
    instance.draw();
    EXPECT_FALSE(drawnAt(660, 210)) << "animation 0 is not listed";
    EXPECT_TRUE(drawnAt(260, 210));
    slot.weaponAnimations[WEAPON_ATTACK] = 0;
    instance.lastTime = float(g_now) - 62.5f;
    instance.draw();
    EXPECT_TRUE(drawnAt(660, 210));
}

// Missing animations, frames, models and slots draw nothing (the clock still moves on).
TEST_F(ModelDrawing, NothingIsDrawnForMissingModelsAnimationsOrFrames) {
    instance.animation = 7;
    instance.draw();
    instance.setAnimation(0);
    instance.frame = 50; // the model has three frames
    instance.lastTime = float(g_now) - 200.0f;
    instance.draw();
    EXPECT_EQ(instance.frame, 1) << "51 mod 2";
    ModelSlot empty;
    instance.slot = &empty;
    instance.draw();
    instance.slot = nullptr;
    instance.draw();
    EXPECT_FALSE(drawnAt(260, 210));
}

} // namespace
