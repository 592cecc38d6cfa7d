// Shapes are closed and turned the way the engine draws them; bones move what hangs on them.
#include "tools/content/mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace content;

namespace {

constexpr UvRect UNIT{0, 0, 1, 1};

// Volume enclosed by the triangles as stored. The engine culls faces that
// turn counter-clockwise, so a closed shape seen from outside must turn
// clockwise: its stored volume is negative.
double storedVolume(const Mesh& m) {
    double v = 0;
    for (const MeshTriangle& t : m.triangles) {
        Vec3 a = m.vertices[t.vertex[0]].position, b = m.vertices[t.vertex[1]].position;
        Vec3 c = m.vertices[t.vertex[2]].position;
        v += dot(a, cross(b, c)) / 6.0;
    }
    return v;
}

// Every edge of a closed surface is used once in each direction.
bool closed(const Mesh& m) {
    std::map<std::pair<int, int>, int> edges;
    for (const MeshTriangle& t : m.triangles)
        for (int k = 0; k < 3; ++k) {
            int a = t.vertex[k], b = t.vertex[(k + 1) % 3];
            if (a == b) continue;
            edges[{a, b}]++;
        }
    for (const auto& [e, n] : edges)
        if (edges[{e.second, e.first}] != n) return false;
    return true;
}

} // namespace

TEST(Shapes, ClosedAndTurnedClockwiseFromOutside) {
    const double pi = 3.14159265358979;
    Mesh ellipsoid;
    addEllipsoid(ellipsoid, 0, {1, 2, 3}, {2, 1, 1.5}, 12, 24, UNIT);
    EXPECT_TRUE(closed(ellipsoid));
    EXPECT_NEAR(-storedVolume(ellipsoid), 4.0 / 3 * pi * 2 * 1 * 1.5, 0.6);
    Mesh box;
    addBox(box, 0, {0, 0, 5}, {1, 2, 3}, UNIT);
    EXPECT_TRUE(closed(box));
    EXPECT_NEAR(-storedVolume(box), 2 * 4 * 6, 1e-9);
    Mesh limb;
    addLimb(limb, 0, {0, 0, 0}, {3, 1, 4}, 1.0, 0.5, 10, UNIT);
    EXPECT_TRUE(closed(limb));
    EXPECT_GT(-storedVolume(limb), 3.0);
    Mesh cone;
    addCone(cone, 0, {0, 0, 0}, {0, 0, 6}, 2, 16, UNIT);
    EXPECT_TRUE(closed(cone));
    EXPECT_GT(-storedVolume(cone), 0.5 * pi * 4 * 6 / 3);
}

TEST(Shapes, CardsShowBothSides) {
    Mesh card;
    addCard(card, 0, {0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}, UNIT);
    ASSERT_EQ(card.triangles.size(), 4u);
    int facingPlusY = 0, facingMinusY = 0;
    for (const MeshTriangle& t : card.triangles) {
        Vec3 a = card.vertices[t.vertex[0]].position, b = card.vertices[t.vertex[1]].position;
        Vec3 c = card.vertices[t.vertex[2]].position;
        double ny = cross(b - a, c - a).y;
        (ny > 0 ? facingPlusY : facingMinusY)++;
    }
    EXPECT_EQ(facingPlusY, 2);
    EXPECT_EQ(facingMinusY, 2);
}

// Texture coordinates staying in their rectangle are checked on every
// creature's body (creatures_test.cpp).

TEST(Posing, ChildBonesFollowAndJointsStayPut) {
    Skeleton s;
    s.add("hip", -1, {0, 0, 10});
    s.add("knee", 0, {0, 0, 5});
    Mesh m;
    int foot = m.addVertex({0, 0, 0}, 1);
    int onHip = m.addVertex({0, 0, 10}, 0);
    Pose p(s);
    p.rotation[0] = {0, -3.14159265358979 / 2, 0}; // swing the leg forward, level with the hip
    auto posed = m.posed(boneTransforms(s, p), s);
    EXPECT_NEAR(posed[onHip].z, 10, 1e-9);
    EXPECT_NEAR(posed[foot].x, 10, 1e-9);
    EXPECT_NEAR(posed[foot].z, 10, 1e-9);
    p.rootOffset = {0, 0, -2};
    p.rotation[1] = {0, 3.14159265358979 / 2, 0}; // bend the knee back down
    posed = m.posed(boneTransforms(s, p), s);
    EXPECT_NEAR(posed[foot].x, 5, 1e-9);
    EXPECT_NEAR(posed[foot].z, 3, 1e-9);
}

TEST(Posing, BlendedVerticesSitBetweenTheirTwoBones) {
    Skeleton s;
    s.add("a", -1, {0, 0, 0});
    s.add("b", 0, {0, 0, 0});
    Mesh m;
    m.addVertex({1, 0, 0}, 1, 0, 0.5);
    Pose p(s);
    p.rotation[1] = {0, 0, 3.14159265358979}; // b turns the point to (-1, 0, 0)
    auto posed = m.posed(boneTransforms(s, p), s);
    EXPECT_NEAR(posed[0].x, 0, 1e-9);
}

TEST(Posing, ScaleSwellsOnlyTheBonesOwnParts) {
    Skeleton s;
    s.add("chest", -1, {0, 0, 10});
    s.add("arm", 0, {0, 2, 10});
    Mesh m;
    int rib = m.addVertex({0, 1, 10}, 0);
    int hand = m.addVertex({0, 2, 5}, 1);
    Pose p(s);
    p.scale[0] = 1.5;
    auto posed = m.posed(boneTransforms(s, p), s);
    EXPECT_NEAR(posed[rib].y, 1.5, 1e-9);
    EXPECT_NEAR(posed[hand].y, 2, 1e-9);
    EXPECT_NEAR(posed[hand].z, 5, 1e-9);
}
