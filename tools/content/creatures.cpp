#include "tools/content/creatures.h"

#include "tools/content/bodies.h"
#include "tools/content/slots.h"

#include "render/engine.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace content {
namespace {

using P = Pattern;
Rgb C(std::uint32_t hex) {
    return hexColour(hex);
}

std::vector<AnimationSpec> anims(std::initializer_list<const char*> names) {
    static const std::map<std::string, std::pair<Motion, int>> table{
        {"stand", {Motion::Stand, 16}},
        {"idle", {Motion::Idle, 16}},
        {"walk", {Motion::Walk, 8}},
        {"run", {Motion::Run, 6}},
        {"attack", {Motion::Attack, 8}},
        {"attack2", {Motion::Attack2, 8}},
        {"pain", {Motion::Pain, 5}},
        {"pain2", {Motion::Pain2, 5}},
        {"death", {Motion::Death, 9}},
        {"death2", {Motion::Death2, 9}},
        {"jump", {Motion::Jump, 8}},
        {"flip", {Motion::Flip, 8}},
        {"salute", {Motion::Salute, 10}},
        {"taunt", {Motion::Taunt, 10}},
        {"wave", {Motion::Wave, 10}},
        {"point", {Motion::Point, 8}},
        {"crstand", {Motion::CrouchStand, 12}},
        {"crwalk", {Motion::CrouchWalk, 8}},
        {"rear", {Motion::Rear, 10}},
        {"roar", {Motion::Roar, 10}},
        {"flap", {Motion::Flap, 8}},
        {"roost", {Motion::Roost, 12}},
        {"throb", {Motion::Throb, 12}},
    };
    std::vector<AnimationSpec> out;
    for (const char* n : names) {
        auto it = table.find(n);
        if (it == table.end()) throw std::logic_error(std::string("unknown animation ") + n);
        out.push_back({n, it->second.first, it->second.second});
    }
    return out;
}

// Everything is built in the body plan's own units and scaled at the end so
// that the rest pose has the wanted height, its lowest point at z 0.
void normalise(Creature& c, double height) {
    double lo = 1e30, hi = -1e30;
    for (const MeshVertex& v : c.body.vertices) {
        lo = std::min(lo, v.position.z);
        hi = std::max(hi, v.position.z);
    }
    double k = height / (hi - lo);
    auto fix = [&](Vec3 p) { return Vec3{p.x * k, p.y * k, (p.z - lo) * k}; };
    for (MeshVertex& v : c.body.vertices)
        v.position = fix(v.position);
    for (MeshVertex& v : c.weapon.vertices)
        v.position = fix(v.position);
    for (Bone& b : c.skeleton.bones)
        b.joint = fix(b.joint);
}

// --- humanoids --------------------------------------------------------------

struct Palette {
    int skin, torso, legs, feet, hands, head;
};

Palette palette(Creature& c, Rgb skin, Rgb cloth, Rgb legs, Rgb boots, P clothPattern = P::Cloth,
                P legPattern = P::Cloth) {
    int s = c.material(skin, skin * 0.8f, P::Skin);
    int t = c.material(cloth, cloth * 0.6f + C(0x202020), clothPattern);
    int l = c.material(legs, legs * 0.7f, legPattern);
    int f = c.material(boots, boots * 0.6f, P::Leather);
    return {s, t, l, f, s, s};
}

void horns(Creature& c, const BipedJoints& j, int mat, double size, double spread = 0.55) {
    Build B{c};
    int r = part(c, mat, 0.8f, 1.2f);
    Vec3 base = j.head + Vec3{0.15, spread, 1.45};
    B.conePair("head", r, base, base + Vec3{-0.3 * size, 0.5 * size, 1.3 * size},
               0.28 * std::sqrt(size), 6);
}

void sword(Creature& c, const BipedJoints& j, bool weapon, double length, double width,
           int bladeMat, int hiltMat, bool curved = false) {
    Build B{c, weapon};
    int bladeR = part(c, bladeMat, 0.6f, 3.0f, Face::None, 0.35f);
    int hiltR = part(c, hiltMat, 0.6f, 0.8f);
    Vec3 grip = j.wristL + Vec3{0.1, 0, -0.5};
    Vec3 g{grip.x, -grip.y, grip.z};
    B.limb("handR", hiltR, g + Vec3{-0.55, 0, 0.1}, g + Vec3{0.45, 0, -0.05}, 0.12, 0.12, 6);
    B.box("handR", hiltR, g + Vec3{0.5, 0, -0.05}, {0.08, 0.5 * width + 0.25, 0.12});
    Vec3 tip = g + Vec3{0.5 + length, 0, curved ? 0.5 : 0.2};
    c.use(bladeR, weapon);
    addLathe(c.target(weapon), c.boneIndex("handR"), g + Vec3{0.55, 0, -0.05}, tip, 0.06,
             0.5 * width, {{0, 0}, {0.02, 1.0}, {0.85, 0.85}, {1.0, 0}}, 4, {0, 0, 1, 1}, -1,
             {0, 0, 1});
}

void cape(Creature& c, const BipedJoints& j, int mat, double length) {
    Build B{c};
    int r = part(c, mat, 2.5f, 3.0f);
    Vec3 a = j.shoulderL + Vec3{-0.9, -0.1, 0.3}, b = mirrorY(a);
    B.card("chest", r, b + Vec3{-0.6, -0.4, -length}, a + Vec3{-0.6, 0.4, -length}, a, b);
}

Creature makeHumanoid(const std::string& name, Rgb skin, Rgb cloth, Rgb legs, Rgb boots,
                      void (*extra)(Creature&, const BipedJoints&, const Palette&),
                      BipedSpec tweak = {}, P clothPattern = P::Cloth, P legPattern = P::Cloth) {
    Creature c;
    c.name = name;
    Palette p = palette(c, skin, cloth, legs, boots, clothPattern, legPattern);
    BipedSpec s = tweak;
    s.skin = p.skin;
    s.torso = p.torso;
    s.legs = p.legs;
    s.feet = p.feet;
    s.hands = p.hands;
    s.head = p.head;
    BipedJoints j = buildBiped(c, s);
    if (extra) extra(c, j, p);
    return c;
}

void hairCap(Creature& c, const BipedJoints& j, int mat, double spikes, double length) {
    Build B{c};
    int r = part(c, mat, 2.6f, 1.6f);
    B.ell("head", r, j.head + Vec3{-0.05, 0, 1.25}, {0.92, 0.8, 0.72}, 5, 10);
    if (spikes > 0)
        for (int k = 0; k < 5; ++k) {
            double a = -1.2 + k * 0.6;
            Vec3 base = j.head + Vec3{-0.35, std::sin(a) * 0.55, 1.45 + std::cos(a) * 0.2};
            B.cone("head", r, base,
                   base + Vec3{-0.8 * spikes, std::sin(a) * 0.9 * spikes, 0.6 * spikes}, 0.3, 5);
        }
    if (length > 0)
        B.limb("head", r, j.head + Vec3{-0.75, 0, 1.0}, j.head + Vec3{-0.9, 0, 1.0 - length}, 0.55,
               0.25, 6);
}

// --- the biped creatures -----------------------------------------------------

Creature makeDemon() {
    BipedSpec t;
    t.bulk = 1.35;
    t.headSize = 1.05;
    t.armLength = 1.15;
    t.face = Face::EyesMouth;
    return makeHumanoid(
        "demon", C(0xB0483A), C(0x8A2C22), C(0x6E2A1E), C(0x3A2418),
        [](Creature& c, const BipedJoints& j, const Palette& p) {
            horns(c, j, c.material(C(0xE8DCC0), C(0x8A7A60), P::Bone, false), 1.2);
            Build B{c};
            int claw = part(c, c.material(C(0xD8D0B8), C(0x605040), P::Bone, false), 0.5f, 0.5f);
            for (int k = -1; k <= 1; ++k)
                B.conePair("hand", claw, j.wristL + Vec3{0.2, k * 0.15, -0.8},
                           j.wristL + Vec3{0.7, k * 0.2, -1.3}, 0.09, 4);
            int tail = part(c, p.skin, 1.0f, 2.0f);
            B.limb("pelvis", tail, j.pelvis + Vec3{-0.9, 0, -0.4}, j.pelvis + Vec3{-3.2, 0, -2.6},
                   0.35, 0.1, 6);
        },
        t, P::Skin, P::Fur);
}

Creature makeDisciple() {
    BipedSpec t;
    t.robe = true;
    t.face = Face::Visor;
    return makeHumanoid(
        "disciple", C(0x6A7A5A), C(0x3C5A3A), C(0x2E3E2E), C(0x2A2A22),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            Build B{c};
            int hood = part(c, c.material(C(0x2E4A30), C(0x14261A), P::Cloth), 2.5f, 2.0f);
            B.ell("head", hood, j.head + Vec3{-0.15, 0, 1.0}, {1.05, 0.95, 1.2}, 5, 10);
            B.cone("head", hood, j.head + Vec3{-0.6, 0, 1.8}, j.head + Vec3{-1.6, 0, 2.6}, 0.5, 6);
            int orb = part(c, c.material(C(0x60FF80), C(0xE0FFE0), P::Glow), 0.8f, 0.8f);
            B.ell("handL", orb, j.wristL + Vec3{0.4, 0, -0.8}, {0.35, 0.35, 0.35}, 4, 6);
        },
        t, P::Cloth, P::Cloth);
}

