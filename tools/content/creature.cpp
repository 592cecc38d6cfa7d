#include "tools/content/creature.h"

#include "tools/content/noise.h"

#include <algorithm>
#include <cmath>

namespace content {
namespace {

constexpr int SKIN_SIDE = 256;
constexpr int GUTTER = 2;
constexpr float TWO_PI = 6.2831853f;

// Shelf packing at a given texels-per-unit; false when it does not fit.
bool pack(std::vector<SkinRegion>& regions, float texelsPerUnit) {
    std::vector<int> order(regions.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return regions[a].height > regions[b].height; });
    int x = 0, y = 0, shelf = 0;
    for (int i : order) {
        int w = std::clamp(int(regions[i].width * texelsPerUnit), 6, SKIN_SIDE - GUTTER);
        int h = std::clamp(int(regions[i].height * texelsPerUnit), 6, SKIN_SIDE - GUTTER);
        if (x + w + GUTTER > SKIN_SIDE) {
            x = 0;
            y += shelf;
            shelf = 0;
        }
        if (y + h + GUTTER > SKIN_SIDE) return false;
        regions[i].rect = {float(x + 1), float(y + 1), float(x + w + 1), float(y + h + 1)};
        x += w + GUTTER;
        shelf = std::max(shelf, h + GUTTER);
    }
    return true;
}

void mapTexCoords(Mesh& mesh, const std::vector<int>& regionOf,
                  const std::vector<SkinRegion>& regions) {
    for (std::size_t i = 0; i < mesh.texCoords.size(); ++i) {
        const UvRect& r = regions[regionOf[i]].rect;
        auto& tc = mesh.texCoords[i];
        // Half a texel inside the rectangle, so filtering never reaches a neighbour.
        tc[0] = r.s0 + 0.5f + (r.s1 - r.s0 - 1.0f) * tc[0];
        tc[1] = r.t0 + 0.5f + (r.t1 - r.t0 - 1.0f) * tc[1];
    }
}

Rgb clampColour(Rgb c) {
    return {std::clamp(c.r, 0.02f, 1.0f), std::clamp(c.g, 0.02f, 1.0f),
            std::clamp(c.b, 0.02f, 1.0f)};
}

// Colour of one texel of a material; (x, y) in texels, (u, v) in the region.
Rgb patternColour(const Material& m, std::uint32_t seed, float x, float y, float u, float v,
                  float w) {
    switch (m.pattern) {
    case Pattern::Skin: {
        float blot = fbm(seed, x / 14, y / 14, 3);
        float pore = valueNoise(seed + 5, x / 1.5f, y / 1.5f);
        return mix(m.base, m.accent, smoothstep(0.45f, 0.75f, blot) * 0.6f) * (0.94f + 0.1f * pore);
    }
    case Pattern::Fur: {
        float streak = fbm(seed, x / 1.6f, y / 9, 3);
        float clump = fbm(seed + 3, x / 10, y / 16, 2);
        return mix(m.base, m.accent, clump * 0.7f) * (0.7f + 0.5f * streak);
    }
    case Pattern::Scales: {
        CellDistance c = cellular(seed, x / 5.5f + (int(y / 5.5f) % 2) * 0.5f, y / 4.0f);
        float edge = smoothstep(0.0f, 0.25f, c.second - c.nearest);
        Rgb tone = mix(m.base, m.accent, (c.id & 255) / 255.0f * 0.5f + 0.25f * (1 - c.nearest));
        return tone * (0.55f + 0.45f * edge);
    }
    case Pattern::Cloth: {
        float weave = 0.92f + 0.08f * std::sin(x * 2.2f) * std::sin(y * 2.2f);
        float fold = 0.8f + 0.2f * std::sin(u * TWO_PI * 3 + fbm(seed, x / 20, y / 20, 2) * 6);
        return mix(m.base, m.accent, fbm(seed + 9, x / 30, y / 30, 2) * 0.35f) * (weave * fold);
    }
    case Pattern::Metal: {
        float plateW = std::max(w / 3, 10.0f);
        float px = std::fmod(x, plateW), py = std::fmod(y, 14.0f);
        float seam = (px < 1.2f || py < 1.2f) ? 0.45f : 1.0f;
        bool rivet = (std::hypot(px - 3.5f, py - 3.5f) < 1.3f) ||
                     (std::hypot(px - plateW + 3.5f, py - 3.5f) < 1.3f);
        float sheen =
            0.75f + 0.35f * std::pow(std::max(0.0f, std::cos((u - 0.35f) * TWO_PI)), 3.0f);
        Rgb c = mix(m.base, m.accent, fbm(seed, x / 8, y / 8, 2) * 0.25f) * (sheen * seam);
        return rivet ? mix(m.accent, Rgb{1, 1, 1}, 0.4f) : c;
    }
    case Pattern::Bone: {
        float crack = ridged(seed, x / 18, y / 18, 3);
        return mix(m.base, m.accent, fbm(seed + 1, x / 9, y / 9, 2) * 0.4f) *
               (crack > 0.93f ? 0.6f : 1.0f);
    }
    case Pattern::Feather: {
        int row = int(y / 7);
        float fx = std::fmod(x + row * 3.5f, 7.0f) - 3.5f, fy = std::fmod(y, 7.0f);
        float scallop = std::hypot(fx, (fy - 7) * 0.8f) / 5.0f;
        float shaft = std::fabs(fx) < 0.5f ? 0.8f : 1.0f;
        return mix(m.base, m.accent, std::clamp(scallop, 0.0f, 1.0f) * 0.6f) *
               (shaft * (scallop > 1 ? 0.7f : 1.0f));
    }
    case Pattern::Leather: {
        float crease = ridged(seed, x / 12, y / 12, 3);
        bool stitch =
            (std::fabs(v - 0.08f) < 0.02f || std::fabs(v - 0.92f) < 0.02f) && int(x) % 4 < 2;
        Rgb c = mix(m.base, m.accent, fbm(seed + 2, x / 16, y / 16, 2) * 0.4f) *
                (1.05f - 0.3f * crease * crease);
        return stitch ? m.accent * 1.3f : c;
    }
    case Pattern::Stone: {
        CellDistance c = cellular(seed, x / 12, y / 12);
        float crack = smoothstep(0.0f, 0.08f, c.second - c.nearest);
        float grit = fbm(seed + 4, x / 3, y / 3, 3);
        return mix(m.base, m.accent, grit * 0.6f) * (0.55f + 0.45f * crack);
    }
    case Pattern::Flame: {
        float tongue = fbm(seed, x / 6, y / 4, 3);
        float heat = std::clamp((1 - v) * 0.6f + tongue * 0.7f - 0.2f, 0.0f, 1.0f);
        return mix(m.base, m.accent, heat) * (0.6f + 0.6f * heat);
    }
    case Pattern::Wood: {
        float grain = std::sin(x * 0.9f + fbm(seed, x / 25, y / 6, 3) * 9);
        return mix(m.base, m.accent, 0.5f + 0.5f * grain) *
               (0.85f + 0.15f * fbm(seed + 7, x, y / 8, 1));
    }
    case Pattern::Bark: {
        float furrow = ridged(seed, x / 5, y / 26, 3);
        return mix(m.accent, m.base, furrow) * (0.6f + 0.5f * furrow);
    }
    case Pattern::Leaves: {
        Rgb out{0, 0, 0};
        for (int layer = 0; layer < 3; ++layer) {
            CellDistance c =
                cellular(seed + layer * 31, x / 9 + layer * 0.37f, y / 6 + layer * 0.61f);
            float leaf = 1 - smoothstep(0.25f, 0.42f, c.nearest);
            float density = fbm(seed + 11, x / 40, y / 40, 2);
            if (leaf > 0.5f && density > 0.32f) {
                float tone = (c.id & 255) / 255.0f;
                out = mix(m.base, m.accent, tone) * (0.7f + 0.4f * (1 - c.nearest));
            }
        }
        return out;
    }
    case Pattern::Hair: {
        float strand = valueNoise(seed, x * 0.9f, y / 30);
        return mix(m.base, m.accent, strand) *
               (0.75f + 0.35f * valueNoise(seed + 1, x * 1.7f, y / 12));
    }
    case Pattern::Glow: {
        float core = 1 - std::fabs(u - 0.5f) * 2;
        return mix(m.base, m.accent, core);
    }
    }
    return m.base;
}

bool isShaded(Pattern p) {
    return p != Pattern::Leaves && p != Pattern::Glow && p != Pattern::Flame;
}

void paintFace(Image& img, const SkinRegion& r, const Material& m) {
    float w = r.rect.s1 - r.rect.s0, h = r.rect.t1 - r.rect.t0;
    auto at = [&](float u, float v) {
        return std::array<float, 2>{r.rect.s0 + u * w, r.rect.t0 + v * h};
    };
    float eye = std::max(1.2f, w * 0.035f);
    Rgb dark = m.base * 0.15f;
    switch (r.face) {
    case Face::None:
        return;
    case Face::Eyes:
    case Face::EyesMouth:
        for (float side : {-1.0f, 1.0f}) {
            auto p = at(0.5f + side * 0.075f, 0.42f);
            img.disc(p[0], p[1], eye * 1.3f, dark);
            img.disc(p[0], p[1], eye, hexColour(0xF2EEDC));
            img.disc(p[0], p[1], eye * 0.55f, hexColour(0x201810));
        }
        if (r.face == Face::EyesMouth) {
            auto a = at(0.45f, 0.66f), b = at(0.55f, 0.66f);
            img.line(a[0], a[1], b[0], b[1], std::max(1.0f, eye * 0.6f), m.base * 0.35f);
            auto n = at(0.5f, 0.52f);
            img.disc(n[0], n[1], eye * 0.6f, m.base * 0.7f);
        }
        return;
    case Face::Skull:
        for (float side : {-1.0f, 1.0f}) {
            auto p = at(0.5f + side * 0.08f, 0.45f);
            img.disc(p[0], p[1], eye * 2.0f, hexColour(0x140808));
            img.disc(p[0], p[1], eye * 0.7f, hexColour(0xFF5010));
        }
        {
            auto n = at(0.5f, 0.58f);
            img.disc(n[0], n[1], eye * 0.9f, hexColour(0x1A0C0C));
            for (int k = -3; k <= 3; ++k) {
                auto t = at(0.5f + k * 0.02f, 0.72f);
                img.rect(int(t[0]), int(t[1]), int(t[0] + std::max(1.0f, w * 0.012f)),
                         int(t[1] + eye * 1.5f), hexColour(0x2A1A14));
            }
        }
        return;
    case Face::Visor: {
        auto a = at(0.32f, 0.45f), b = at(0.68f, 0.45f);
        img.line(a[0], a[1], b[0], b[1], eye * 2.2f, hexColour(0x101014));
        img.line(a[0], a[1], b[0], b[1], std::max(1.0f, eye * 0.5f), hexColour(0xFF3020));
        return;
    }
    case Face::OneEye: {
        auto p = at(0.5f, 0.42f);
        img.disc(p[0], p[1], eye * 3.6f, dark);
        img.disc(p[0], p[1], eye * 3.0f, hexColour(0xE8E0C0));
        img.disc(p[0], p[1], eye * 1.6f, hexColour(0x30A020));
        img.disc(p[0], p[1], eye * 0.8f, hexColour(0x080808));
        auto a = at(0.42f, 0.7f), b = at(0.58f, 0.7f);
        img.line(a[0], a[1], b[0], b[1], eye * 2.0f, hexColour(0x300808));
        return;
    }
    }
}

} // namespace

