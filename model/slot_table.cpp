// The start-up slot table: which model and skin each used slot shows, the
// weapons some creatures carry, and the fields set by hand where the
// animation search or the defaults do not suit the model.
#include "model/slot.h"

namespace {

enum class Field {
    None,
    ZOffset,
    Scale,
    Idle,
    Pain,
    Death,
    Walk,
    Attack,
    WeaponIdle,
    WeaponAttack,
    WeaponDeath,
};

struct Override {
    Field field;
    float value;
};

constexpr int NO_WEAPON = -1;
constexpr int MAX_OVERRIDES = 5;

struct SlotRow {
    int slot;
    int model;
    int skin;
    int weaponModel = NO_WEAPON;
    int weaponSkin = 0;
    // Applied in order after the set-up and the weapon; unused entries are None.
    Override overrides[MAX_OVERRIDES] = {};
};

void applyOverride(ModelSlot& s, const Override& o) {
    const int whole = int(o.value);
    switch (o.field) {
    case Field::None:
        break;
    case Field::ZOffset:
        s.zOffset = whole;
        break;
    case Field::Scale:
        s.scale = o.value;
        break;
    case Field::Idle:
        s.idleAnimation = whole;
        break;
    case Field::Pain:
        s.painAnimation = whole;
        break;
    case Field::Death:
        s.deathAnimation = whole;
        break;
    case Field::Walk:
        s.walkAnimation = whole;
        break;
    case Field::Attack:
        s.attackAnimation = whole;
        break;
    case Field::WeaponIdle:
        s.weaponAnimations[WEAPON_IDLE] = whole;
        break;
    case Field::WeaponAttack:
        s.weaponAnimations[WEAPON_ATTACK] = whole;
        break;
    case Field::WeaponDeath:
        s.weaponAnimations[WEAPON_DEATH] = whole;
        break;
    }
}

using F = Field;

// Rows sharing a model with numbered skins are written out one slot each.
// clang-format off
const SlotRow SLOT_ROWS[] = {
    // slot, model, skin, weapon model, weapon skin, overrides
    {0,  25, 25,  NO_WEAPON, 0,  {{F::ZOffset, -7}}},                                   // beast
    {1,  26, 26,  NO_WEAPON, 0,  {{F::Idle, 1}, {F::Death, 1}, {F::ZOffset, -7}}},      // chicken
    {2,  27, 27,  NO_WEAPON, 0,  {{F::ZOffset, -7}, {F::Scale, 0.1f}, {F::Death, 2}}},  // demon
    {3,  28, 28,  NO_WEAPON, 0,  {{F::Scale, 0.8f}, {F::ZOffset, 3}, {F::Walk, 0}}},    // disciple
    {4,  29, 29,  NO_WEAPON, 0,  {{F::ZOffset, -7}}},                                   // dsparil
    {5,  30, 30,  NO_WEAPON, 0,  {{F::Scale, 1.0f}, {F::Idle, 3}, {F::ZOffset, -5}}},   // ettin
    {7,  32, 32,  NO_WEAPON, 0,  {{F::Death, 3}, {F::ZOffset, -7}}},                    // golem
    {8,  33, 33},                                                                       // hobgoblin
    {10, 35, 35,  NO_WEAPON, 0,  {{F::Scale, 0.15f}, {F::ZOffset, 9}, {F::Idle, 0},
                                  {F::Pain, 2}}},                                       // lostsoul
    {11, 36, 36,  NO_WEAPON, 0,  {{F::ZOffset, -7}}},                                   // mauler
    {12, 37, 37,  NO_WEAPON, 0,  {{F::ZOffset, -7}, {F::Death, 2}}},                    // ophid
    {13, 38, 38,  NO_WEAPON, 0,  {{F::ZOffset, 10}, {F::Idle, 1}, {F::Pain, 1},
                                  {F::Death, 1}, {F::Scale, 0.15f}}}, // painelemental
    {14, 39, 39},                                                                       // penguin
    {17, 42, 42,  NO_WEAPON, 0,  {{F::ZOffset, -7}}},                                   // sabre
    {18, 43, 43,  NO_WEAPON, 0,  {{F::Idle, 12}, {F::Attack, 10}}},                     // sephiroth
    {20, 45, 45,  NO_WEAPON, 0,  {{F::ZOffset, -7}}},                                   // wight
    {21, 46, 46},                                                                       // darth
    {23, 48, 48,  NO_WEAPON, 0,  {{F::Idle, 5}}},                                       // fulimo
    {24, 49, 49},                                                                       // hand
    {26, 51, 51,  52,        52, {{F::WeaponDeath, -1}, {F::Attack, 7},
                                  {F::WeaponAttack, 7}}},                               // sara
    {28, 53, 53},                                                                       // yohko
    {30, 56, 56,  NO_WEAPON, 0,  {{F::Attack, 7}}},                                     // centaur
    {31, 56, 57,  NO_WEAPON, 0,  {{F::Attack, 7}}},
    {32, 56, 58,  NO_WEAPON, 0,  {{F::Attack, 7}}},
    {33, 57, 59,  NO_WEAPON, 0,  {{F::Attack, 5}, {F::Scale, 0.15f}, {F::ZOffset, -7}}}, // chaos
    {34, 57, 60,  NO_WEAPON, 0,  {{F::Attack, 5}, {F::Scale, 0.15f}, {F::ZOffset, -7}}},
    {39, 60, 65,  NO_WEAPON, 0,  {{F::Scale, 0.7f}}}, // cyberdemon
    {40, 60, 66,  NO_WEAPON, 0,  {{F::Scale, 0.7f}, {F::ZOffset, 8}}},
    {41, 61, 67},                                                                       // hueteotl
    {42, 61, 68},
    {43, 61, 69},
    {44, 62, 70,  NO_WEAPON, 0,  {{F::Attack, 10}}},                                    // ichabod
    {45, 62, 71,  NO_WEAPON, 0,  {{F::Attack, 10}}},
    {46, 62, 72,  NO_WEAPON, 0,  {{F::Attack, 10}}},
    {51, 64, 77,  NO_WEAPON, 0,  {{F::Attack, 11}}},                                    // caleb
    {52, 64, 78,  NO_WEAPON, 0,  {{F::Attack, 11}}},
    {53, 64, 79,  NO_WEAPON, 0,  {{F::Attack, 11}}},
    {54, 64, 80,  NO_WEAPON, 0,  {{F::Attack, 11}}},
    {55, 66, 81}, // cloud's weapon
    {56, 65, 82,  66,        81, {{F::Idle, 10}, {F::Death, 14}, {F::WeaponIdle, 10},
                                  {F::WeaponDeath, 14}}},                               // cloud
    {57, 65, 83,  66,        81, {{F::Idle, 10}, {F::Death, 14}, {F::WeaponIdle, 10},
                                  {F::WeaponDeath, 14}}},
    {58, 65, 84,  66,        81, {{F::Idle, 10}, {F::Death, 14}, {F::WeaponIdle, 10},
                                  {F::WeaponDeath, 14}}},
    {59, 67, 85,  NO_WEAPON, 0,  {{F::Attack, 9}}},                                     // devil
    {60, 67, 86,  NO_WEAPON, 0,  {{F::Attack, 9}}},
    {61, 67, 87,  NO_WEAPON, 0,  {{F::Attack, 9}}},
    {62, 68, 88,  NO_WEAPON, 0,  {{F::Attack, 8}}},                                     // dragon
    {63, 68, 89,  NO_WEAPON, 0,  {{F::Attack, 8}}},
    {64, 68, 90,  NO_WEAPON, 0,  {{F::Attack, 8}}},
    {65, 68, 91,  NO_WEAPON, 0,  {{F::Attack, 8}}},
    {66, 68, 92,  NO_WEAPON, 0,  {{F::Attack, 8}}},
    {67, 70, 93}, // goblin's weapon
    {68, 69, 94,  70,        93},                                                       // goblin
    {69, 69, 95,  70,        93},
    {70, 69, 96,  70,        93},
    {71, 69, 97,  70,        93},
    {72, 71, 98},                                                                       // han
    {73, 71, 99},
    {74, 71, 100},
    {75, 73, 103, NO_WEAPON, 0,  {{F::Attack, 10}}},                                    // tengu
    {76, 73, 104, NO_WEAPON, 0,  {{F::Attack, 10}}},
    {77, 73, 105, NO_WEAPON, 0,  {{F::Attack, 10}}},
    {78, 73, 106, NO_WEAPON, 0,  {{F::Attack, 10}, {F::ZOffset, -1}}}, // the player
};
// clang-format on

} // namespace

void setupModelSlots() {
    for (const SlotRow& row : SLOT_ROWS) {
        ModelSlot& slot = g_modelSlots[row.slot];
        slot.setup(row.model, row.skin);
        if (row.weaponModel != NO_WEAPON) slot.setWeapon(row.weaponModel, row.weaponSkin);
        for (const Override& o : row.overrides)
            applyOverride(slot, o);
    }
}
