#include "tools/content/slots.h"

namespace content {
namespace {

SlotRow row(int slot, int model, int skin) {
    SlotRow r;
    r.slot = slot;
    r.model = model;
    r.skin = skin;
    return r;
}

std::vector<SlotRow> buildTable() {
    std::vector<SlotRow> t;
    auto add = [&](SlotRow r) { t.push_back(r); };
    SlotRow r;
    r = row(0, 25, 25), r.zOffset = -7, add(r);
    r = row(1, 26, 26), r.idle = 1, r.death = 1, r.zOffset = -7, add(r);
    r = row(2, 27, 27), r.zOffset = -7, r.scale = 0.1f, r.death = 2, add(r);
    r = row(3, 28, 28), r.scale = 0.8f, r.zOffset = 3, r.walk = 0, add(r);
    r = row(4, 29, 29), r.zOffset = -7, add(r);
    r = row(5, 30, 30), r.scale = 1.0f, r.idle = 3, r.zOffset = -5, add(r);
    r = row(7, 32, 32), r.death = 3, r.zOffset = -7, add(r);
    add(row(8, 33, 33));
    r = row(10, 35, 35), r.scale = 0.15f, r.zOffset = 9, r.idle = 0, r.pain = 2, add(r);
    r = row(11, 36, 36), r.zOffset = -7, add(r);
    r = row(12, 37, 37), r.zOffset = -7, r.death = 2, add(r);
    r = row(13, 38, 38), r.zOffset = 10, r.idle = 1, r.pain = 1, r.death = 1, r.scale = 0.15f,
    add(r);
    add(row(14, 39, 39));
    r = row(17, 42, 42), r.zOffset = -7, add(r);
    r = row(18, 43, 43), r.idle = 12, r.attack = 10, add(r);
    r = row(20, 45, 45), r.zOffset = -7, add(r);
    add(row(21, 46, 46));
    r = row(23, 48, 48), r.idle = 5, add(r);
    add(row(24, 49, 49));
    r = row(26, 51, 51), r.weaponModel = 52, r.weaponSkin = 52, r.weaponDeath = -1, r.attack = 7,
    r.weaponAttack = 7, add(r);
    add(row(28, 53, 53));
    for (int k = 0; k < 3; ++k)
        r = row(30 + k, 56, 56 + k), r.attack = 7, add(r);
    for (int k = 0; k < 2; ++k)
        r = row(33 + k, 57, 59 + k), r.attack = 5, r.scale = 0.15f, r.zOffset = -7, add(r);
    r = row(39, 60, 65), r.scale = 0.7f, add(r);
    r = row(40, 60, 66), r.scale = 0.7f, r.zOffset = 8, add(r);
    for (int k = 0; k < 3; ++k)
        add(row(41 + k, 61, 67 + k));
    for (int k = 0; k < 3; ++k)
        r = row(44 + k, 62, 70 + k), r.attack = 10, add(r);
    for (int k = 0; k < 4; ++k)
        r = row(51 + k, 64, 77 + k), r.attack = 11, add(r);
    add(row(55, 66, 81));
    for (int k = 0; k < 3; ++k)
        r = row(56 + k, 65, 82 + k), r.weaponModel = 66, r.weaponSkin = 81, r.idle = 10,
        r.death = 14, r.weaponIdle = 10, r.weaponDeath = 14, add(r);
    for (int k = 0; k < 3; ++k)
        r = row(59 + k, 67, 85 + k), r.attack = 9, add(r);
    for (int k = 0; k < 5; ++k)
        r = row(62 + k, 68, 88 + k), r.attack = 8, add(r);
    add(row(67, 70, 93));
    for (int k = 0; k < 4; ++k)
        r = row(68 + k, 69, 94 + k), r.weaponModel = 70, r.weaponSkin = 93, add(r);
    for (int k = 0; k < 3; ++k)
        add(row(72 + k, 71, 98 + k));
    for (int k = 0; k < 4; ++k)
        r = row(75 + k, 73, 103 + k), r.attack = 10, r.zOffset = k == 3 ? -1 : 0, add(r);
    return t;
}

} // namespace

const std::vector<SlotRow>& slotTable() {
    static const std::vector<SlotRow> table = buildTable();
    return table;
}

SlotAnimations resolveSlot(const SlotRow& row, const std::vector<AnimationRange>& animations) {
    SlotAnimations a;
    a.body = searchStandardAnimations(animations);
    a.weapon[0] = a.body.idle;
    a.weapon[1] = a.body.walk;
    a.weapon[2] = a.body.pain;
    a.weapon[3] = a.body.attack;
    a.weapon[4] = a.body.death;
    if (row.idle) a.body.idle = *row.idle;
    if (row.pain) a.body.pain = *row.pain;
    if (row.death) a.body.death = *row.death;
    if (row.walk) a.body.walk = *row.walk;
    if (row.attack) a.body.attack = *row.attack;
    if (row.weaponIdle) a.weapon[0] = *row.weaponIdle;
    if (row.weaponAttack) a.weapon[3] = *row.weaponAttack;
    if (row.weaponDeath) a.weapon[4] = *row.weaponDeath;
    return a;
}

} // namespace content