int Creature::material(Rgb base, Rgb accent, Pattern pattern, bool tinted) {
    materials.push_back({base, accent, pattern, tinted});
    return int(materials.size()) - 1;
}

int Creature::region(int mat, float width, float height, Face face, float lightU) {
    regions.push_back({mat, width, height, face, lightU, {}});
    return int(regions.size()) - 1;
}

void Creature::close() {
    if (currentRegion < 0) return;
    std::vector<int>& tags = currentWeapon ? weaponRegion : bodyRegion;
    Mesh& mesh = target(currentWeapon);
    tags.resize(mesh.texCoords.size(), currentRegion);
}

void Creature::use(int regionIndex, bool weaponPart) {
    close();
    currentRegion = regionIndex;
    currentWeapon = weaponPart;
}

int Creature::bone(const std::string& name, const std::string& parent, Vec3 joint) {
    return skeleton.add(name, parent.empty() ? -1 : skeleton.find(parent), joint);
}

int Creature::boneIndex(const std::string& name) const {
    return skeleton.find(name);
}

void Creature::layOutSkin() {
    close();
    currentRegion = -1;
    float lo = 1, hi = 256;
    for (int step = 0; step < 20; ++step) {
        float mid = (lo + hi) / 2;
        (pack(regions, mid) ? lo : hi) = mid;
    }
    pack(regions, lo);
    mapTexCoords(body, bodyRegion, regions);
    mapTexCoords(weapon, weaponRegion, regions);
}

