// The actor models: complete animation lists, real motion, weapons that follow
// their carriers, and skins that differ between variants. Walking feet,
// deaths that end lying down, the five roles' motions and the weapons' frame
// lists, and animation names that the slot search could take for another
// role, are checked on the whole pack by the check mode (check_test.cpp).
#include "tools/content/animation.h"
#include "tools/content/creatures.h"
#include "tools/content/models.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace content;

namespace {

struct Built {
    Creature creature;
    Md2Data body;
    std::vector<ModelAnimation> animations;
    // The frames of the animation of this name, or null.
    const ModelAnimation* find(const std::string& name) const {
        for (const ModelAnimation& r : animations)
            if (r.name == name) return &r;
        return nullptr;
    }
    const Md2Frame& frame(int f) const { return body.frames[std::size_t(f)]; }
};

std::vector<std::string> frameNames(const Md2Data& m) {
    std::vector<std::string> names;
    for (const Md2Frame& f : m.frames)
        names.push_back(f.name);
    return names;
}

const Built& built(const std::string& name) {
    static std::map<std::string, Built> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        Creature c = buildCreature(name, 7);
        Md2Data md2 = creatureMd2(c, false, name + ".bmp");
        auto animations = animationsOf(frameNames(md2));
        it = cache.emplace(name, Built{std::move(c), std::move(md2), std::move(animations)}).first;
    }
    return it->second;
}

double span(const Md2Frame& f) {
    double lo = 1e30, hi = -1e30;
    for (const Vec3& p : f.vertices)
        lo = std::min(lo, p.z), hi = std::max(hi, p.z);
    return hi - lo;
}

// Largest distance any vertex moves between two frames.
double largestMove(const Md2Frame& a, const Md2Frame& b) {
    double m = 0;
    for (std::size_t i = 0; i < a.vertices.size(); ++i)
        m = std::max(m, length(a.vertices[i] - b.vertices[i]));
    return m;
}

std::vector<std::string> creatureNames() {
    std::vector<std::string> names;
    for (const ActorModel& m : actorModels())
        if (!m.isWeapon) names.push_back(m.builder);
    return names;
}

} // namespace

TEST(Creatures, EveryAnimationKeepsAllItsFramesAndNamesFit) {
    for (const std::string& name : creatureNames()) {
        SCOPED_TRACE(name);
        const Built& b = built(name);
        for (const std::string& n : frameNames(b.body))
            EXPECT_LE(n.size(), 15u);
        ASSERT_EQ(b.animations.size(), b.creature.animations.size());
        for (std::size_t i = 0; i < b.animations.size(); ++i) {
            const ModelAnimation& a = b.animations[i];
            EXPECT_EQ(a.name, b.creature.animations[i].name);
            EXPECT_EQ(a.endFrame - a.startFrame, b.creature.animations[i].frames) << a.name;
            EXPECT_NE(motionKinds(a.name), 0u) << a.name;
        }
        EXPECT_LE(b.body.frames[0].vertices.size(), std::size_t(MD2_MAX_VERTICES));
    }
}

TEST(Creatures, WeaponsMoveWithTheHand) {
    for (const ActorModel& m : actorModels()) {
        if (!m.isWeapon) continue;
        Md2Data weapon = creatureMd2(built(m.builder).creature, true, m.name + ".bmp");
        EXPECT_GT(weapon.triangles.size(), 20u) << m.name;
        const ModelAnimation* attack = built(m.builder).find("attack");
        ASSERT_NE(attack, nullptr) << m.name;
        int mid = (attack->startFrame + attack->endFrame) / 2;
        EXPECT_GT(largestMove(weapon.frames[attack->startFrame], weapon.frames[mid]), 5.0)
            << m.name;
    }
}

TEST(Creatures, IdlesOnlyBreathe) {
    int idles = 0;
    for (const std::string& name : creatureNames()) {
        const Built& b = built(name);
        const ModelAnimation* idle = b.find("stand") ? b.find("stand") : b.find("idle");
        if (!idle) continue; // the chicken and the pain elemental idle with another motion
        ++idles;
        double breath = 0;
        for (int f = idle->startFrame; f < idle->endFrame; ++f)
            breath = std::max(breath, largestMove(b.frame(idle->startFrame), b.frame(f)));
        EXPECT_GT(breath * b.creature.slotScale, 0.02) << name;
        // Breathing and a tail swaying stay small beside the creature's size.
        EXPECT_LT(breath, span(b.frame(idle->startFrame)) * 0.15) << name;
    }
    EXPECT_GT(idles, 20);
}

