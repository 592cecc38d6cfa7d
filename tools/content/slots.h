// The engine's start-up table of model slots: which model and skin each slot
// binds, and the fields set after the animation search. The content is laid
// out so that every slot ends with the right five animations.
#pragma once

#include "tools/content/animation.h"

#include <optional>
#include <vector>

namespace content {

struct SlotRow {
    int slot = 0;
    int model = 0;
    int skin = 0;
    int weaponModel = -1;
    int weaponSkin = -1;
    float scale = 0.25f;
    int zOffset = 0;
    std::optional<int> idle, pain, death, walk, attack;
    // Weapon entries set after the weapon is bound (idle, walk, pain, attack, death).
    std::optional<int> weaponIdle, weaponAttack, weaponDeath;
};

const std::vector<SlotRow>& slotTable();

struct SlotAnimations {
    StandardAnimations body;
    int weapon[5] = {}; // idle, walk, pain, attack, death
};
// The indices a slot ends up with: the search over the model's list, then the row's fields.
SlotAnimations resolveSlot(const SlotRow& row, const std::vector<AnimationRange>& animations);

constexpr int SLOT_HALF_HEIGHT = 7; // actors stand this far above the ground

} // namespace content