Creature makeDsparil() {
    BipedSpec t;
    t.robe = true;
    t.bulk = 1.1;
    t.face = Face::EyesMouth;
    return makeHumanoid(
        "dsparil", C(0x8C9AA8), C(0x5A2A78), C(0x3A1A50), C(0x281830),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            horns(c, j, c.material(C(0xD0C090), C(0x705830), P::Bone, false), 1.5, 0.5);
            Build B{c};
            int gold = part(c, c.material(C(0xD8B040), C(0x805818), P::Metal, false), 2.0f, 0.8f);
            B.limb("chest", gold, j.shoulderL + Vec3{0, -0.2, 0.2},
                   mirrorY(j.shoulderL) + Vec3{0, 0.2, 0.2}, 0.6, 0.6, 8);
            int staff = part(c, c.material(C(0x5A3A20), C(0x2A1808), P::Wood, false), 0.5f, 3.0f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            B.limb("handR", staff, g + Vec3{0, 0, -5.5}, g + Vec3{0, 0, 3.5}, 0.15, 0.15, 6);
            int gem = part(c, c.material(C(0xFF3040), C(0xFFD0D0), P::Glow, false), 0.6f, 0.6f);
            B.ell("handR", gem, g + Vec3{0, 0, 3.9}, {0.45, 0.45, 0.45}, 4, 6);
        },
        t, P::Cloth, P::Cloth);
}

Creature makeEttin() {
    BipedSpec t;
    t.bulk = 1.5;
    t.shoulders = 1.25;
    t.belly = 1.3;
    t.armLength = 1.2;
    t.headSize = 0.9;
    Creature c = makeHumanoid(
        "ettin", C(0x9A8A6A), C(0x6A4A2A), C(0x5A4A30), C(0x3A2A1A),
        [](Creature& c, const BipedJoints& j, const Palette& p) {
            // The second head on a second neck.
            Build B{c};
            int head2 = part(c, p.head, 3.0f, 2.4f, Face::EyesMouth);
            B.ell("chest", head2, j.head + Vec3{0.1, -1.3, 0.6}, {0.8, 0.7, 0.9}, 6, 10);
            int club = part(c, c.material(C(0x6A4A28), C(0x3A2410), P::Wood, false), 0.8f, 3.0f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            B.limb("handR", club, g + Vec3{-0.4, 0, 0.2}, g + Vec3{4.0, 0, 1.2}, 0.25, 0.6, 8);
        },
        t, P::Leather, P::Cloth);
    return c;
}

Creature makeGolem() {
    BipedSpec t;
    t.bulk = 1.55;
    t.shoulders = 1.2;
    t.headSize = 0.75;
    t.armLength = 1.25;
    t.face = Face::Visor;
    Creature c;
    c.name = "golem";
    int stone = c.material(C(0x8A8478), C(0x5A564E), P::Stone);
    int moss = c.material(C(0x5A7040), C(0x3A4A28), P::Stone);
    t.skin = t.torso = t.hands = t.head = stone;
    t.legs = t.feet = moss;
    BipedJoints j = buildBiped(c, t);
    Build B{c};
    int rune = part(c, c.material(C(0x40C0FF), C(0xE0F8FF), P::Glow), 0.6f, 0.6f);
    B.ell("chest", rune, j.chest + Vec3{1.45, 0, 0.8}, {0.2, 0.5, 0.5}, 4, 6);
    int boulder = part(c, stone, 1.5f, 1.5f);
    B.ellPair("upperarm", boulder, j.shoulderL + Vec3{0, 0.3, 0.3}, {1.0, 0.9, 0.8}, 4, 7);
    return c;
}

Creature makeHobgoblin() {
    BipedSpec t;
    t.headSize = 1.15;
    t.legLength = 0.9;
    t.face = Face::EyesMouth;
    return makeHumanoid(
        "hobgoblin", C(0x8A7A3A), C(0x6A4A2A), C(0x4A3A2A), C(0x2A2018),
        [](Creature& c, const BipedJoints& j, const Palette& p) {
            Build B{c};
            int ear = part(c, p.skin, 0.7f, 0.7f);
            B.conePair("head", ear, j.head + Vec3{0, 0.6, 0.9}, j.head + Vec3{-0.5, 1.6, 1.4}, 0.3,
                       5);
            int club = part(c, c.material(C(0x7A5A30), C(0x3A2A10), P::Wood, false), 0.8f, 2.5f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            B.limb("handR", club, g + Vec3{-0.3, 0, 0.1}, g + Vec3{3.0, 0, 0.8}, 0.2, 0.45, 7);
        },
        t, P::Leather, P::Cloth);
}

Creature makeMauler() {
    BipedSpec t;
    t.bulk = 1.6;
    t.shoulders = 1.3;
    t.armLength = 1.5;
    t.legLength = 0.75;
    t.headSize = 0.85;
    Creature c = makeHumanoid(
        "mauler", C(0x5A4A40), C(0x4A3A34), C(0x3A302A), C(0x2A2420),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            Build B{c};
            int claw = part(c, c.material(C(0xE0E0D0), C(0x707060), P::Bone, false), 0.5f, 0.5f);
            for (int k = -1; k <= 1; ++k)
                B.conePair("hand", claw, j.wristL + Vec3{0.2, k * 0.2, -0.8},
                           j.wristL + Vec3{0.9, k * 0.25, -1.5}, 0.12, 4);
            int plate = part(c, c.material(C(0x707884), C(0x3A4048), P::Metal, false), 2.0f, 1.2f);
            B.ell("chest", plate, j.chest + Vec3{0.3, 0, 0.9}, {1.4, 2.2, 0.8}, 4, 10);
        },
        t, P::Fur, P::Fur);
    return c;
}

Creature makeSephiroth() {
    BipedSpec t;
    t.bulk = 0.95;
    t.legLength = 1.08;
    return makeHumanoid(
        "sephiroth", C(0xE0C8B0), C(0x1A1A22), C(0x141418), C(0x202020),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            hairCap(c, j, c.material(C(0xD8DCE0), C(0x9098A0), P::Hair, false), 0, 5.5);
            sword(c, j, false, 9.0, 0.35, c.material(C(0xD0D8E0), C(0xFFFFFF), P::Glow, false),
                  c.material(C(0x303030), C(0x808080), P::Metal, false), true);
            cape(c, j, c.material(C(0x1E1E26), C(0x0A0A10), P::Leather), 7.5);
        },
        t, P::Leather, P::Leather);
}

Creature makeWight() {
    BipedSpec t;
    t.bulk = 0.8;
    t.headSize = 0.95;
    t.armLength = 1.15;
    t.face = Face::Skull;
    return makeHumanoid(
        "wight", C(0xA8B0A0), C(0x4A4A40), C(0x3A3A34), C(0x2A2A24),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            cape(c, j, c.material(C(0x3A3830), C(0x1A1A14), P::Cloth), 8.0);
            Build B{c};
            int claw = part(c, c.material(C(0xC0C8B0), C(0x505048), P::Bone, false), 0.5f, 0.5f);
            for (int k = -1; k <= 1; ++k)
                B.conePair("hand", claw, j.wristL + Vec3{0.1, k * 0.15, -0.8},
                           j.wristL + Vec3{0.4, k * 0.2, -1.6}, 0.07, 4);
        },
        t, P::Cloth, P::Bone);
}

Creature makeDarth() {
    BipedSpec t;
    t.bulk = 1.15;
    t.face = Face::Visor;
    return makeHumanoid(
        "darth", C(0x202024), C(0x18181C), C(0x141416), C(0x101012),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            Build B{c};
            int helm = part(c, c.material(C(0x26262C), C(0x60606A), P::Metal, false), 2.6f, 2.0f);
            B.ell("head", helm, j.head + Vec3{-0.05, 0, 1.15}, {1.0, 0.9, 1.0}, 5, 10);
            B.cone("head", helm, j.head + Vec3{-0.2, 0, 0.3}, j.head + Vec3{-0.3, 0, -0.2}, 1.3,
                   10);
            int panel = part(c, c.material(C(0x404048), C(0xFF2020), P::Metal, false), 1.0f, 0.8f);
            B.box("chest", panel, j.chest + Vec3{1.15, 0, 0.6}, {0.15, 0.5, 0.35});
            cape(c, j, c.material(C(0x141414), C(0x050505), P::Cloth, false), 9.0);
            sword(c, j, false, 6.5, 0.3, c.material(C(0xFF4030), C(0xFFF0E0), P::Glow, false),
                  c.material(C(0x909098), C(0x404048), P::Metal, false));
        },
        t, P::Leather, P::Leather);
}

