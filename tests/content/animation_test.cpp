// The slot search matches words anywhere in an animation's name; the check
// mode tests every slot of the generated pack, this the names it could confuse.
#include "tools/content/animation.h"

#include "model/slot.h"

#include <gtest/gtest.h>

using namespace content;

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