Image paintSkin(const Creature& creature, int variantIndex) {
    Image img(SKIN_SIDE, SKIN_SIDE);
    const SkinVariant& variant =
        creature.variants[std::clamp(variantIndex, 0, int(creature.variants.size()) - 1)];
    // Gutters between regions get a dark neutral colour, never the key black.
    img.rect(0, 0, SKIN_SIDE, SKIN_SIDE, hexColour(0x303030));
    for (std::size_t i = 0; i < creature.regions.size(); ++i) {
        const SkinRegion& r = creature.regions[i];
        Material m = creature.materials[r.material];
        if (m.tinted) {
            m.base = shiftHue(m.base, variant.hueTurn, variant.saturation, variant.value);
            m.accent = shiftHue(m.accent, variant.hueTurn, variant.saturation, variant.value);
        }
        std::uint32_t seed =
            hash3(creature.seed + std::uint32_t(variantIndex) * 977u, int(i), r.material);
        int x0 = int(r.rect.s0), x1 = int(r.rect.s1), y0 = int(r.rect.t0), y1 = int(r.rect.t1);
        float w = float(x1 - x0), h = float(y1 - y0);
        for (int y = y0 - 1; y <= y1; ++y)
            for (int x = x0 - 1; x <= x1; ++x) {
                float u = std::clamp((x + 0.5f - x0) / w, 0.0f, 1.0f);
                float v = std::clamp((y + 0.5f - y0) / h, 0.0f, 1.0f);
                Rgb c = patternColour(m, seed, float(x), float(y), u, v, w);
                if (isShaded(m.pattern)) {
                    float around = 0.8f + 0.2f * std::cos((u - r.lightU) * TWO_PI);
                    float along = 0.86f + 0.14f * std::sin(v * 3.14159f);
                    c = c * (around * along);
                }
                img.set(x, y, m.pattern == Pattern::Leaves ? c : clampColour(c));
            }
        paintFace(img, r, m);
    }
    return img;
}

} // namespace content