Creature makeFulimo() {
    BipedSpec t;
    t.bulk = 1.3;
    t.belly = 1.45;
    t.headSize = 1.2;
    t.legLength = 0.85;
    return makeHumanoid(
        "fulimo", C(0xC8B8A0), C(0xE8E4DC), C(0xD0CCC0), C(0x50483A),
        [](Creature& c, const BipedJoints& j, const Palette& p) {
            Build B{c};
            int tusk = part(c, c.material(C(0xF0E8D0), C(0x908070), P::Bone, false), 0.5f, 0.5f);
            B.conePair("head", tusk, j.head + Vec3{0.8, 0.35, 0.4}, j.head + Vec3{1.2, 0.5, 1.1},
                       0.12, 5);
            int ear = part(c, p.skin, 0.6f, 0.6f);
            B.ellPair("head", ear, j.head + Vec3{0, 0.85, 1.1}, {0.25, 0.15, 0.4}, 4, 6);
        },
        t, P::Fur, P::Fur);
}

Creature makeSara() {
    BipedSpec t;
    t.bulk = 0.88;
    t.headSize = 0.95;
    return makeHumanoid(
        "sara", C(0xF0C8A8), C(0x2A6A9A), C(0x20304A), C(0x3A2A20),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            hairCap(c, j, c.material(C(0x8A4A20), C(0x4A2410), P::Hair), 0, 4.0);
            sword(c, j, true, 6.5, 0.25, c.material(C(0xC8D0D8), C(0xFFFFFF), P::Metal, false),
                  c.material(C(0xB08830), C(0x604010), P::Metal, false));
        },
        t, P::Cloth, P::Leather);
}

Creature makeYohko() {
    BipedSpec t;
    t.bulk = 0.86;
    t.headSize = 0.95;
    return makeHumanoid(
        "yohko", C(0xF0D0B0), C(0xC02030), C(0xF0F0F0), C(0x2A1A1A),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            hairCap(c, j, c.material(C(0x141018), C(0x403848), P::Hair), 0, 5.5);
            sword(c, j, true, 7.0, 0.22, c.material(C(0xE0E8F0), C(0xFFFFFF), P::Metal, false),
                  c.material(C(0x302020), C(0xA08040), P::Leather, false), true);
        },
        t, P::Cloth, P::Cloth);
}

Creature makeChaos() {
    BipedSpec t;
    t.bulk = 1.35;
    t.shoulders = 1.2;
    t.face = Face::Visor;
    return makeHumanoid(
        "chaos", C(0x3A3A42), C(0x4A2A5A), C(0x34343C), C(0x202024),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            Build B{c};
            int spike = part(c, c.material(C(0xB0A090), C(0x504030), P::Bone, false), 0.6f, 0.8f);
            int pauldron = part(c, c.material(C(0x5A3A6A), C(0x201028), P::Metal), 1.8f, 1.4f);
            B.ellPair("upperarm", pauldron, j.shoulderL + Vec3{0, 0.25, 0.35}, {1.0, 0.9, 0.7}, 4,
                      8);
            B.conePair("upperarm", spike, j.shoulderL + Vec3{0, 0.5, 0.8},
                       j.shoulderL + Vec3{-0.2, 1.0, 2.4}, 0.3, 5);
            B.conePair("head", spike, j.head + Vec3{0, 0.5, 1.5}, j.head + Vec3{-0.6, 0.9, 3.0},
                       0.25, 5);
            Build W{c};
            int axe = part(c, c.material(C(0x9098A0), C(0xE0E8F0), P::Metal, false), 1.2f, 1.2f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            int haft = part(c, c.material(C(0x3A2A1A), C(0x1A1008), P::Wood, false), 0.5f, 2.5f);
            W.limb("handR", haft, g + Vec3{-0.8, 0, 0}, g + Vec3{4.5, 0, 0.4}, 0.15, 0.15, 6);
            W.box("handR", axe, g + Vec3{4.0, 0, 1.0}, {0.5, 0.08, 0.9});
        },
        t, P::Metal, P::Metal);
}

Creature makeCyberdemon() {
    BipedSpec t;
    t.bulk = 1.5;
    t.shoulders = 1.15;
    t.headSize = 0.8;
    t.legLength = 1.1;
    return makeHumanoid(
        "cyberdemon", C(0x9A6A50), C(0x7A5040), C(0x6A4A3A), C(0x505058),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            horns(c, j, c.material(C(0xE0D8C0), C(0x706850), P::Bone, false), 1.6, 0.6);
            Build B{c};
            int metal = part(c, c.material(C(0x6A6E78), C(0x2A2E34), P::Metal, false), 1.6f, 2.4f);
            // The cannon arm on the left and an iron leg on the right.
            B.limb("forearmL", metal, j.elbowL, j.wristL + Vec3{0.8, 0, -0.6}, 0.6, 0.55, 8);
            B.limb("handL", metal, j.wristL + Vec3{0.2, 0, -0.3}, j.wristL + Vec3{2.2, 0, -0.9},
                   0.5, 0.45, 8);
            B.limb("shinR", metal, mirrorY(j.kneeL), mirrorY(j.ankleL), 0.6, 0.45, 8);
        },
        t, P::Skin, P::Skin);
}

Creature makeHueteotl() {
    BipedSpec t;
    t.bulk = 1.05;
    return makeHumanoid(
        "hueteotl", C(0xB07848), C(0x2A8A6A), C(0xC09030), C(0x5A3A1A),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            Build B{c};
            int feather = part(c, c.material(C(0x30B060), C(0xE0C020), P::Feather), 1.0f, 2.0f);
            for (int k = -3; k <= 3; ++k) {
                double a = k * 0.38;
                Vec3 base = j.head + Vec3{-0.4, std::sin(a) * 0.6, 1.3};
                B.card("head", feather, base + Vec3{0, -0.25, 0}, base + Vec3{0, 0.25, 0},
                       base + Vec3{-0.8, std::sin(a) * 2.4 + 0.25, 2.4 * std::cos(a)},
                       base + Vec3{-0.8, std::sin(a) * 2.4 - 0.25, 2.4 * std::cos(a)});
            }
            int gold = part(c, c.material(C(0xE0B030), C(0x806010), P::Metal, false), 2.0f, 0.6f);
            B.limb("chest", gold, j.shoulderL + Vec3{0.6, -0.5, 0.0},
                   mirrorY(j.shoulderL) + Vec3{0.6, 0.5, 0.0}, 0.35, 0.35, 8);
        },
        t, P::Feather, P::Scales);
}

Creature makeIchabod() {
    BipedSpec t;
    t.bulk = 0.8;
    t.legLength = 1.15;
    t.armLength = 1.15;
    t.headSize = 1.25;
    t.face = Face::Skull;
    return makeHumanoid(
        "ichabod", C(0xE08020), C(0x3A3020), C(0x2A2418), C(0x1A1410),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            Build B{c};
            int stem = part(c, c.material(C(0x4A6A20), C(0x203010), P::Wood, false), 0.5f, 0.6f);
            B.limb("head", stem, j.head + Vec3{0, 0, 2.2}, j.head + Vec3{-0.2, 0, 2.9}, 0.18, 0.12,
                   5);
            int hat = part(c, c.material(C(0x2A2420), C(0x100C08), P::Leather), 2.0f, 1.4f);
            B.ell("head", hat, j.head + Vec3{0, 0, 2.35}, {1.6, 1.6, 0.12}, 3, 10);
            B.cone("head", hat, j.head + Vec3{0, 0, 2.4}, j.head + Vec3{-0.5, 0, 4.2}, 0.8, 8);
            cape(c, j, c.material(C(0x2A2018), C(0x0C0806), P::Cloth), 7.5);
            int scythe = part(c, c.material(C(0x7A6A50), C(0x302418), P::Wood, false), 0.5f, 3.0f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            B.limb("handR", scythe, g + Vec3{0, 0, -4.5}, g + Vec3{0, 0, 4.0}, 0.13, 0.13, 6);
            int blade = part(c, c.material(C(0xB0B8C0), C(0xF0F4F8), P::Metal, false), 0.8f, 1.6f);
            B.card("handR", blade, g + Vec3{0, 0, 3.9}, g + Vec3{0, 0, 3.3}, g + Vec3{2.8, 0, 2.2},
                   g + Vec3{3.1, 0, 3.4});
        },
        t, P::Cloth, P::Cloth);
}