TEST(Creatures, FlinchesAndSwingsReturnToWhereTheyStartedAndHeadsHover) {
    // Pain and attack play in a loop or hand back to the idle: their last
    // frame stays near their first, while their middle is far from both.
    for (const char* name : {"goblin", "beast", "ophid", "hand"})
        for (const char* anim : {"pain", "attack"}) {
            SCOPED_TRACE(std::string(name) + " " + anim);
            const Built& b = built(name);
            const ModelAnimation* a = b.find(anim);
            ASSERT_NE(a, nullptr);
            const Md2Frame& first = b.frame(a->startFrame);
            const double middle = largestMove(first, b.frame((a->startFrame + a->endFrame) / 2));
            EXPECT_GT(middle * b.creature.slotScale, 1.0);
            EXPECT_LT(largestMove(first, b.frame(a->endFrame - 1)), middle);
        }
    for (const char* name : {"lostsoul", "painelemental"}) {
        const Built& b = built(name);
        double lowest = 1e30;
        for (const Vec3& p : b.frame(0).vertices)
            lowest = std::min(lowest, p.z);
        EXPECT_GT((lowest - groundLevel(b.creature)) * b.creature.slotScale, 4.0) << name;
    }
}

TEST(Creatures, SkinVariantsDifferAndUseSeveralColours) {
    const Built& dragon = built("dragon");
    Image a = paintSkin(dragon.creature, 0), b = paintSkin(dragon.creature, 1);
    ASSERT_EQ(a.width, 256);
    ASSERT_EQ(b.height, 256);
    double difference = 0;
    std::map<int, int> hues;
    for (std::size_t i = 0; i < a.pixels.size(); i += 3) {
        for (int k = 0; k < 3; ++k)
            difference += std::abs(int(a.pixels[i + k]) - int(b.pixels[i + k]));
        hues[(a.pixels[i] / 64) * 16 + (a.pixels[i + 1] / 64) * 4 + a.pixels[i + 2] / 64]++;
    }
    EXPECT_GT(difference / a.pixels.size(), 10.0);
    int used = 0;
    for (auto [bucket, count] : hues)
        used += count > 200;
    EXPECT_GE(used, 4);
}

// Tree heights and bases, and the big tree's keyed texels, are checked on the
// pack by the check mode; no other decor skin may be cut out.
TEST(Decor, OnlyTheBigTreeSkinIsKeyed) {
    for (int s = 1; s < DECOR_SKINS; ++s) {
        Image skin = decorSkin(s, 3);
        int black = 0;
        for (std::size_t p = 0; p < skin.pixels.size(); p += 3)
            black += skin.pixels[p] == 0 && skin.pixels[p + 1] == 0 && skin.pixels[p + 2] == 0;
        EXPECT_EQ(black, 0) << decorSkinFile(s);
    }
}

TEST(Creatures, SkinRegionsDoNotOverlapAndStayOnTheSkin) {
    for (const char* name : {"dragon", "centaur", "cloud", "hand", "lostsoul"}) {
        const Creature& c = built(name).creature;
        auto inside = [](const UvRect& r, float s, float t) {
            return s >= r.s0 && s <= r.s1 && t >= r.t0 && t <= r.t1;
        };
        for (std::size_t i = 0; i < c.regions.size(); ++i) {
            const UvRect& a = c.regions[i].rect;
            EXPECT_TRUE(inside({0, 0, 256, 256}, a.s0, a.t0) &&
                        inside({0, 0, 256, 256}, a.s1, a.t1))
                << name;
            for (std::size_t j = i + 1; j < c.regions.size(); ++j) {
                const UvRect& b = c.regions[j].rect;
                bool apart = a.s1 <= b.s0 || b.s1 <= a.s0 || a.t1 <= b.t0 || b.t1 <= a.t0;
                EXPECT_TRUE(apart) << name << " regions " << i << " and " << j;
            }
        }
        // Every texture coordinate of the body lands inside some region.
        for (const auto& tc : c.body.texCoords) {
            bool any = false;
            for (const SkinRegion& r : c.regions)
                any |= inside(r.rect, tc[0], tc[1]);
            EXPECT_TRUE(any) << name;
        }
    }
}
