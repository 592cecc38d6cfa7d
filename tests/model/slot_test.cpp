#include "model/slot.h"

#include "core/log.h"
#include "render/engine.h"
#include "tests/support/log_capture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// A model with the given animations, as (name, start, end), and frameCount
// frames of three vertices.
Model modelWith(const std::vector<ModelAnimation>& animations, int frameCount = 0) {
    Model m;
    m.animations = animations;
    m.animationCount = int(animations.size());
    m.frameCount = frameCount;
    m.frames.resize(std::size_t(frameCount));
    for (FrameMesh& f : m.frames) {
        f.vertexCount = 3;
        f.vertices.resize(3);
    }
    return m;
}

// The animation clock, driven by the tests.
std::uint32_t g_now = 0;
std::uint32_t testClock() {
    return g_now;
}

struct ClockGuard {
    explicit ClockGuard(std::uint32_t start) {
        g_now = start;
        setAnimationClock(testClock);
    }
    ~ClockGuard() { setAnimationClock(nullptr); }
};

using testsupport::LogCapture;

TEST(ContainsWord, MatchesEitherCaseWhollyInsideAndStopsAtTheStopText) {
    const struct {
        const char *word, *text, *stop;
        bool found;
    } cases[] = {{"stand", "STAND", "cr", true},
                 {"stand", "Stand_still", "cr", true},
                 {"run", "xxrun", "cr", true},
                 {"stand", "crstand", "cr", false},
                 {"stand", "xcrstand", "cr", false}, // the stop comes first
                 {"stand", "standcr", "cr", true},   // the word comes first
                 {"stand", "CRSTAND", "cr", true},   // the stop text compares exactly
                 {"stand", "stan", "cr", false},     // a word cut by the end is no match
                 {"attack", "", "cr", false},
                 {"a", "b", "x", false},
                 {"a@", "A`", "cr", true}}; // codes 32 apart are equal, letters or not
    for (const auto& c : cases)
        EXPECT_EQ(containsWord(c.word, c.text, c.stop), c.found) << c.word << " in " << c.text;
}

// The slot's idle, walk, pain, attack and death animations, then its weapon's five.
std::vector<int> roles(const ModelSlot& s) {
    std::vector<int> r = {s.idleAnimation, s.walkAnimation, s.painAnimation, s.attackAnimation,
                          s.deathAnimation};
    r.insert(r.end(), s.weaponAnimations, s.weaponAnimations + 5);
    return r;
}

TEST(SlotSetup, FindsStandardAnimationsAndLogsThemAndAModelThatFailedToLoadFindsNone) {
    const struct {
        Model model;
        std::vector<int> roles;
        const char* line;
    } cases[] = {
        {modelWith({{"crstand", 0, 4}, {"stand", 4, 8}, {"run", 8, 12}, {"attack", 12, 15}}, 16),
         {1, 2, 1, 3, 1, 1, 2, 1, 3, 1},
         "[7] Anims: 1, 1, 1, 2, 3\n"},
        {Model(), std::vector<int>(10, 1), "[7] Anims: 1, 1, 1, 1, 1\n"},
    };
    for (const auto& c : cases) {
        LogCapture log;
        g_engine.models[7] = c.model;
        ModelSlot slot;
        slot.setup(7, 12);
        EXPECT_EQ(slot.model, &g_engine.models[7]);
        EXPECT_EQ(slot.textureIndex, 12);
        EXPECT_EQ(slot.animationCount, c.model.animationCount);
        EXPECT_EQ(roles(slot), c.roles);
        EXPECT_EQ(log.text(), c.line);
    }
    g_engine.models[7] = Model();
    // An index outside the model table leaves the slot without a model.
    ModelSlot outside;
    outside.setup(MODEL_TABLE_SIZE, 0);
    EXPECT_EQ(outside.model, nullptr);
    EXPECT_EQ(outside.idleAnimation, 1);
}

TEST(SlotSetup, SearchOrderAndWordsDecide) {
    // The first animation in list order wins, whichever word matched it;
    // "bite" and "die" are words of their searches, "NULL" is a word too.
    Model m =
        modelWith({{"bite", 0, 2}, {"walk", 2, 4}, {"die", 4, 6}, {"hurt", 6, 8}, {"null", 8, 9}});
    const char* const attack[6] = {"attack", "NULL", "fire", "bite", "NULL", "NULL"};
    const char* const death[6] = {"death", "die", "NULL", "NULL", "NULL", "NULL"};
    const char* const pain[6] = {"pain", "hurt", "NULL", "NULL", "NULL", "NULL"};
    const char* const none[6] = {"zzz", "NULL", "NULL", "NULL", "NULL", "NULL"};
    EXPECT_EQ(ModelSlot::findAnimation(attack, m), 0);
    EXPECT_EQ(ModelSlot::findAnimation(death, m), 2);
    EXPECT_EQ(ModelSlot::findAnimation(pain, m), 3);
    EXPECT_EQ(ModelSlot::findAnimation(none, m), 4);
    EXPECT_EQ(ModelSlot::findAnimation(none, Model()), 1);
}