Creature makeCaleb() {
    BipedSpec t;
    t.bulk = 1.0;
    return makeHumanoid(
        "caleb", C(0xC8A890), C(0x3A3028), C(0x2A2A2A), C(0x1A1814),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            Build B{c};
            int hat = part(c, c.material(C(0x2A2420), C(0x0A0806), P::Leather), 2.4f, 1.6f);
            B.ell("head", hat, j.head + Vec3{0, 0, 1.55}, {1.9, 1.9, 0.12}, 3, 12);
            B.ell("head", hat, j.head + Vec3{0, 0, 1.9}, {0.85, 0.8, 0.55}, 4, 10);
            int coat = part(c, c.material(C(0x3A3028), C(0x1A1410), P::Leather), 4.0f, 3.0f);
            c.use(coat);
            addLathe(c.body, c.boneIndex("pelvis"), j.pelvis + Vec3{0, 0, -4.3},
                     j.pelvis + Vec3{0, 0, 0.6}, 1.8, 1.7, {{0.0, 1.2}, {0.5, 1.0}, {1.0, 0.8}}, 10,
                     {0, 0, 1, 1});
            int gun = part(c, c.material(C(0x505058), C(0x202024), P::Metal, false), 0.8f, 1.2f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            B.limb("handR", gun, g + Vec3{-0.3, 0, 0.1}, g + Vec3{3.2, 0, 0.3}, 0.28, 0.22, 6);
        },
        t, P::Leather, P::Cloth);
}

Creature makeCloud() {
    BipedSpec t;
    t.bulk = 0.95;
    return makeHumanoid(
        "cloud", C(0xF0C8A8), C(0x3A4A6A), C(0x2A3044), C(0x3A2A1A),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            hairCap(c, j, c.material(C(0xF0D860), C(0xB09020), P::Hair), 1.3, 0);
            Build B{c};
            int pad = part(c, c.material(C(0x8890A0), C(0x404850), P::Metal, false), 1.2f, 1.0f);
            B.ell("upperarmL", pad, j.shoulderL + Vec3{0, 0.3, 0.25}, {0.8, 0.7, 0.5}, 4, 8);
            sword(c, j, true, 8.5, 1.1, c.material(C(0xA8B0B8), C(0xE8F0F8), P::Metal, false),
                  c.material(C(0x303030), C(0x707070), P::Leather, false));
        },
        t, P::Cloth, P::Cloth);
}

