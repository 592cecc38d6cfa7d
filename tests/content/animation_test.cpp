// Frame names to animations, and the engine's search for its five animations.
#include "tools/content/animation.h"
#include "tools/content/slots.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace content;

namespace {

std::vector<std::string> frames(std::initializer_list<std::pair<const char*, int>> runs) {
    std::vector<std::string> names;
    for (auto [base, count] : runs)
        for (int i = 1; i <= count; ++i) {
            char n[24];
            std::snprintf(n, sizeof n, "%s%02d", base, i);
            names.push_back(n);
        }
    return names;
}

std::vector<AnimationRange> named(std::initializer_list<const char*> names) {
    std::vector<AnimationRange> out;
    for (const char* n : names)
        out.push_back({n, 0, 1});
    return out;
}

} // namespace

TEST(FrameGrouping, LastAnimationLosesItsLastFrameUnlessATrailerFollows) {
    auto plain = groupFrames(frames({{"stand", 40}, {"run", 6}}));
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[0].name, "stand");
    EXPECT_EQ(plain[0].startFrame, 0);
    EXPECT_EQ(plain[0].endFrame, 40);
    EXPECT_EQ(plain[1].startFrame, 40);
    EXPECT_EQ(plain[1].endFrame, 45);
    auto trailed = groupFrames(frames({{"stand", 40}, {"run", 6}, {"end", 1}}));
    ASSERT_EQ(trailed.size(), 2u); // the trailer itself is not an animation
    EXPECT_EQ(trailed[1].endFrame, 46);
}

TEST(FrameGrouping, OnlyTheLastTwoCharactersNumberAFrame) {
    auto a = groupFrames({"pain101", "pain102", "pain201", "x01"});
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].name, "pain1");
    EXPECT_EQ(a[1].name, "pain2");
    // A name numbered from 0 starts one frame early.
    auto zero = groupFrames({"idle00", "idle01", "end01"});
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_EQ(zero[0].startFrame, -1);
    EXPECT_TRUE(groupFrames({"single01"}).empty());
}

TEST(NameSearch, StopTextCaseAndDefault) {
    EXPECT_TRUE(containsWord("stand", "STAND", "cr"));
    EXPECT_FALSE(containsWord("stand", "crstand", "cr"));
    EXPECT_TRUE(containsWord("stand", "standcr", "cr")); // the word comes before the stop text
    EXPECT_FALSE(containsWord("walk", "wal", "cr"));
    auto s = searchStandardAnimations(named({"crstand", "stand", "run", "attack"}));
    EXPECT_EQ(s.idle, 1);
    EXPECT_EQ(s.walk, 2);
    EXPECT_EQ(s.attack, 3);
    EXPECT_EQ(s.pain, 1); // no match gives 1
    EXPECT_EQ(s.death, 1);
    EXPECT_EQ(findAnimation({"bite"}, named({"walk", "bitey"})), 1);
    EXPECT_EQ(findAnimation({"fire"}, named({"walk", "stand", "fireball"})), 2);
}

TEST(SlotResolution, OverridesApplyAfterTheSearchAndWeaponEntriesAfterThat) {
    const SlotRow* cloud = nullptr;
    const SlotRow* sara = nullptr;
    for (const SlotRow& r : slotTable()) {
        if (r.slot == 56) cloud = &r;
        if (r.slot == 26) sara = &r;
    }
    ASSERT_TRUE(cloud && sara);
    auto list = named({"stand", "walk", "run", "attack", "pain", "pain2", "jump", "flip", "salute",
                       "taunt", "idle", "attack2", "crstand", "crwalk", "death"});
    SlotAnimations c = resolveSlot(*cloud, list);
    EXPECT_EQ(c.body.idle, 10);
    EXPECT_EQ(c.body.death, 14);
    EXPECT_EQ(c.weapon[0], 10);
    EXPECT_EQ(c.weapon[1], 1);
    EXPECT_EQ(c.weapon[4], 14);
    SlotAnimations s = resolveSlot(*sara, named({"stand", "walk", "run", "pain", "pain2", "jump",
                                                 "taunt", "attack", "death"}));
    EXPECT_EQ(s.body.attack, 7);
    EXPECT_EQ(s.weapon[3], 7);
    EXPECT_EQ(s.weapon[4], -1);
}

TEST(SlotTable, CoversEveryUsedSlotWithItsSkin) {
    int count = 0;
    for (const SlotRow& r : slotTable()) {
        ++count;
        EXPECT_GE(r.skin, 25) << r.slot;
        EXPECT_LE(r.skin, 106) << r.slot;
    }
    EXPECT_EQ(count, 62);
    EXPECT_EQ(slotTable().back().slot, 78);
    EXPECT_EQ(slotTable().back().zOffset, -1);
}
