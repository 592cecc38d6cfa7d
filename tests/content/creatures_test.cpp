// The actor models: complete animation lists, real motion, weapons that follow
// their carriers, and skins that differ between variants.
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
};

const Built& built(const std::string& name) {
    static std::map<std::string, Built> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        Creature c = buildCreature(name, 7);
        Md2Data md2 = creatureMd2(c, false, name + ".bmp");
        it = cache.emplace(name, Built{std::move(c), std::move(md2)}).first;
    }
    return it->second;
}

std::vector<std::string> frameNames(const Md2Data& m) {
    std::vector<std::string> names;
    for (const Md2Frame& f : m.frames)
        names.push_back(f.name);
    return names;
}

const ModelAnimation* find(const std::vector<ModelAnimation>& list, const std::string& name) {
    for (const ModelAnimation& r : list)
        if (r.name == name) return &r;
    return nullptr;
}

double lowestZ(const Md2Frame& f) {
    double lo = 1e30;
    for (const Vec3& p : f.vertices)
        lo = std::min(lo, p.z);
    return lo;
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
        const Built& b = built(name);
        auto names = frameNames(b.body);
        for (const std::string& n : names)
            EXPECT_LE(n.size(), 15u) << name;
        auto groups = animationsOf(names);
        ASSERT_EQ(groups.size(), b.creature.animations.size()) << name;
        for (std::size_t i = 0; i < groups.size(); ++i) {
            EXPECT_EQ(groups[i].name, b.creature.animations[i].name) << name;
            EXPECT_EQ(groups[i].endFrame - groups[i].startFrame, b.creature.animations[i].frames)
                << name << " " << groups[i].name;
            EXPECT_NE(motionKinds(groups[i].name), 0u) << name << " " << groups[i].name;
        }
        EXPECT_LE(b.body.frames[0].vertices.size(), std::size_t(MD2_MAX_VERTICES)) << name;
    }
}

TEST(Creatures, WeaponsCarryTheBodysFramesAndMoveWithTheHand) {
    for (const ActorModel& m : actorModels()) {
        if (!m.isWeapon) continue;
        const Built& b = built(m.builder);
        Md2Data weapon = creatureMd2(b.creature, true, m.name + ".bmp");
        EXPECT_EQ(frameNames(weapon), frameNames(b.body)) << m.name;
        EXPECT_GT(weapon.triangles.size(), 20u) << m.name;
        auto groups = animationsOf(frameNames(weapon));
        const ModelAnimation* attack = find(groups, "attack");
        ASSERT_NE(attack, nullptr) << m.name;
        int mid = attack->startFrame + (attack->endFrame - attack->startFrame) / 2;
        EXPECT_GT(largestMove(weapon.frames[attack->startFrame], weapon.frames[mid]), 5.0)
            << m.name;
    }
}

// Walking feet, deaths that end lying down and the motions of every
// creature type's five roles are checked on the whole pack by the check mode.
TEST(Creatures, IdlesOnlyBreathe) {
    int idles = 0;
    for (const std::string& name : creatureNames()) {
        const Built& b = built(name);
        auto groups = animationsOf(frameNames(b.body));
        const ModelAnimation* idle = find(groups, "stand");
        if (!idle) idle = find(groups, "idle");
        if (!idle) continue; // the chicken and the pain elemental idle with another motion
        ++idles;
        const Md2Frame& standing = b.body.frames[idle->startFrame];
        double breath = 0;
        for (int f = idle->startFrame; f < idle->endFrame; ++f)
            breath = std::max(breath, largestMove(standing, b.body.frames[f]));
        EXPECT_GT(breath * b.creature.slotScale, 0.02) << name;
        // Breathing and a tail swaying stay small beside the creature's size.
        EXPECT_LT(breath, span(standing) * 0.15) << name;
    }
    EXPECT_GT(idles, 20);
}

TEST(Creatures, FloatingHeadsHoverAboveTheGround) {
    for (const char* name : {"lostsoul", "painelemental"}) {
        const Built& b = built(name);
        double clearance =
            (lowestZ(b.body.frames[0]) - groundLevel(b.creature)) * b.creature.slotScale;
        EXPECT_GT(clearance, 4.0) << name;
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

// Tree heights and bases are checked on the pack by the check mode.
TEST(Decor, OnlyTheBigTreeSkinIsKeyed) {
    for (int s = 0; s < DECOR_SKINS; ++s) {
        Image skin = decorSkin(s, 3);
        ASSERT_EQ(skin.width, 256);
        int black = 0;
        for (std::size_t p = 0; p < skin.pixels.size(); p += 3)
            black += skin.pixels[p] == 0 && skin.pixels[p + 1] == 0 && skin.pixels[p + 2] == 0;
        if (s == 0)
            EXPECT_GT(black, 1000);
        else
            EXPECT_EQ(black, 0) << decorSkinFile(s);
    }
}

TEST(Creatures, SkinRegionsDoNotOverlapAndStayOnTheSkin) {
    for (const char* name : {"dragon", "centaur", "cloud", "hand", "lostsoul"}) {
        const Creature& c = built(name).creature;
        for (std::size_t i = 0; i < c.regions.size(); ++i) {
            const UvRect& a = c.regions[i].rect;
            EXPECT_GE(a.s0, 0.0f);
            EXPECT_LE(a.s1, 256.0f);
            EXPECT_GE(a.t0, 0.0f);
            EXPECT_LE(a.t1, 256.0f);
            for (std::size_t j = i + 1; j < c.regions.size(); ++j) {
                const UvRect& b = c.regions[j].rect;
                bool apart = a.s1 <= b.s0 || b.s1 <= a.s0 || a.t1 <= b.t0 || b.t1 <= a.t0;
                EXPECT_TRUE(apart) << name << " regions " << i << " and " << j;
            }
        }
        // Every texture coordinate of the body lands inside some region.
        for (const auto& tc : c.body.texCoords) {
            bool inside = false;
            for (const SkinRegion& r : c.regions)
                inside |= tc[0] >= r.rect.s0 && tc[0] <= r.rect.s1 && tc[1] >= r.rect.t0 &&
                          tc[1] <= r.rect.t1;
            EXPECT_TRUE(inside) << name;
        }
    }
}

TEST(Creatures, FlinchesAndSwingsReturnToWhereTheyStarted) {
    // Pain and attack play in a loop or hand back to the idle: their last
    // frame stays near their first, while their middle is far from both.
    for (const char* name : {"goblin", "beast", "ophid", "hand"}) {
        const Built& b = built(name);
        auto groups = animationsOf(frameNames(b.body));
        for (const char* anim : {"pain", "attack"}) {
            const ModelAnimation* a = find(groups, anim);
            ASSERT_NE(a, nullptr) << name << " " << anim;
            const Md2Frame& first = b.body.frames[a->startFrame];
            const Md2Frame& last = b.body.frames[a->endFrame - 1];
            const Md2Frame& middle = b.body.frames[(a->startFrame + a->endFrame) / 2];
            double scale = b.creature.slotScale;
            EXPECT_GT(largestMove(first, middle) * scale, 1.0) << name << " " << anim;
            EXPECT_LT(largestMove(first, last), largestMove(first, middle)) << name << " " << anim;
        }
    }
}
