// Meshes built from shaped parts on a small skeleton, and their posing.
// Model coordinates: +x forward, +y left, +z up (the file's own axes).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace content {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(Vec3 a);
Vec3 normalised(Vec3 a);
inline Vec3 mirrorY(Vec3 a) {
    return {a.x, -a.y, a.z};
}

// Affine transform: 3x3 linear part and a translation.
struct Transform {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 t;
    Vec3 apply(Vec3 p) const;
    Transform operator*(const Transform& o) const;
    static Transform translation(Vec3 v);
    // Rotation Rz * Ry * Rx (radians) about the origin, then uniform scale.
    static Transform rotation(Vec3 angles, double scale = 1.0);
};

struct Bone {
    std::string name;
    int parent = -1;
    Vec3 joint; // rest position of the joint (model coordinates)
};

struct Skeleton {
    std::vector<Bone> bones;
    int add(const std::string& name, int parent, Vec3 joint);
    int find(const std::string& name) const; // -1 when absent
};

// Local rotation (radians about x, y, z) and scale of every bone.
struct Pose {
    std::vector<Vec3> rotation;
    std::vector<double> scale;
    Vec3 rootOffset;
    explicit Pose(const Skeleton& s) : rotation(s.bones.size()), scale(s.bones.size(), 1.0) {}
};

// World transform of every bone for a pose; scale applies to the bone's own parts.
std::vector<Transform> boneTransforms(const Skeleton& skeleton, const Pose& pose);

struct MeshVertex {
    Vec3 position; // rest position
    int bone = 0;
    int blendBone = -1; // second bone, weighted by blend
    double blend = 0;
};

struct MeshTriangle {
    std::array<int, 3> vertex;
    std::array<int, 3> texCoord;
};

// A texel rectangle of the skin (s to the right, t downwards from the top).
struct UvRect {
    float s0 = 0, t0 = 0, s1 = 1, t1 = 1;
};

struct Mesh {
    std::vector<MeshVertex> vertices;
    std::vector<std::array<float, 2>> texCoords; // texels
    std::vector<MeshTriangle> triangles;

    int addVertex(Vec3 p, int bone, int blendBone = -1, double blend = 0);
    int addTexCoord(float s, float t);
    // Corners in counter-clockwise order seen from outside; stored the other
    // way round, because the engine culls faces that turn counter-clockwise.
    void addFace(int a, int b, int c, int ta, int tb, int tc);
    void append(const Mesh& other);
    // Rest positions moved through the pose.
    std::vector<Vec3> posed(const std::vector<Transform>& bones, const Skeleton& skeleton) const;
};

// Where a part's texture coordinates land in the skin.
struct PartPaint {
    int group = 0; // index of the skin region
};

// Shape builders. u runs around the axis (0 and 1 behind, 0.5 in front for
// upright parts), v along it; both map into the rectangle.
struct LatheRing {
    double along;  // 0..1 from a to b
    double radius; // scale of the radii (0 closes the end with one point)
};
void addLathe(Mesh& mesh, int bone, Vec3 a, Vec3 b, double radiusX, double radiusY,
              const std::vector<LatheRing>& rings, int segments, UvRect rect, int parentBone = -1,
              Vec3 sideHint = {0, 0, 0});
void addEllipsoid(Mesh& mesh, int bone, Vec3 centre, Vec3 radii, int rings, int segments,
                  UvRect rect);
// A rounded limb from a to b whose end rings lean on the parent bone near a.
void addLimb(Mesh& mesh, int bone, Vec3 a, Vec3 b, double ra, double rb, int segments, UvRect rect,
             int parentBone = -1);
void addCone(Mesh& mesh, int bone, Vec3 base, Vec3 tip, double radius, int segments, UvRect rect);
void addBox(Mesh& mesh, int bone, Vec3 centre, Vec3 half, UvRect rect);
// A flat quad seen from both sides (wings, leaves, capes).
void addCard(Mesh& mesh, int bone, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, UvRect rect);

} // namespace content
