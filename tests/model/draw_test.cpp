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

std::uint32_t g_now = 0;
std::uint32_t testClock() {
    return g_now;
}

// The world as the models ask for it: the light outside and below, and the creature picked.
float g_outsideLight = 1.0f;
float g_dungeonLight = 1.0f;
int g_pickedId = -1;
const ModelWorldQueries kQueries = {
    [](double, double, double) { return g_outsideLight; },
    [](double, double) { return g_dungeonLight; },
    [](int type, int id) { return type == PICK_TYPE_CREATURE && id == g_pickedId; }};

struct Rgb {
    int r = 0, g = 0, b = 0;
};

Rgb pixelAt(int x, int y) {
    unsigned char p[3] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

bool isBlack(const Rgb& c) {
    return c.r < 4 && c.g < 4 && c.b < 4;
}

void expectColour(const Rgb& c, float r, float g, float b) {
    EXPECT_NEAR(c.r, r * 255.0f, 3.0f);
    EXPECT_NEAR(c.g, g * 255.0f, 3.0f);
    EXPECT_NEAR(c.b, b * 255.0f, 3.0f);
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

class ModelDrawing : public ::testing::Test {
  protected:
    testsupport::GlWindow window;
    Model body = triangleModel(0.0f);
    ModelSlot slot;
    ModelInstance instance;
    ModelWorldQueries savedQueries = g_modelQueries;

    void SetUp() override {
        ZEB_REQUIRE_OPEN_WINDOW(window);
        glViewport(0, 0, 1024, 768);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 1024, 0, 768, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glDisable(GL_FOG);
        glDisable(GL_LIGHTING);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);

        g_now = 100000;
        setAnimationClock(testClock);
        g_modelQueries = kQueries;
        g_outsideLight = 1.0f;
        g_dungeonLight = 1.0f;
        g_pickedId = -1;
        g_engine.inDungeon = 0;
        g_engine.lightEnabled = true;

        slot.model = &body;
        slot.animationCount = body.animationCount;
        slot.scale = 1.0f;
        slot.deathAnimation = 5;
        instance.slot = &slot;
        instance.position[0] = 200.0;
        instance.position[1] = 200.0;
        instance.setAnimation(0);
        // Half way between frames 0 and 1.
        instance.lastTime = float(g_now) - 62.5f;
    }
    void TearDown() override {
        setAnimationClock(nullptr);
        g_modelQueries = savedQueries;
        g_engine.inDungeon = 0;
        g_engine.lightEnabled = true;
    }
};

TEST_F(ModelDrawing, BlendsBetweenTheTwoKeyFramesInTime) {
    instance.draw();
    // At t = 0.5 the triangle's corner is at x = 250: the file's x and y
    // lie in the world's horizontal plane.
    EXPECT_FALSE(isBlack(pixelAt(260, 210)));
    EXPECT_FALSE(isBlack(pixelAt(340, 205)));
    EXPECT_TRUE(isBlack(pixelAt(240, 210))) << "frame 0 alone would cover this";
    EXPECT_TRUE(isBlack(pixelAt(360, 210))) << "frame 1 alone would cover this";
    EXPECT_TRUE(isBlack(pixelAt(340, 290))) << "outside the hypotenuse";
    EXPECT_EQ(instance.frame, 0) << "no step before 125 ms";
}

TEST_F(ModelDrawing, HeadingTurnsTheModelAboutTheVerticalAxis) {
    instance.lastTime = float(g_now); // t = 0: frame 0 only
    instance.heading = float(M_PI);
    instance.draw();
    EXPECT_FALSE(isBlack(pixelAt(140, 190)));
    EXPECT_TRUE(isBlack(pixelAt(210, 210)));
}

TEST_F(ModelDrawing, ColourFollowsLightDungeonTintAndPicking) {
    g_outsideLight = 0.5f;
    instance.draw();
    expectColour(pixelAt(260, 210), 0.5f, 0.5f, 0.5f);
    EXPECT_FLOAT_EQ(instance.light, 0.5f);

    g_engine.lightEnabled = false;
    instance.draw();
    expectColour(pixelAt(260, 210), 1.0f, 1.0f, 1.0f);

    g_engine.lightEnabled = true;
    g_engine.inDungeon = 1;
    g_dungeonLight = 0.8f;
    instance.draw();
    expectColour(pixelAt(260, 210), 0.8f, 0.8f * 0.55f, 0.8f * 0.25f);

    g_pickedId = instance.id;
    instance.draw();
    expectColour(pixelAt(260, 210), 1.0f, 1.0f, 1.0f);
}

TEST_F(ModelDrawing, WeaponIsDrawnOnlyDuringItsListedAnimations) {
    Model weapon = triangleModel(400.0f);
    slot.hasWeapon = true;
    slot.weaponModel = &weapon;
    for (int& entry : slot.weaponAnimations)
        entry = -1;
    instance.draw();
    EXPECT_TRUE(isBlack(pixelAt(660, 210))) << "animation 0 is not listed";
    EXPECT_FALSE(isBlack(pixelAt(260, 210)));

    slot.weaponAnimations[WEAPON_ATTACK] = 0;
    instance.lastTime = float(g_now) - 62.5f;
    instance.draw();
    EXPECT_FALSE(isBlack(pixelAt(660, 210)));
}

TEST_F(ModelDrawing, NothingIsDrawnForMissingModelsAnimationsOrFrames) {
    instance.animation = 7;
    instance.draw();
    EXPECT_TRUE(isBlack(pixelAt(260, 210)));

    instance.setAnimation(0);
    instance.frame = 50; // the model has three frames
    instance.lastTime = float(g_now) - 200.0f;
    instance.draw();
    EXPECT_TRUE(isBlack(pixelAt(260, 210)));
    EXPECT_EQ(instance.frame, 1) << "the clock still moves the instance on: 51 mod 2";

    ModelSlot empty;
    instance.slot = &empty;
    instance.draw();
    instance.slot = nullptr;
    instance.draw();
    EXPECT_TRUE(isBlack(pixelAt(260, 210)));
}

} // namespace
