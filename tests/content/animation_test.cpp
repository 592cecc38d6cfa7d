// Every actor model's animation list against the engine's own slot table:
// after its name search and its overrides, each slot's five animations (and
// its weapon's) name the right kind of motion.
#include "tools/content/animation.h"
#include "tools/content/creatures.h"
#include "tools/content/models.h"
#include "tools/content/slots.h"

#include "render/engine.h"

#include <gtest/gtest.h>

using namespace content;

namespace {

// Fills the engine's model table with the animation lists of our models, as
// its loader would group their frame names.
void loadAnimationLists() {
    for (const ActorModel& m : actorModels()) {
        Creature c = buildCreature(m.builder, 1);
        std::vector<std::string> names;
        for (const AnimationSpec& a : c.animations)
            for (int f = 1; f <= a.frames; ++f)
                names.push_back(a.name + (f < 10 ? "0" : "") + std::to_string(f));
        names.push_back(TRAILER_NAME);
        Model& model = g_engine.models[m.modelIndex];
        model.clear();
        model.animations = animationsOf(names);
        model.animationCount = int(model.animations.size());
        model.frameCount = int(names.size());
    }
}

void expectKind(int slot, const char* role, const Model& model, int index, unsigned kind) {
    ASSERT_GE(index, 0) << "slot " << slot << " " << role;
    ASSERT_LT(index, model.animationCount) << "slot " << slot << " " << role;
    EXPECT_TRUE(motionKinds(model.animations[index].name) & kind)
        << "slot " << slot << " " << role << " plays " << model.animations[index].name;
}

} // namespace

TEST(SlotAnimations, EverySlotEndsWithTheRightFiveMotions) {
    loadAnimationLists();
    std::vector<SlotView> slots = engineSlots();
    EXPECT_GE(slots.size(), 60u);
    for (const SlotView& v : slots) {
        const ModelSlot& s = *v.entry;
        const Model& m = g_engine.models[v.model];
        expectKind(v.slot, "idle", m, s.idleAnimation, KIND_IDLE);
        expectKind(v.slot, "pain", m, s.painAnimation, KIND_PAIN);
        expectKind(v.slot, "death", m, s.deathAnimation, KIND_DEATH);
        expectKind(v.slot, "walk", m, s.walkAnimation, KIND_WALK);
        expectKind(v.slot, "attack", m, s.attackAnimation, KIND_ATTACK);
        if (v.weaponModel < 0) continue;
        const Model& w = g_engine.models[v.weaponModel];
        const unsigned kinds[5] = {KIND_IDLE, KIND_WALK, KIND_PAIN, KIND_ATTACK, KIND_DEATH};
        for (int k = 0; k < 5; ++k)
            if (s.weaponAnimations[k] != -1)
                expectKind(v.slot, "weapon", w, s.weaponAnimations[k], kinds[k]);
    }
}

TEST(SlotAnimations, NamesTheSearchCouldConfuseAreNotUsed) {
    // The search matches words anywhere in a name: an extra motion must not
    // contain a word of another role, or the search would pick it.
    for (const char* word : {"idle", "stand", "look", "pain", "hurt", "death", "die", "walk", "run",
                             "attack", "fire", "bite"})
        for (const char* extra :
             {"jump", "flip", "salute", "taunt", "wave", "point", "rear", "roar", "flap"})
            EXPECT_FALSE(containsWord(word, extra, "cr")) << word << " in " << extra;
    EXPECT_EQ(motionKinds("crstand"), KIND_IDLE | KIND_EXTRA);
    EXPECT_EQ(motionKinds("unheard"), 0u);
}
