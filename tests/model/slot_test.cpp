#include "model/slot.h"

#include "render/engine.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A model with the given animations, as (name, start, end), and frameCount frames.
Model modelWith(const std::vector<ModelAnimation>& animations, int frameCount = 0) {
    Model m;
    m.animations = animations;
    m.animationCount = int(animations.size());
    m.frameCount = frameCount;
    m.frames.resize(std::size_t(frameCount));
    return m;
}

TEST(SlotSetup, FindsStandardAnimationsAndLogsThemAndAModelThatFailedToLoadFindsNone) {
    const struct {
        Model model;
        std::vector<int> roles;
        const char* line;
    } cases[] = {
        {modelWith({{"crstand", 0, 4}, {"stand", 4, 8}, {"run", 8, 12}, {"attack", 12, 15}}, 16),
         {1, 2, 1, 3, 1},
         "[7] Anims: 1, 1, 1, 2, 3\n"},
        {Model(), std::vector<int>(5, 1), "[7] Anims: 1, 1, 1, 1, 1\n"},
    };
    for (const auto& c : cases) {
        testsupport::LogCapture log;
        g_engine.models[7] = c.model;
        ModelSlot slot;
        slot.setup(7, 12);
        EXPECT_EQ(slot.model, &g_engine.models[7]);
        EXPECT_EQ((std::vector<int>{slot.idleAnimation, slot.walkAnimation, slot.painAnimation,
                                    slot.attackAnimation, slot.deathAnimation}),
                  c.roles);
        EXPECT_EQ(log.text(), c.line);
    }
    g_engine.models[7] = Model();
    // An index outside the model table leaves the slot without a model.
    ModelSlot outside;
    outside.setup(MODEL_TABLE_SIZE, 0);
    EXPECT_EQ(outside.model, nullptr);
}

std::uint32_t g_now = 0;
std::uint32_t testClock() {
    return g_now;
}

class Instances : public ::testing::Test {
  protected:
    // idle 0..40, walk 40..46, death 100..110 (frames beyond are there).
    Model model = modelWith({{"idle", 0, 40}, {"walk", 40, 46}, {"death", 100, 110}}, 120);
    ModelSlot slot;
    ModelInstance instance;
    void SetUp() override {
        slot.model = &model;
        slot.animationCount = model.animationCount;
        slot.deathAnimation = 2;
        instance.slot = &slot;
        g_now = 1000;
        setAnimationClock(testClock);
    }
    void TearDown() override { setAnimationClock(nullptr); }
    // The frames shown over successive key-frame steps, 125 ms apart.
    std::vector<int> framesShown(int steps, int holdAnimation) {
        std::vector<int> shown;
        for (int i = 0; i < steps; ++i) {
            g_now += 125;
            int current = -1, next = -1;
            float t = 0.0f;
            EXPECT_TRUE(slot.advance(instance, model, holdAnimation, current, next, t));
            shown.push_back(current);
        }
        return shown;
    }
};

TEST_F(Instances, SetAnimationCutsTheNameToFifteenCharactersAndIgnoresBadIndices) {
    model.animations[0].name = "averyveryverylongname";
    instance.setAnimation(0);
    EXPECT_STREQ(instance.animationName, "averyveryverylo");
    instance.setAnimation(3);
    EXPECT_STREQ(instance.animationName, "averyveryverylo") << "the model has no animation 3";
}

TEST_F(Instances, LoopsCycleFromStartToEndMinusOneAndDeathHoldsOnItsLastFrame) {
    instance.setAnimation(0);
    std::vector<int> shown = framesShown(82, slot.deathAnimation);
    for (int i = 0; i < 82; ++i)
        EXPECT_EQ(shown[std::size_t(i)], i % 40) << "step " << i;
    instance.setAnimation(1);
    EXPECT_EQ(framesShown(7, slot.deathAnimation), (std::vector<int>{40, 41, 42, 43, 44, 45, 40}));
    instance.setAnimation(2);
    EXPECT_EQ(framesShown(11, slot.deathAnimation).back(), 109);
    // Without the hold (the weapon's pass) the same animation wraps.
    instance.setAnimation(2);
    EXPECT_EQ(framesShown(11, -1).back(), 100);
}

TEST_F(Instances, UnusableFrameRangesAreNotDrawnAndAWildFrameIsCarriedBack) {
    int current, next;
    float t;
    instance.animation = 0;
    for (auto [start, end] : {std::pair{-1, 40}, {0, 10001}, {0, 0}}) {
        model.animations[0] = {"idle", start, end};
        EXPECT_FALSE(slot.advance(instance, model, -1, current, next, t)) << start << ".." << end;
    }
    model.animations[0] = {"idle", 0, 40};
    instance.animation = 0;
    instance.frame = 2147483647;
    g_now += 125;
    EXPECT_TRUE(slot.advance(instance, model, 0, current, next, t));
    EXPECT_GE(instance.frame, 0);
    EXPECT_LT(instance.frame, 40);
}

} // namespace