class Instances : public ::testing::Test {
  protected:
    Model model;
    ModelSlot slot;
    ModelInstance instance;
    void SetUp() override {
        // idle 0..40, walk 40..46, death 100..110 (frames beyond are there).
        model = modelWith({{"idle", 0, 40}, {"walk", 40, 46}, {"death", 100, 110}}, 120);
        slot.model = &model;
        slot.animationCount = model.animationCount;
        slot.deathAnimation = 2;
        instance.slot = &slot;
    }
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

TEST_F(Instances, EachTakesTheNextNumberAndSetAnimationStartsAtTheFirstFrameOrIgnoresBadIndices) {
    ModelInstance a, b;
    EXPECT_EQ(b.id, a.id + 1);
    EXPECT_EQ(a.id, instance.id + 1);
    instance.setAnimation(1);
    EXPECT_EQ(instance.animation, 1);
    EXPECT_EQ(instance.frame, 40);
    EXPECT_STREQ(instance.animationName, "walk");
    for (int bad : {-1, 3, 1000}) {
        instance.setAnimation(bad);
        EXPECT_EQ(instance.animation, bad);
        EXPECT_EQ(instance.frame, 40);
        EXPECT_STREQ(instance.animationName, "walk");
    }
    model.animations[0].name = "averyveryverylongname";
    instance.setAnimation(0);
    EXPECT_STREQ(instance.animationName, "averyveryverylo") << "cut to 15 characters";
}

TEST_F(Instances, LoopsCycleFromStartToEndMinusOneAndDeathHoldsOnItsLastFrame) {
    ClockGuard clock(1000);
    instance.setAnimation(0);
    std::vector<int> shown = framesShown(82, slot.deathAnimation);
    for (int i = 0; i < 82; ++i)
        EXPECT_EQ(shown[std::size_t(i)], i % 40) << "step " << i;
    instance.setAnimation(1);
    EXPECT_EQ(framesShown(13, slot.deathAnimation),
              (std::vector<int>{40, 41, 42, 43, 44, 45, 40, 41, 42, 43, 44, 45, 40}));
    instance.setAnimation(2);
    EXPECT_EQ(framesShown(11, slot.deathAnimation).back(), 109);
    // Without the hold (the weapon's pass) the same animation wraps. (The
    // creatures play-through holds a death pose frame after frame.)
    instance.setAnimation(2);
    EXPECT_EQ(framesShown(11, -1).back(), 100);
}

TEST_F(Instances, StepTimeBlendsAndStepsOnlyAfterAKeyFrame) {
    ClockGuard clock(5000);
    instance.lastTime = 4750.0f;
    instance.frame = 3;
    EXPECT_FLOAT_EQ(slot.stepTime(4, instance), 2.0f) << "not clamped";
    EXPECT_EQ(instance.frame, 4);
    EXPECT_FLOAT_EQ(instance.lastTime, 5000.0f);
    EXPECT_FLOAT_EQ(instance.elapsed, 250.0f);

    g_now = 5100;
    EXPECT_FLOAT_EQ(slot.stepTime(5, instance), 0.8f);
    EXPECT_EQ(instance.frame, 4);
    EXPECT_FLOAT_EQ(instance.lastTime, 5000.0f);

    g_now = 5125;
    EXPECT_FLOAT_EQ(slot.stepTime(5, instance), 1.0f);
    EXPECT_EQ(instance.frame, 5);
}

TEST_F(Instances, UnusableFrameRangesAreNotDrawn) {
    ClockGuard clock(1000);
    int current, next;
    float t;
    instance.animation = 0;
    model.animations[0] = {"idle", -1, 40};
    EXPECT_FALSE(slot.advance(instance, model, -1, current, next, t));
    model.animations[0] = {"idle", 0, 10001};
    EXPECT_FALSE(slot.advance(instance, model, -1, current, next, t));
    model.animations[0] = {"idle", 0, 0};
    EXPECT_FALSE(slot.advance(instance, model, -1, current, next, t));
    instance.animation = 3;
    EXPECT_FALSE(slot.advance(instance, model, -1, current, next, t));

    // A wild frame number is carried back into the animation.
    model.animations[0] = {"idle", 0, 40};
    instance.animation = 0;
    instance.frame = 2147483647;
    g_now += 125;
    EXPECT_TRUE(slot.advance(instance, model, 0, current, next, t));
    EXPECT_GE(instance.frame, 0);
    EXPECT_LT(instance.frame, 40);
}

} // namespace
