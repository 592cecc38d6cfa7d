// Decor models: static single-frame meshes drawn at scale 0.125 with their
// base at z 0 (file units are world units times 8).
#include "tools/content/bodies.h"
#include "tools/content/models.h"
#include "tools/content/noise.h"

#include <cmath>
#include <stdexcept>

namespace content {
namespace {

constexpr double DECOR_SCALE = 8.0; // file units per world unit
constexpr double PI = 3.14159265358979;
Rgb C(std::uint32_t hex) {
    return hexColour(hex);
}

// Pushes vertices added since first outward from centre by smooth noise, for rocks.
void roughen(Creature& c, std::size_t first, Vec3 centre, double amount, std::uint32_t seed) {
    for (std::size_t i = first; i < c.body.vertices.size(); ++i) {
        Vec3& p = c.body.vertices[i].position;
        Vec3 d = p - centre;
        double n = fbm(seed, float(p.x * 0.9 + p.z * 0.4), float(p.y * 0.9 - p.z * 0.3), 3) - 0.5;
        p = p + d * (n * amount);
        if (p.z < 0) p.z = 0;
    }
}

Creature bigTree(std::uint32_t seed) {
    Creature c;
    c.bone("root", "", {0, 0, 0});
    Build B{c};
    int bark = c.material(C(0x5A4030), C(0x2A1C12), Pattern::Bark);
    int leaves = c.material(C(0x3A7A28), C(0x8AB040), Pattern::Leaves);
    int trunkR = part(c, bark, 2.0f, 4.0f);
    int leafR = part(c, leaves, 6.0f, 6.0f);
    B.limb("root", trunkR, {0, 0, -0.5}, {0, 0, 22}, 1.6, 0.8, 10);
    Rng rng(seed);
    for (int k = 0; k < 6; ++k) {
        double a = k * 1.05 + rng.range(-0.3, 0.3), z = 10 + k * 2.2;
        Vec3 from{0, 0, z}, to{std::cos(a) * 7, std::sin(a) * 7, z + 5};
        B.limb("root", trunkR, from, to, 0.55, 0.2, 6);
    }
    // Crossed foliage cards, visible from both sides; black in the skin is cut away.
    for (int k = 0; k < 7; ++k) {
        double a = k * 0.9, r = k == 0 ? 0 : 5.5, z = k == 0 ? 27 : 20 + (k % 3) * 3;
        Vec3 centre{std::cos(a) * r, std::sin(a) * r, z};
        for (int q = 0; q < 2; ++q) {
            double b = a + q * PI / 2;
            Vec3 d{std::cos(b) * 7.5, std::sin(b) * 7.5, 0};
            B.card("root", leafR, centre - d + Vec3{0, 0, -7}, centre + d + Vec3{0, 0, -7},
                   centre + d + Vec3{0, 0, 7}, centre - d + Vec3{0, 0, 7});
        }
        Vec3 e{0, 0, 0};
        B.card("root", leafR, centre + Vec3{-7, -7, 0.5}, centre + Vec3{7, -7, 0.5},
               centre + Vec3{7, 7, 0.5}, centre + Vec3{-7, 7, 0.5} + e);
    }
    return c;
}

Creature conifer() {
    Creature c;
    c.bone("root", "", {0, 0, 0});
    Build B{c};
    int bark = c.material(C(0x4A3424), C(0x20140C), Pattern::Bark);
    int needles = c.material(C(0x1E4A22), C(0x3A7030), Pattern::Fur);
    int trunkR = part(c, bark, 1.5f, 3.0f);
    int crownR = part(c, needles, 5.0f, 3.0f);
    B.limb("root", trunkR, {0, 0, -0.5}, {0, 0, 30}, 1.1, 0.3, 8);
    for (int k = 0; k < 4; ++k) {
        double z = 6 + k * 6.0, r = 7.5 - k * 1.6;
        c.use(crownR);
        addLathe(c.body, 0, {0, 0, z}, {0, 0, z + 10}, r, r,
                 {{0, 0}, {0.05, 1.0}, {0.3, 0.75}, {1.0, 0}}, 10, {0, 0, 1, 1});
    }
    return c;
}

Creature rocks(int kind, std::uint32_t seed) {
    Creature c;
    c.bone("root", "", {0, 0, 0});
    Build B{c};
    int stone = c.material(C(0x8A8680), C(0x5A5650), Pattern::Stone);
    int r = part(c, stone, 4.0f, 3.0f);
    Rng rng(seed);
    int count = kind == 1 ? 3 : (kind == 2 ? 1 : 5);
    for (int k = 0; k < count; ++k) {
        double size = kind == 2 ? 3.2 : (kind == 1 ? 2.0 - k * 0.4 : 1.0 + rng.range(0, 0.5));
        double a = rng.range(0, 2 * PI), d = k == 0 ? 0 : rng.range(1.5, 3.0);
        Vec3 centre{std::cos(a) * d, std::sin(a) * d, size * 0.45};
        std::size_t first = c.body.vertices.size();
        B.ell("root", r, centre, {size * 1.2, size, size * (kind == 3 ? 0.45 : 0.8)}, 5, 9);
        roughen(c, first, centre, 0.6, seed + k);
    }
    return c;
}

Creature dripstone(bool cluster) {
    Creature c;
    c.bone("root", "", {0, 0, 0});
    Build B{c};
    int stone = c.material(C(0x9A9080), C(0x6A6050), Pattern::Stone);
    int r = part(c, stone, 3.0f, 4.0f);
    if (cluster) {
        B.cone("root", r, {0, 0, 0}, {0.2, 0, 11}, 1.5, 8);
        B.cone("root", r, {1.4, 0.8, 0}, {1.8, 1.2, 6.5}, 0.9, 7);
        B.cone("root", r, {-1.2, 1.0, 0}, {-1.5, 1.3, 4.5}, 0.8, 7);
        B.cone("root", r, {0.3, -1.4, 0}, {0.4, -1.9, 8}, 1.0, 7);
    } else {
        c.use(r);
        addLathe(c.body, 0, {0, 0, 0}, {0, 0, 7.5}, 2.2, 2.2,
                 {{0, 0},
                  {0.01, 1.0},
                  {0.2, 0.8},
                  {0.25, 0.85},
                  {0.45, 0.55},
                  {0.5, 0.6},
                  {0.75, 0.3},
                  {1.0, 0}},
                 10, {0, 0, 1, 1});
    }
    return c;
}

Creature tomb(int variant) {
    Creature c;
    c.bone("root", "", {0, 0, 0});
    Build B{c};
    int stone = c.material(variant % 2 ? C(0x8C8C88) : C(0x7A7870), C(0x4A4844), Pattern::Stone);
    int moss = c.material(C(0x5A6A48), C(0x3A4A30), Pattern::Stone);
    int r = part(c, stone, 3.0f, 3.0f), m = part(c, moss, 2.0f, 1.0f);
    switch (variant) {
    case 0: // headstone with a rounded top
        B.box("root", r, {0, 0, 2.5}, {0.4, 1.6, 2.5});
        c.use(r);
        addLathe(c.body, 0, {0, -1.6, 5.0}, {0, 1.6, 5.0}, 1.6, 0.4,
                 {{0, 0}, {0.01, 1}, {0.99, 1}, {1, 0}}, 8, {0, 0, 1, 1}, -1, {0, 0, 1});
        B.box("root", m, {0, 0, 0.2}, {1.0, 2.0, 0.2});
        break;
    case 1: // cross
        B.box("root", r, {0, 0, 3.5}, {0.4, 0.4, 3.5});
        B.box("root", r, {0, 0, 5.2}, {0.4, 1.8, 0.4});
        B.box("root", m, {0, 0, 0.3}, {1.0, 1.0, 0.3});
        break;
    case 2: // obelisk
        B.box("root", m, {0, 0, 0.4}, {1.4, 1.4, 0.4});
        c.use(r);
        addLathe(c.body, 0, {0, 0, 0.8}, {0, 0, 10}, 1.0, 1.0,
                 {{0, 0}, {0.01, 1}, {0.9, 0.6}, {1, 0}}, 4, {0, 0, 1, 1}, -1, {1, 1, 0});
        break;
    case 3: // sarcophagus
        B.box("root", r, {0, 0, 1.2}, {3.5, 1.6, 1.2});
        B.box("root", m, {0, 0, 2.6}, {3.7, 1.8, 0.25});
        B.ell("root", r, {0, 0, 2.9}, {3.0, 1.2, 0.4}, 3, 8);
        break;
    case 4: // broken column
        B.box("root", m, {0, 0, 0.3}, {1.5, 1.5, 0.3});
        B.limb("root", r, {0, 0, 0.4}, {0.2, 0, 4.5}, 1.0, 0.95, 10);
        B.box("root", r, {2.2, 0.5, 0.5}, {1.2, 0.9, 0.5});
        break;
    default: // grave mound with a small stone
        B.ell("root", m, {0, 0, 0}, {3.5, 1.8, 1.0}, 4, 10);
        B.box("root", r, {-3.0, 0, 1.6}, {0.3, 1.2, 1.6});
        break;
    }
    return c;
}

Creature torch() {
    Creature c;
    c.bone("root", "", {0, 0, 0});
    Build B{c};
    int wood = c.material(C(0x6A4A2A), C(0x2A1A0A), Pattern::Wood);
    int iron = c.material(C(0x4A4A50), C(0x1A1A1E), Pattern::Metal);
    int fire = c.material(C(0xE04010), C(0xFFE060), Pattern::Flame);
    B.limb("root", part(c, wood, 1.0f, 3.0f), {0, 0, -0.3}, {0, 0, 7}, 0.3, 0.25, 6);
    int ironR = part(c, iron, 1.2f, 1.0f);
    c.use(ironR);
    addLathe(c.body, 0, {0, 0, 6.5}, {0, 0, 8}, 0.7, 0.7, {{0, 0}, {0.01, 0.5}, {1.0, 1.0}}, 8,
             {0, 0, 1, 1});
    int fireR = part(c, fire, 1.2f, 2.0f);
    B.cone("root", fireR, {0, 0, 7.6}, {0, 0, 10}, 0.6, 6);
    B.cone("root", fireR, {0.2, 0.1, 7.6}, {0.4, 0.3, 9.2}, 0.4, 5);
    return c;
}

Creature pillar() {
    Creature c;
    c.bone("root", "", {0, 0, 0});
    Build B{c};
    int stone = c.material(C(0xB0A890), C(0x706850), Pattern::Stone);
    int shaft = part(c, stone, 4.0f, 6.0f), base = part(c, stone, 3.0f, 1.0f);
    B.box("root", base, {0, 0, 0.6}, {2.2, 2.2, 0.6});
    B.box("root", base, {0, 0, 19.4}, {2.2, 2.2, 0.6});
    c.use(shaft);
    addLathe(c.body, 0, {0, 0, 1.2}, {0, 0, 18.8}, 1.5, 1.5,
             {{0, 1.1}, {0.05, 1.0}, {0.95, 0.9}, {1.0, 1.0}}, 12, {0, 0, 1, 1});
    return c;
}

Creature buildDecor(int index, std::uint32_t seed) {
    switch (index) {
    case 0:
        return bigTree(seed);
    case 1:
    case 2:
    case 3:
        return rocks(index, seed);
    case 4:
        return dripstone(true);
    case 5:
        return dripstone(false);
    case 12:
        return conifer();
    case 13:
        return torch();
    case 14:
        return pillar();
    default:
        if (index >= 6 && index <= 11) return tomb(index - 6);
    }
    throw std::out_of_range("no decor model " + std::to_string(index));
}

// World height of each decor model.
double decorHeight(int index) {
    static const double heights[DECOR_MODELS] = {36, 4,   6, 2.5, 11, 7.5, 6.5, 6,
                                                 10, 3.2, 5, 3.2, 32, 10,  20};
    return heights[index];
}

Creature finished(int index, std::uint32_t seed) {
    Creature c = buildDecor(index, seed);
    c.name = decorName(index);
    c.seed = seed + std::uint32_t(index) * 131u;
    double lo = 1e30, hi = -1e30;
    for (const MeshVertex& v : c.body.vertices)
        lo = std::min(lo, v.position.z), hi = std::max(hi, v.position.z);
    double k = decorHeight(index) * DECOR_SCALE / (hi - std::max(lo, 0.0));
    for (MeshVertex& v : c.body.vertices)
        v.position = {v.position.x * k, v.position.y * k, std::max(0.0, v.position.z) * k};
    c.variants = {{0, 1, 1}, {0.05, 0.5, 0.8}};
    c.layOutSkin();
    return c;
}

} // namespace

const char* decorName(int index) {
    static const char* names[DECOR_MODELS] = {
        "bigtree", "rocks1", "rocks2", "rocks3", "stalag", "stalagmite", "tomb1",       "tomb2",
        "tomb3",   "tomb4",  "tomb5",  "tomb6",  "tree",   "torch",      "pillar_stone"};
    return index >= 0 && index < DECOR_MODELS ? names[index] : "";
}

std::string decorSkinFile(int skinIndex) {
    if (skinIndex == 14) return "pillar_stone1.bmp";
    if (skinIndex == 15) return "pillar_stone2.bmp";
    return std::string(decorName(skinIndex)) + ".bmp";
}

Md2Data decorMd2(int index, std::uint32_t seed) {
    Creature c = finished(index, seed);
    Md2Data out;
    out.skinName = decorSkinFile(index);
    for (const auto& tc : c.body.texCoords)
        out.texCoords.push_back(
            {std::int16_t(std::lround(tc[0])), std::int16_t(std::lround(tc[1]))});
    for (const MeshTriangle& t : c.body.triangles)
        out.triangles.push_back({std::int16_t(t.vertex[0]), std::int16_t(t.vertex[1]),
                                 std::int16_t(t.vertex[2]), std::int16_t(t.texCoord[0]),
                                 std::int16_t(t.texCoord[1]), std::int16_t(t.texCoord[2])});
    Md2Frame frame;
    frame.name = "frame01";
    for (const MeshVertex& v : c.body.vertices)
        frame.vertices.push_back(v.position);
    out.frames.push_back(frame);
    return out;
}

Image decorSkin(int skinIndex, std::uint32_t seed) {
    // Skin 15, the second pillar skin, is the pillar painted in its second variant.
    int model = skinIndex == 15 ? 14 : skinIndex;
    return paintSkin(finished(model, seed), skinIndex == 15 ? 1 : 0);
}

} // namespace content
