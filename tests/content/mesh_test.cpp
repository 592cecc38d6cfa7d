// Shapes are closed and turned the way the engine draws them.
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
}