Creature makeDevil() {
    BipedSpec t;
    t.bulk = 1.1;
    return makeHumanoid(
        "devil", C(0xC02818), C(0x901810), C(0x601008), C(0x201010),
        [](Creature& c, const BipedJoints& j, const Palette& p) {
            horns(c, j, c.material(C(0x201818), C(0x604840), P::Bone, false), 1.0);
            Build B{c};
            int tail = part(c, p.skin, 1.0f, 2.2f);
            B.limb("pelvis", tail, j.pelvis + Vec3{-0.9, 0, -0.5}, j.pelvis + Vec3{-3.5, 0, -3.5},
                   0.22, 0.1, 6);
            B.cone("pelvis", tail, j.pelvis + Vec3{-3.5, 0, -3.5}, j.pelvis + Vec3{-4.3, 0, -3.9},
                   0.35, 4);
            int trident =
                part(c, c.material(C(0x404040), C(0xA0A0A0), P::Metal, false), 0.5f, 3.0f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            B.limb("handR", trident, g + Vec3{0, 0, -4.0}, g + Vec3{0, 0, 4.5}, 0.12, 0.12, 6);
            for (int k = -1; k <= 1; ++k)
                B.cone("handR", trident, g + Vec3{0, k * 0.45, 4.4}, g + Vec3{0, k * 0.55, 5.6},
                       0.12, 4);
            B.limb("handR", trident, g + Vec3{0, -0.5, 4.4}, g + Vec3{0, 0.5, 4.4}, 0.1, 0.1, 4);
        },
        t, P::Skin, P::Fur);
}

Creature makeGoblin() {
    BipedSpec t;
    t.bulk = 0.9;
    t.headSize = 1.2;
    t.legLength = 0.88;
    return makeHumanoid(
        "goblin", C(0x6A9A3A), C(0x5A4A30), C(0x4A3A24), C(0x2A2018),
        [](Creature& c, const BipedJoints& j, const Palette& p) {
            Build B{c};
            int ear = part(c, p.skin, 0.7f, 0.7f);
            B.conePair("head", ear, j.head + Vec3{0, 0.65, 1.0}, j.head + Vec3{-0.8, 1.9, 1.6},
                       0.32, 5);
            int nose = part(c, p.skin, 0.5f, 0.5f);
            B.cone("head", nose, j.head + Vec3{0.85, 0, 0.75}, j.head + Vec3{1.6, 0, 0.55}, 0.2, 5);
            Build W{c, true};
            int haft = part(c, c.material(C(0x6A4A28), C(0x2A1A08), P::Wood, false), 0.5f, 2.5f);
            int head = part(c, c.material(C(0x8A9098), C(0xD0D8E0), P::Metal, false), 1.0f, 1.0f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            W.limb("handR", haft, g + Vec3{-0.6, 0, 0}, g + Vec3{3.6, 0, 0.3}, 0.13, 0.13, 6);
            W.box("handR", head, g + Vec3{3.2, 0, 0.9}, {0.4, 0.07, 0.8});
        },
        t, P::Leather, P::Cloth);
}

Creature makeHan() {
    BipedSpec t;
    return makeHumanoid(
        "han", C(0xE0B898), C(0xE8E0D0), C(0x2A3040), C(0x2A1C14),
        [](Creature& c, const BipedJoints& j, const Palette&) {
            hairCap(c, j, c.material(C(0x5A3A20), C(0x2A1808), P::Hair), 0, 0);
            Build B{c};
            int vest = part(c, c.material(C(0x1A1A1A), C(0x3A3A3A), P::Leather), 3.0f, 2.0f);
            B.ell("chest", vest, j.chest + Vec3{0, 0, 0.6}, {1.2, 1.78, 1.0}, 4, 12);
            int gun = part(c, c.material(C(0x303034), C(0x80808A), P::Metal, false), 0.8f, 1.0f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            B.limb("handR", gun, g + Vec3{-0.2, 0, 0.1}, g + Vec3{2.0, 0, 0.2}, 0.25, 0.18, 6);
            int belt = part(c, c.material(C(0x4A3020), C(0xC0A040), P::Leather), 2.0f, 0.5f);
            B.ell("pelvis", belt, j.pelvis + Vec3{0, 0, 0.2}, {1.15, 1.4, 0.3}, 3, 10);
        },
        t, P::Cloth, P::Cloth);
}

Creature makeTengu() {
    BipedSpec t;
    t.bulk = 1.0;
    return makeHumanoid(
        "tengu", C(0xD04030), C(0xE8E4D8), C(0x303048), C(0x2A2018),
        [](Creature& c, const BipedJoints& j, const Palette& p) {
            Build B{c};
            int nose = part(c, p.skin, 0.6f, 0.8f);
            B.cone("head", nose, j.head + Vec3{0.8, 0, 0.9}, j.head + Vec3{2.4, 0, 1.0}, 0.25, 6);
            int hair = part(c, c.material(C(0xF0F0F0), C(0xA0A0A0), P::Hair, false), 1.4f, 2.0f);
            B.limb("head", hair, j.head + Vec3{-0.6, 0, 1.4}, j.head + Vec3{-1.4, 0, -1.2}, 0.7,
                   0.3, 6);
            int cap = part(c, c.material(C(0x1A1A1A), C(0x404040), P::Leather, false), 0.6f, 0.6f);
            B.box("head", cap, j.head + Vec3{0.2, 0, 1.95}, {0.3, 0.3, 0.25});
            int wing = part(c, c.material(C(0x2A2A30), C(0x606070), P::Feather), 2.0f, 2.4f);
            Vec3 a = j.shoulderL + Vec3{-1.0, -1.3, 0.2};
            B.card("chest", wing, a + Vec3{0, 0, -0.5}, a + Vec3{-1.5, 3.5, 1.5},
                   a + Vec3{-2.0, 3.0, -3.0}, a + Vec3{-0.3, 0.2, -3.5});
            Vec3 b = mirrorY(a);
            B.card("chest", wing, b + Vec3{-0.3, -0.2, -3.5}, b + Vec3{-2.0, -3.0, -3.0},
                   b + Vec3{-1.5, -3.5, 1.5}, b + Vec3{0, 0, -0.5});
            int staff = part(c, c.material(C(0x7A5A30), C(0x3A2410), P::Wood, false), 0.5f, 3.0f);
            Vec3 g{j.wristL.x + 0.1, -j.wristL.y, j.wristL.z - 0.5};
            B.limb("handR", staff, g + Vec3{0, 0, -4.5}, g + Vec3{0, 0, 3.5}, 0.12, 0.12, 6);
        },
        t, P::Cloth, P::Cloth);
}

// --- four-legged creatures ---------------------------------------------------

Creature makeBeast() {
    Creature c;
    c.name = "beast";
    QuadSpec s;
    s.body = c.material(C(0x6A4A30), C(0x3A2818), P::Fur);
    s.belly = c.material(C(0x3A2A20), C(0x1A1410), P::Leather);
    s.legs = c.material(C(0x5A3E28), C(0x2A1C10), P::Fur);
    s.head = c.material(C(0x5A3E28), C(0x9A7A58), P::Fur);
    s.eyes = c.material(C(0xFFC020), C(0xFFF080), P::Glow, false);
    s.tail = s.body;
    s.girth = 1.9;
    s.headSize = 1.6;
    s.neckLength = 2.0;
    QuadJoints j = buildQuadruped(c, s);
    Build B{c};
    int horn = part(c, c.material(C(0xE8DCC0), C(0x6A5A40), P::Bone, false), 0.6f, 1.2f);
    B.conePair("head", horn, j.head + Vec3{0.1, 0.45, 0.5}, j.head + Vec3{-0.3, 1.6, 1.8}, 0.28, 6);
    int fang = part(c, c.material(C(0xF0F0E8), C(0x909080), P::Bone, false), 0.4f, 0.4f);
    B.conePair("jaw", fang, j.jaw + Vec3{1.2, 0.3, 0.1}, j.jaw + Vec3{1.3, 0.3, 0.8}, 0.1, 4);
    return c;
}

Creature makeSabre() {
    Creature c;
    c.name = "sabre";
    QuadSpec s;
    s.body = c.material(C(0xC89048), C(0x6A4020), P::Fur);
    s.belly = c.material(C(0xE8D8B8), C(0x8A7A60), P::Fur);
    s.legs = s.body;
    s.head = c.material(C(0xC89048), C(0xF0E0C0), P::Fur);
    s.eyes = c.material(C(0x70E020), C(0xE0FFA0), P::Glow, false);
    s.tail = s.body;
    s.length = 11;
    s.backHeight = 5.5;
    s.girth = 1.5;
    s.legRadius = 0.5;
    s.neckLength = 1.6;
    s.headSize = 1.35;
    s.tailLength = 5.5;
    QuadJoints j = buildQuadruped(c, s);
    Build B{c};
    int fang = part(c, c.material(C(0xF8F4E8), C(0xA09880), P::Bone, false), 0.5f, 0.8f);
    B.conePair("head", fang, j.head + Vec3{1.35, 0.25, -0.35}, j.head + Vec3{1.45, 0.25, -1.7},
               0.14, 5);
    int ear = part(c, s.head, 0.5f, 0.5f);
    B.conePair("head", ear, j.head + Vec3{0.0, 0.4, 0.45}, j.head + Vec3{-0.2, 0.55, 1.0}, 0.25, 4);
    return c;
}

Creature makeDragon() {
    Creature c;
    c.name = "dragon";
    QuadSpec s;
    s.body = c.material(C(0x3A7A3A), C(0x1A4020), P::Scales);
    s.belly = c.material(C(0xD0B860), C(0x806A30), P::Scales);
    s.legs = s.body;
    s.head = c.material(C(0x3A7A3A), C(0x8AB050), P::Scales);
    s.eyes = c.material(C(0xFFD020), C(0xFF6010), P::Glow, false);
    s.tail = s.body;
    s.length = 12;
    s.backHeight = 6.5;
    s.girth = 2.0;
    s.legRadius = 0.7;
    s.neckLength = 4.5;
    s.headSize = 1.5;
    s.tailLength = 10;
    QuadJoints j = buildQuadruped(c, s);
    Build B{c};
    int horn = part(c, c.material(C(0xE0D8C0), C(0x706040), P::Bone, false), 0.6f, 1.0f);
    B.conePair("head", horn, j.head + Vec3{-0.2, 0.35, 0.5}, j.head + Vec3{-1.8, 0.6, 1.4}, 0.25,
               5);
    for (int k = 0; k < 5; ++k)
        B.cone(k < 3 ? "body" : "chest", horn, Vec3{-4.0 + k * 2.2, 0, j.body.z + 1.7},
               Vec3{-4.4 + k * 2.2, 0, j.body.z + 2.8}, 0.35, 4);
    // Wings: an arm bone and a tip bone, each with a membrane.
    Vec3 root{j.chest.x - 0.5, 1.3, j.chest.z + 1.4};
    Vec3 elbow = root + Vec3{-1.0, 4.5, 2.0}, tip = elbow + Vec3{-2.5, 5.0, -0.5};
    c.bone("wingL", "chest", root);
    c.bone("wingtipL", "wingL", elbow);
    c.bone("wingR", "chest", mirrorY(root));
    c.bone("wingtipR", "wingR", mirrorY(elbow));
    int arm = part(c, s.legs, 1.0f, 2.0f);
    int membrane = part(c, c.material(C(0x6A3A2A), C(0x301810), P::Leather), 3.0f, 3.0f);
    B.limb("wingL", arm, root, elbow, 0.35, 0.25, 6);
    B.limb("wingtipL", arm, elbow, tip, 0.25, 0.1, 6);
    B.limb("wingR", arm, mirrorY(root), mirrorY(elbow), 0.35, 0.25, 6);
    B.limb("wingtipR", arm, mirrorY(elbow), mirrorY(tip), 0.25, 0.1, 6);
    Vec3 back{root.x - 4.0, root.y + 0.5, root.z - 0.3};
    B.card("wingL", membrane, root, elbow, elbow + Vec3{-3.0, 0.5, -1.5}, back);
    B.card("wingtipL", membrane, elbow, tip, tip + Vec3{-2.0, -1.5, -1.0},
           elbow + Vec3{-3.0, 0.5, -1.5});
    B.card("wingR", membrane, mirrorY(root), mirrorY(back), mirrorY(elbow + Vec3{-3.0, 0.5, -1.5}),
           mirrorY(elbow));
    B.card("wingtipR", membrane, mirrorY(elbow), mirrorY(elbow + Vec3{-3.0, 0.5, -1.5}),
           mirrorY(tip + Vec3{-2.0, -1.5, -1.0}), mirrorY(tip));
    c.variants = {{0, 1, 1}, {0.62, 1, 1}, {0.3, 1, 0.9}, {-0.1, 1.2, 1.2}, {0, 0.2, 0.45}};
    return c;
}

Creature makeCentaur() {
    Creature c;
    c.name = "centaur";
    QuadSpec s;
    s.body = c.material(C(0x7A4A28), C(0x3A2010), P::Fur);
    s.belly = c.material(C(0x2A2018), C(0x100C08), P::Leather);
    s.legs = c.material(C(0x6A4024), C(0xE8E0D0), P::Fur);
    s.head = s.body;
    s.eyes = s.body;
    s.tail = c.material(C(0x2A1A10), C(0x5A3A20), P::Hair);
    s.length = 10;
    s.backHeight = 7;
    s.girth = 1.7;
    s.legRadius = 0.5;
    s.tailLength = 4;
    s.humanTorso = true;
    QuadJoints j = buildQuadruped(c, s);
    // The human half rises from the front of the horse body.
    Vec3 waist{j.chest.x + 2.2, 0, j.chest.z + 1.0};
    c.bone("spine", "chest", waist);
    c.bone("torso", "spine", waist + Vec3{0, 0, 1.8});
    c.bone("neckH", "torso", waist + Vec3{0, 0, 3.9});
    c.bone("headH", "neckH", waist + Vec3{0, 0, 4.5});
    Vec3 shoulder = waist + Vec3{0, 1.8, 3.4};
    for (char sd : {'L', 'R'}) {
        double m = sd == 'L' ? 1 : -1;
        std::string S(1, sd);
        Vec3 sh{shoulder.x, shoulder.y * m, shoulder.z};
        c.bone("upperarm" + S, "torso", sh);
        c.bone("forearm" + S, "upperarm" + S, sh + Vec3{0, 0.2 * m, -2.3});
        c.bone("hand" + S, "forearm" + S, sh + Vec3{0.15, 0.25 * m, -4.4});
    }
    Build B{c};
    int skin = c.material(C(0xD8A888), C(0xA07058), P::Skin);
    int torsoR = part(c, skin, 3.4f, 2.6f);
    int headR = part(c, skin, 3.0f, 2.4f, Face::EyesMouth);
    int armR = part(c, skin, 1.5f, 2.0f);
    int bracer = part(c, c.material(C(0x8A6A30), C(0x4A3010), P::Leather), 1.4f, 1.6f);
    B.limb("spine", torsoR, waist + Vec3{0, 0, -0.6}, waist + Vec3{0, 0, 1.8}, 1.2, 1.15, 10,
           "chest");
    B.ell("torso", torsoR, waist + Vec3{0, 0, 2.7}, {1.05, 1.6, 1.25}, 5, 10);
    B.limb("neckH", armR, waist + Vec3{0, 0, 3.7}, waist + Vec3{0, 0, 4.6}, 0.4, 0.36, 8);
    B.ell("headH", headR, waist + Vec3{0.1, 0, 5.3}, {0.84, 0.72, 0.96}, 6, 10);
    B.limbPair("upperarm", armR, shoulder, shoulder + Vec3{0, 0.2, -2.3}, 0.48, 0.4, 8, "torso");
    B.limbPair("forearm", bracer, shoulder + Vec3{0, 0.2, -2.3}, shoulder + Vec3{0.15, 0.25, -4.4},
               0.4, 0.3, 8, "upperarm");
    B.ellPair("hand", armR, shoulder + Vec3{0.2, 0.25, -4.85}, {0.3, 0.2, 0.45}, 3, 6);
    int hair = part(c, s.tail, 2.0f, 1.6f);
    B.ell("headH", hair, waist + Vec3{-0.1, 0, 5.95}, {0.9, 0.8, 0.6}, 3, 8);
    int bow = part(c, c.material(C(0x6A4A24), C(0x2A1808), P::Wood, false), 0.5f, 3.0f);
    Vec3 g = mirrorY(shoulder) + Vec3{0.2, -0.25, -4.85};
    B.limb("handR", bow, g + Vec3{0.3, 0, -2.5}, g + Vec3{0.3, 0, 3.0}, 0.12, 0.12, 4);
    c.variants = {{0, 1, 1}, {0, 0.4, 0.55}, {0.08, 0.6, 1.5}};
    return c;
}

// --- birds, serpents, floaters, the hand -------------------------------------

Creature makeBird(const std::string& name) {
    Creature c;
    c.name = name;
    c.plan = BodyPlan::Bird;
    bool penguin = name == "penguin";
    c.upright = penguin;
    int body = penguin ? c.material(C(0x1A1A22), C(0x3A3A48), P::Feather)
                       : c.material(C(0xF0E8D8), C(0xC8B898), P::Feather);
    int belly = penguin ? c.material(C(0xF0F0F0), C(0xC8C8D0), P::Feather) : body;
    int legs = c.material(C(0xF0A020), C(0xA06010), P::Scales);
    int beak = c.material(C(0xF0B020), C(0xA06810), P::Bone);
    int eye = c.material(C(0x101010), C(0x606060), P::Glow);
    double H = penguin ? 4.5 : 3.0;
    Vec3 bodyC{0, 0, H};
    c.bone("body", "", bodyC);
    Vec3 neck = penguin ? bodyC + Vec3{0.3, 0, 2.4} : bodyC + Vec3{1.3, 0, 0.8};
    Vec3 head = penguin ? neck + Vec3{0.1, 0, 0.8} : neck + Vec3{0.4, 0, 1.3};
    c.bone("neck", "body", neck);
    c.bone("head", "neck", head);
    c.bone("tail1", "body", bodyC + Vec3{penguin ? -0.9 : -1.6, 0, penguin ? -2.0 : 0.5});
    for (char sd : {'L', 'R'}) {
        double m = sd == 'L' ? 1 : -1;
        std::string S(1, sd);
        c.bone("wing" + S, "body",
               bodyC + Vec3{penguin ? 0.2 : 0.3, (penguin ? 1.3 : 1.0) * m, penguin ? 1.4 : 0.4});
        c.bone("thigh" + S, "body", bodyC + Vec3{0, 0.5 * m, penguin ? -1.8 : -0.6});
        c.bone("shin" + S, "thigh" + S, Vec3{penguin ? 0.1 : 0.3, 0.5 * m, penguin ? 0.5 : 1.2});
    }
    Build B{c};
    int bodyR = part(c, body, 4.0f, 3.0f, Face::None, penguin ? 0.5f : 0.0f);
    int bellyR = part(c, belly, 2.0f, 2.0f);
    int legR = part(c, legs, 0.8f, 1.5f);
    int beakR = part(c, beak, 0.6f, 0.6f);
    int eyeR = part(c, eye, 0.4f, 0.4f);
    int headR = part(c, body, 2.0f, 1.6f);
    if (penguin) {
        B.ell("body", bodyR, bodyC + Vec3{0, 0, -0.3}, {1.45, 1.3, 2.6}, 8, 12);
        B.ell("body", bellyR, bodyC + Vec3{0.55, 0, -0.5}, {1.05, 1.05, 2.1}, 6, 10);
        B.ell("head", headR, head + Vec3{0, 0, 0.2}, {0.85, 0.8, 0.85}, 6, 10);
        B.cone("head", beakR, head + Vec3{0.6, 0, 0.1}, head + Vec3{1.5, 0, -0.1}, 0.25, 6);
        B.ellPair("head", eyeR, head + Vec3{0.55, 0.4, 0.35}, {0.12, 0.1, 0.12}, 3, 6);
        int flipper = part(c, body, 1.2f, 1.8f);
        B.ellPair("wing", flipper, bodyC + Vec3{0.1, 1.45, 0.2}, {0.35, 0.15, 1.5}, 4, 8);
        B.ellPair("shin", legR, Vec3{0.5, 0.5, 0.12}, {0.7, 0.4, 0.12}, 3, 8);
        B.limbPair("thigh", legR, bodyC + Vec3{0, 0.5, -1.8}, Vec3{0.1, 0.5, 0.5}, 0.3, 0.25, 6);
    } else {
        B.along("body", bodyR, bodyC + Vec3{-1.6, 0, 0.15}, bodyC + Vec3{1.5, 0, 0.1}, 1.1, 1.0, 6,
                10);
        B.limb("neck", headR, neck + Vec3{-0.2, 0, -0.3}, head, 0.55, 0.45, 8, "body");
        B.ell("head", headR, head + Vec3{0.1, 0, 0.2}, {0.55, 0.42, 0.55}, 5, 10);
        B.cone("head", beakR, head + Vec3{0.5, 0, 0.1}, head + Vec3{1.1, 0, 0.0}, 0.18, 5);
        B.ellPair("head", eyeR, head + Vec3{0.3, 0.33, 0.35}, {0.1, 0.08, 0.1}, 3, 6);
        int comb = part(c, c.material(C(0xE02020), C(0x901010), P::Skin), 0.6f, 0.6f);
        for (int k = 0; k < 3; ++k)
            B.ell("head", comb, head + Vec3{0.2 - 0.25 * k, 0, 0.75 + 0.1 * (k == 1)},
                  {0.15, 0.07, 0.25}, 3, 6);
        B.ell("head", comb, head + Vec3{0.55, 0, -0.3}, {0.1, 0.06, 0.22}, 3, 6);
        int wing = part(c, body, 2.0f, 1.4f);
        B.along("wingL", wing, bodyC + Vec3{0.6, 1.0, 0.4}, bodyC + Vec3{-1.4, 1.0, 0.2}, 0.2, 0.65,
                4, 8);
        B.along("wingR", wing, bodyC + Vec3{0.6, -1.0, 0.4}, bodyC + Vec3{-1.4, -1.0, 0.2}, 0.2,
                0.65, 4, 8);
        int tail = part(c, body, 1.2f, 1.2f);
        B.cone("tail1", tail, bodyC + Vec3{-1.4, 0, 0.4}, bodyC + Vec3{-2.4, 0, 1.8}, 0.6, 6);
        B.limbPair("thigh", legR, bodyC + Vec3{0, 0.5, -0.6}, Vec3{0.3, 0.5, 1.2}, 0.18, 0.12, 5);
        B.limbPair("shin", legR, Vec3{0.3, 0.5, 1.2}, Vec3{0.2, 0.5, 0.1}, 0.12, 0.1, 5);
        for (double a : {-0.5, 0.0, 0.5}) {
            B.conePair("shin", legR, Vec3{0.2, 0.5, 0.1},
                       Vec3{0.2 + 0.8 * std::cos(a), 0.5 + 0.8 * std::sin(a), 0.02}, 0.07, 4);
        }
    }
    return c;
}

Creature makeOphid() {
    Creature c;
    c.name = "ophid";
    c.plan = BodyPlan::Serpent;
    int scales = c.material(C(0x4A7A3A), C(0x2A3A1A), P::Scales);
    int belly = c.material(C(0xD8C880), C(0x8A7A40), P::Scales);
    int eye = c.material(C(0xFFE020), C(0xFF4000), P::Glow, false);
    // The coils lie on the ground behind the body; the front rises upright.
    std::vector<Vec3> spine{{-9, 0, 0.9},  {-6.5, 1.5, 0.9}, {-3.8, 0.8, 1.0}, {-1.2, 0, 1.1},
                            {0.6, 0, 3.2}, {1.0, 0, 6.0},    {1.1, 0, 8.6}};
    // Each segment turns about the end nearer the body.
    c.bone("body", "", spine[3]);
    c.bone("seg3", "body", spine[3]);
    c.bone("seg2", "seg3", spine[2]);
    c.bone("seg1", "seg2", spine[1]);
    c.bone("seg4", "body", spine[3]);
    c.bone("seg5", "seg4", spine[4]);
    c.bone("seg6", "seg5", spine[5]);
    c.bone("head", "seg6", spine[6]);
    c.bone("jaw", "head", spine[6] + Vec3{0.4, 0, 0.2});
    Build B{c};
    int bodyR = part(c, scales, 2.4f, 2.6f, Face::None, 0.0f);
    int bellyR = part(c, belly, 2.0f, 2.0f);
    struct Segment {
        const char* bone;
        int from, to;
        double r0, r1;
    };
    for (const Segment& s : {Segment{"seg1", 1, 0, 0.7, 0.3}, Segment{"seg2", 2, 1, 0.95, 0.7},
                             Segment{"seg3", 3, 2, 1.15, 0.95}, Segment{"seg4", 3, 4, 1.15, 1.15},
                             Segment{"seg5", 4, 5, 1.15, 1.05}, Segment{"seg6", 5, 6, 1.05, 0.9}})
        B.limb(s.bone, s.from == 4 ? bellyR : bodyR, spine[s.from], spine[s.to], s.r0, s.r1, 8);
    int headR = part(c, scales, 2.4f, 1.8f, Face::None, 0.0f);
    B.along("head", headR, spine[6] + Vec3{-0.6, 0, 0.3}, spine[6] + Vec3{2.0, 0, 0.5}, 0.9, 0.65,
            6, 10);
    B.along("jaw", headR, spine[6] + Vec3{-0.2, 0, -0.1}, spine[6] + Vec3{1.8, 0, -0.1}, 0.7, 0.3,
            4, 8);
    B.ellPair("head", part(c, eye, 0.4f, 0.4f), spine[6] + Vec3{1.0, 0.55, 0.75},
              {0.18, 0.12, 0.14}, 3, 6);
    int hood = part(c, c.material(C(0x6A8A3A), C(0xC04020), P::Scales), 2.0f, 2.0f);
    B.card("seg6", hood, spine[5] + Vec3{-0.6, 0, -1.5}, spine[5] + Vec3{-0.6, -2.4, 0.5},
           spine[6] + Vec3{-0.7, 0, 0.8}, spine[5] + Vec3{-0.6, 2.4, 0.5});
    // Two arms with a glaive.
    Vec3 shoulder = spine[5] + Vec3{0.1, 1.0, 0.3};
    for (char sd : {'L', 'R'}) {
        double m = sd == 'L' ? 1 : -1;
        std::string S(1, sd);
        Vec3 sh{shoulder.x, shoulder.y * m, shoulder.z};
        c.bone("upperarm" + S, "seg6", sh);
        c.bone("forearm" + S, "upperarm" + S, sh + Vec3{0.2, 0.4 * m, -2.0});
        c.bone("hand" + S, "forearm" + S, sh + Vec3{1.4, 0.4 * m, -3.2});
    }
    int armR = part(c, scales, 1.4f, 1.8f);
    B.limbPair("upperarm", armR, shoulder, shoulder + Vec3{0.2, 0.4, -2.0}, 0.4, 0.32, 6, "seg6");
    B.limbPair("forearm", armR, shoulder + Vec3{0.2, 0.4, -2.0}, shoulder + Vec3{1.4, 0.4, -3.2},
               0.32, 0.25, 6, "upperarm");
    int glaive = part(c, c.material(C(0xA0A8B0), C(0xE0E8F0), P::Metal, false), 0.6f, 2.5f);
    Vec3 g = mirrorY(shoulder + Vec3{1.6, 0.4, -3.3});
    B.limb("handR", glaive, g + Vec3{-0.5, 0, -2.5}, g + Vec3{0.5, 0, 4.0}, 0.1, 0.1, 5);
    B.cone("handR", glaive, g + Vec3{0.5, 0, 4.0}, g + Vec3{0.7, 0, 5.6}, 0.3, 4);
    return c;
}

Creature makeLostSoul() {
    Creature c;
    c.name = "lostsoul";
    c.plan = BodyPlan::Floater;
    int bone = c.material(C(0xE8E0CC), C(0xA09880), P::Bone);
    int flame = c.material(C(0xE03010), C(0xFFE040), P::Flame);
    c.bone("body", "", {0, 0, 3});
    c.bone("jaw", "body", {0.4, 0, 2.2});
    Build B{c};
    int skull = part(c, bone, 3.4f, 2.6f, Face::Skull);
    B.ell("body", skull, {0, 0, 3.2}, {1.35, 1.15, 1.25}, 8, 12);
    int jaw = part(c, bone, 1.6f, 1.0f);
    B.along("jaw", jaw, {-0.2, 0, 2.2}, {1.35, 0, 2.05}, 0.85, 0.35, 4, 8);
    int fire = part(c, flame, 1.2f, 2.0f);
    for (int k = 0; k < 7; ++k) {
        double a = -1.6 + k * 0.53;
        Vec3 base{-0.6 - 0.3 * std::cos(a), 1.0 * std::sin(a), 3.6 + 0.3 * std::cos(a)};
        B.cone("body", fire, base,
               base + Vec3{-1.8 - 0.4 * std::cos(a), 0.8 * std::sin(a), 1.6 + 0.6 * std::cos(a)},
               0.45, 5);
    }
    return c;
}

Creature makePainElemental() {
    Creature c;
    c.name = "painelemental";
    c.plan = BodyPlan::Floater;
    int hide = c.material(C(0x8A5A3A), C(0x5A3020), P::Leather);
    int horn = c.material(C(0xE0D0B0), C(0x706040), P::Bone, false);
    c.bone("body", "", {0, 0, 4});
    c.bone("jaw", "body", {1.6, 0, 2.8});
    c.bone("armL", "body", {0, 3.6, 3.6});
    c.bone("armR", "body", {0, -3.6, 3.6});
    Build B{c};
    int bodyR = part(c, hide, 4.5f, 3.2f, Face::OneEye);
    B.ell("body", bodyR, {0, 0, 4}, {3.6, 3.4, 3.4}, 9, 14);
    int mouth = part(c, c.material(C(0x601010), C(0xF0E8D0), P::Skin), 1.6f, 1.0f);
    B.along("jaw", mouth, {1.4, 0, 2.6}, {3.7, 0, 2.3}, 1.3, 0.5, 4, 8);
    int hornR = part(c, horn, 0.8f, 1.0f);
    B.conePair("body", hornR, {0.6, 1.8, 6.8}, {-0.4, 2.6, 8.6}, 0.5, 6);
    int arm = part(c, hide, 1.2f, 1.4f);
    B.limb("armL", arm, {0, 3.2, 3.6}, {0.8, 4.8, 2.6}, 0.45, 0.3, 6);
    B.limb("armR", arm, {0, -3.2, 3.6}, {0.8, -4.8, 2.6}, 0.45, 0.3, 6);
    B.conePair("arm", hornR, {0.8, 4.8, 2.6}, {1.5, 5.2, 2.0}, 0.2, 4);
    return c;
}

Creature makeHand() {
    Creature c;
    c.name = "hand";
    c.plan = BodyPlan::Hand;
    int skin = c.material(C(0xD8B090), C(0xA07860), P::Skin);
    int nail = c.material(C(0xE8D8C8), C(0x908070), P::Bone, false);
    int cuff = c.material(C(0x6A2A2A), C(0x301010), P::Cloth);
    Vec3 palm{0, 0, 5};
    c.bone("palm", "", palm);
    Build B{c};
    int palmR = part(c, skin, 4.0f, 3.0f, Face::None, 0.0f);
    int fingerR = part(c, skin, 1.4f, 2.0f);
    int nailR = part(c, nail, 0.4f, 0.4f);
    int cuffR = part(c, cuff, 3.0f, 1.4f);
    B.along("palm", palmR, palm + Vec3{-2.8, 0, 0.4}, palm + Vec3{2.6, 0, 0}, 2.3, 0.9, 6, 12);
    B.limb("palm", cuffR, palm + Vec3{-2.4, 0, 0.5}, palm + Vec3{-4.6, 0, 1.6}, 1.6, 1.7, 10);
    // Four fingers reach forward and down to the ground; the thumb to the side.
    for (int f = 1; f <= 5; ++f) {
        bool thumb = f == 5;
        double y = thumb ? 2.3 : 1.5 - (f - 1) * 1.0;
        Vec3 knuckle = thumb ? palm + Vec3{0.6, 2.0, -0.2} : palm + Vec3{2.4, y, -0.1};
        Vec3 mid = thumb ? knuckle + Vec3{1.2, 1.6, -2.0} : knuckle + Vec3{2.0, y * 0.15, 0.2};
        Vec3 tip = thumb ? mid + Vec3{1.3, 0.6, -2.6} : mid + Vec3{1.6, y * 0.1, -5.0};
        std::string a = "finger" + std::to_string(f) + "a", b = "finger" + std::to_string(f) + "b";
        c.bone(a, "palm", knuckle);
        c.bone(b, a, mid);
        double r = thumb ? 0.62 : (f == 4 ? 0.45 : 0.55);
        B.limb(a.c_str(), fingerR, knuckle, mid, r, r * 0.9, 7, "palm");
        B.limb(b.c_str(), fingerR, mid, tip, r * 0.9, r * 0.7, 7, a.c_str());
        B.ell(b.c_str(), nailR, tip + Vec3{0.05, 0, 0.25}, {0.3, r * 0.6, 0.2}, 3, 6);
    }
    return c;
}

struct Config {
    Creature (*make)();
    double height; // world units, rest pose
    double hover;  // world units above the ground; 0 stands on it
    std::vector<AnimationSpec> animations;
};

Creature makeChicken() {
    return makeBird("chicken");
}
Creature makePenguin() {
    return makeBird("penguin");
}

const std::map<std::string, Config>& configs() {
    static const std::map<std::string, Config> table{
        {"beast", {makeBeast, 10, 0, anims({"stand", "walk", "run", "attack", "pain", "death"})}},
        {"chicken", {makeChicken, 4, 0, anims({"walk", "roost", "attack", "pain"})}},
        {"demon", {makeDemon, 17, 0, anims({"stand", "walk", "death", "attack", "pain"})}},
        {"disciple", {makeDisciple, 13, 0, anims({"walk", "stand", "attack", "pain", "death"})}},
        {"dsparil", {makeDsparil, 17, 0, anims({"stand", "walk", "attack", "pain", "death"})}},
        {"ettin", {makeEttin, 19, 0, anims({"walk", "attack", "pain", "stand", "death"})}},
        {"golem", {makeGolem, 17, 0, anims({"stand", "walk", "attack", "death", "pain"})}},
        {"hobgoblin",
         {makeHobgoblin, 12.5, 0, anims({"stand", "walk", "run", "attack", "pain", "death"})}},
        {"lostsoul", {makeLostSoul, 5, 8, anims({"idle", "attack", "pain", "walk", "death"})}},
        {"mauler", {makeMauler, 15, 0, anims({"stand", "walk", "attack", "pain", "death"})}},
        {"ophid", {makeOphid, 13, 0, anims({"stand", "walk", "death", "attack", "pain"})}},
        {"painelemental", {makePainElemental, 10, 6, anims({"walk", "throb", "attack"})}},
        {"penguin", {makePenguin, 7, 0, anims({"stand", "walk", "attack", "pain", "death"})}},
        {"sabre", {makeSabre, 9, 0, anims({"stand", "walk", "run", "attack", "pain", "death"})}},
        {"sephiroth",
         {makeSephiroth, 15.5, 0,
          anims({"stand", "walk", "run", "attack", "pain", "pain2", "death", "death2", "jump",
                 "taunt", "attack2", "wave", "idle"})}},
        {"wight", {makeWight, 14, 0, anims({"stand", "walk", "attack", "pain", "death"})}},
        {"darth",
         {makeDarth, 15, 0, anims({"stand", "walk", "run", "attack", "attack2", "pain", "death"})}},
        {"fulimo",
         {makeFulimo, 13, 0, anims({"walk", "attack", "pain", "death", "jump", "stand"})}},
        {"hand", {makeHand, 9, 0, anims({"stand", "walk", "attack", "pain", "death"})}},
        {"sara",
         {makeSara, 13.5, 0,
          anims({"stand", "walk", "run", "pain", "pain2", "jump", "taunt", "attack", "death"})}},
        {"yohko",
         {makeYohko, 13, 0, anims({"stand", "walk", "run", "attack", "pain", "death", "wave"})}},
        {"centaur",
         {makeCentaur, 16, 0,
          anims({"stand", "walk", "run", "pain", "death", "rear", "taunt", "attack"})}},
        {"chaos", {makeChaos, 18, 0, anims({"stand", "walk", "pain", "death", "run", "attack"})}},
        {"cyberdemon",
         {makeCyberdemon, 30, 0, anims({"stand", "walk", "attack", "pain", "death"})}},
        {"hueteotl",
         {makeHueteotl, 14, 0,
          anims({"stand", "walk", "run", "attack", "pain", "death", "taunt"})}},
        {"ichabod",
         {makeIchabod, 15.5, 0,
          anims({"stand", "walk", "run", "pain", "pain2", "death", "death2", "jump", "taunt",
                 "wave", "attack"})}},
        {"caleb",
         {makeCaleb, 14.5, 0,
          anims({"stand", "walk", "run", "pain", "pain2", "death", "death2", "jump", "taunt",
                 "wave", "point", "attack"})}},
        {"cloud",
         {makeCloud, 14, 0,
          anims({"stand", "walk", "run", "attack", "pain", "pain2", "jump", "flip", "salute",
                 "taunt", "idle", "attack2", "crstand", "crwalk", "death"})}},
        {"devil",
         {makeDevil, 15, 0,
          anims({"stand", "walk", "run", "pain", "death", "jump", "taunt", "wave", "point",
                 "attack"})}},
        {"dragon",
         {makeDragon, 30, 0,
          anims({"stand", "walk", "run", "pain", "death", "flap", "roar", "jump", "attack"})}},
        {"goblin", {makeGoblin, 12, 0, anims({"stand", "walk", "run", "attack", "pain", "death"})}},
        {"han",
         {makeHan, 14.5, 0, anims({"stand", "walk", "run", "attack", "pain", "death", "salute"})}},
        {"tengu",
         {makeTengu, 14, 0,
          anims({"stand", "walk", "run", "pain", "pain2", "death", "death2", "jump", "taunt",
                 "wave", "attack"})}},
    };
    return table;
}

} // namespace

// A file name's stem under "actors/": "actors/dragon3.bmp" gives dragon and 3.
bool actorStem(const std::string& path, std::string& stem, int& number) {
    std::size_t at = path.find("actors/");
    std::size_t dot = path.rfind('.');
    if (at == std::string::npos || dot == std::string::npos || dot < at) return false;
    stem = path.substr(at + 7, dot - at - 7);
    number = 0;
    std::size_t digits = stem.find_last_not_of("0123456789") + 1;
    if (digits < stem.size()) {
        number = std::stoi(stem.substr(digits));
        stem.resize(digits);
    }
    return true;
}

const std::vector<ActorModel>& actorModels() {
    // Read from the engine's own tables: every actor model file, and the
    // skins named after it (numbered ones are variants 1, 2, ...).
    static const std::vector<ActorModel> models = [] {
        std::vector<ActorModel> out;
        for (int i = 0; i < MODEL_TABLE_SIZE; ++i) {
            const char* file = modelFileName(i);
            std::string stem;
            int number;
            if (!file || !actorStem(file, stem, number)) continue;
            ActorModel m;
            m.modelIndex = i;
            m.name = stem;
            m.isWeapon = stem.size() > 7 && stem.compare(stem.size() - 7, 7, "_weapon") == 0;
            m.builder = m.isWeapon ? stem.substr(0, stem.size() - 7) : stem;
            std::vector<std::pair<int, int>> skins; // variant number, skin index
            for (int k = 0; k < SKIN_TEXTURE_COUNT; ++k) {
                std::string skinStem;
                int variant;
                if (actorStem(skinFileName(k), skinStem, variant) && skinStem == stem)
                    skins.push_back({variant, k});
            }
            std::sort(skins.begin(), skins.end());
            for (auto [variant, k] : skins) {
                m.skins.push_back(k);
                std::string path = skinFileName(k);
                m.skinFiles.push_back(path.substr(path.find("actors/") + 7));
            }
            out.push_back(m);
        }
        return out;
    }();
    return models;
}

Creature buildCreature(const std::string& name, std::uint32_t seed) {
    auto it = configs().find(name);
    if (it == configs().end()) throw std::logic_error("no creature " + name);
    const Config& cfg = it->second;
    Creature c = cfg.make();
    c.name = name;
    c.seed = seed;
    c.animations = cfg.animations;
    c.hover = cfg.hover;
    // The slot that shows the model first decides its size and feet.
    for (const SlotView& view : engineSlots()) {
        bool shows = false;
        for (const ActorModel& m : actorModels())
            shows |= m.modelIndex == view.model && m.builder == name && !m.isWeapon;
        if (shows) {
            c.slotScale = view.entry->scale;
            c.slotZOffset = view.entry->zOffset;
            break;
        }
    }
    if (c.variants.size() == 1) {
        // Numbered skins: evenly spread hue turns with alternating brightness.
        c.variants.clear();
        for (int k = 0; k < 5; ++k)
            c.variants.push_back({k * 0.23f, 1.0f, k % 2 ? 0.8f : 1.0f});
    }
    normalise(c, cfg.height);
    c.layOutSkin();
    return c;
}

} // namespace content
