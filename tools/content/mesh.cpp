#include "tools/content/mesh.h"

#include <algorithm>
#include <cmath>

namespace content {

double length(Vec3 a) {
    return std::sqrt(dot(a, a));
}

Vec3 normalised(Vec3 a) {
    double l = length(a);
    return l > 1e-12 ? a * (1.0 / l) : Vec3{0, 0, 1};
}

Vec3 Transform::apply(Vec3 p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + t.x,
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + t.y,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + t.z};
}

Transform Transform::operator*(const Transform& o) const {
    Transform r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
    r.t = apply(o.t);
    return r;
}

Transform Transform::translation(Vec3 v) {
    Transform r;
    r.t = v;
    return r;
}

Transform Transform::rotation(Vec3 a, double scale) {
    double cx = std::cos(a.x), sx = std::sin(a.x), cy = std::cos(a.y), sy = std::sin(a.y);
    double cz = std::cos(a.z), sz = std::sin(a.z);
    Transform r;
    // Rz * Ry * Rx
    r.m[0][0] = cz * cy;
    r.m[0][1] = cz * sy * sx - sz * cx;
    r.m[0][2] = cz * sy * cx + sz * sx;
    r.m[1][0] = sz * cy;
    r.m[1][1] = sz * sy * sx + cz * cx;
    r.m[1][2] = sz * sy * cx - cz * sx;
    r.m[2][0] = -sy;
    r.m[2][1] = cy * sx;
    r.m[2][2] = cy * cx;
    for (auto& row : r.m)
        for (double& v : row)
            v *= scale;
    return r;
}

int Skeleton::add(const std::string& name, int parent, Vec3 joint) {
    bones.push_back({name, parent, joint});
    return int(bones.size()) - 1;
}

int Skeleton::find(const std::string& name) const {
    for (std::size_t i = 0; i < bones.size(); ++i)
        if (bones[i].name == name) return int(i);
    return -1;
}

std::vector<Transform> boneTransforms(const Skeleton& skeleton, const Pose& pose) {
    // A bone's scale swells its own parts only; its children hang on the unscaled frame.
    std::vector<Transform> frame(skeleton.bones.size()), world(skeleton.bones.size());
    for (std::size_t i = 0; i < skeleton.bones.size(); ++i) {
        const Bone& b = skeleton.bones[i];
        Transform turn = Transform::rotation(pose.rotation[i]);
        if (b.parent < 0) {
            frame[i] = Transform::translation(b.joint + pose.rootOffset) * turn;
        } else {
            Vec3 offset = b.joint - skeleton.bones[b.parent].joint;
            frame[i] = frame[b.parent] * Transform::translation(offset) * turn;
        }
        world[i] = frame[i] * Transform::rotation({0, 0, 0}, pose.scale[i]);
    }
    return world;
}

int Mesh::addVertex(Vec3 p, int bone, int blendBone, double blend) {
    vertices.push_back({p, bone, blendBone, blend});
    return int(vertices.size()) - 1;
}

int Mesh::addTexCoord(float s, float t) {
    texCoords.push_back({s, t});
    return int(texCoords.size()) - 1;
}

void Mesh::addFace(int a, int b, int c, int ta, int tb, int tc) {
    triangles.push_back({{a, c, b}, {ta, tc, tb}});
}

void Mesh::append(const Mesh& other) {
    int vBase = int(vertices.size()), tBase = int(texCoords.size());
    vertices.insert(vertices.end(), other.vertices.begin(), other.vertices.end());
    texCoords.insert(texCoords.end(), other.texCoords.begin(), other.texCoords.end());
    for (MeshTriangle t : other.triangles) {
        for (int k = 0; k < 3; ++k) {
            t.vertex[k] += vBase;
            t.texCoord[k] += tBase;
        }
        triangles.push_back(t);
    }
}

std::vector<Vec3> Mesh::posed(const std::vector<Transform>& bones, const Skeleton& skeleton) const {
    std::vector<Vec3> out;
    out.reserve(vertices.size());
    for (const MeshVertex& v : vertices) {
        Vec3 p = bones[v.bone].apply(v.position - skeleton.bones[v.bone].joint);
        if (v.blendBone >= 0 && v.blend > 0) {
            Vec3 q = bones[v.blendBone].apply(v.position - skeleton.bones[v.blendBone].joint);
            p = p + (q - p) * v.blend;
        }
        out.push_back(p);
    }
    return out;
}

void addLathe(Mesh& mesh, int bone, Vec3 a, Vec3 b, double radiusX, double radiusY,
              const std::vector<LatheRing>& rings, int segments, UvRect rect, int parentBone,
              Vec3 sideHint) {
    Vec3 axis = b - a;
    Vec3 w = normalised(axis);
    Vec3 ref =
        length(sideHint) > 0 ? sideHint : (std::fabs(w.z) > 0.7 ? Vec3{-1, 0, 0} : Vec3{0, 0, 1});
    Vec3 e1 = normalised(ref - w * dot(w, ref));
    Vec3 e2 = cross(w, e1);
    const double pi = 3.14159265358979;
    std::vector<std::vector<int>> ringVertices;
    std::vector<std::vector<int>> ringTex;
    for (const LatheRing& ring : rings) {
        Vec3 centre = a + axis * ring.along;
        int blendBone = parentBone;
        double blend = parentBone >= 0 ? std::max(0.0, 0.5 * (1.0 - ring.along / 0.25)) : 0.0;
        std::vector<int> vs, ts;
        float t = float(rect.t1 - (rect.t1 - rect.t0) * ring.along);
        if (ring.radius <= 0) {
            vs.push_back(mesh.addVertex(centre, bone, blendBone, blend));
        } else {
            for (int j = 0; j < segments; ++j) {
                double phi = 2 * pi * j / segments;
                Vec3 p =
                    centre +
                    (e1 * (std::cos(phi) * radiusX) + e2 * (std::sin(phi) * radiusY)) * ring.radius;
                vs.push_back(mesh.addVertex(p, bone, blendBone, blend));
            }
        }
        for (int j = 0; j <= segments; ++j)
            ts.push_back(mesh.addTexCoord(rect.s0 + (rect.s1 - rect.s0) * float(j) / segments, t));
        ringVertices.push_back(vs);
        ringTex.push_back(ts);
    }
    for (std::size_t i = 0; i + 1 < rings.size(); ++i) {
        const auto &lo = ringVertices[i], &hi = ringVertices[i + 1];
        const auto &tlo = ringTex[i], &thi = ringTex[i + 1];
        for (int j = 0; j < segments; ++j) {
            int jn = (j + 1) % segments;
            int a0 = lo[lo.size() == 1 ? 0 : j], a1 = lo[lo.size() == 1 ? 0 : jn];
            int b0 = hi[hi.size() == 1 ? 0 : j], b1 = hi[hi.size() == 1 ? 0 : jn];
            if (lo.size() > 1) mesh.addFace(a0, a1, b1, tlo[j], tlo[j + 1], thi[j + 1]);
            if (hi.size() > 1) mesh.addFace(a0, b1, b0, tlo[j], thi[j + 1], thi[j]);
        }
    }
}

void addEllipsoid(Mesh& mesh, int bone, Vec3 centre, Vec3 radii, int rings, int segments,
                  UvRect rect) {
    const double pi = 3.14159265358979;
    std::vector<LatheRing> profile;
    for (int k = 0; k <= rings; ++k) {
        double angle = pi * k / rings;
        profile.push_back(
            {(1 - std::cos(angle)) / 2, k == 0 || k == rings ? 0.0 : std::sin(angle)});
    }
    addLathe(mesh, bone, centre - Vec3{0, 0, radii.z}, centre + Vec3{0, 0, radii.z}, radii.x,
             radii.y, profile, segments, rect);
}

void addLimb(Mesh& mesh, int bone, Vec3 a, Vec3 b, double ra, double rb, int segments, UvRect rect,
             int parentBone) {
    Vec3 dir = normalised(b - a);
    Vec3 start = a - dir * (ra * 0.5), end = b + dir * (rb * 0.5);
    double total = length(end - start);
    auto at = [&](double distance) { return std::clamp(distance / total, 0.0, 1.0); };
    double len = length(b - a);
    std::vector<LatheRing> rings{{0.0, 0.0},
                                 {at(ra * 0.2), ra * 0.8},
                                 {at(ra * 0.5), ra},
                                 {at(ra * 0.5 + len), rb},
                                 {at(ra * 0.5 + len + rb * 0.3), rb * 0.75},
                                 {1.0, 0.0}};
    addLathe(mesh, bone, start, end, 1.0, 1.0, rings, segments, rect, parentBone);
}

void addCone(Mesh& mesh, int bone, Vec3 base, Vec3 tip, double radius, int segments, UvRect rect) {
    addLathe(mesh, bone, base, tip, radius, radius, {{0, 0}, {0.02, 1.0}, {0.5, 0.6}, {1.0, 0}},
             segments, rect);
}

void addBox(Mesh& mesh, int bone, Vec3 c, Vec3 h, UvRect rect) {
    int v[8];
    for (int i = 0; i < 8; ++i)
        v[i] = mesh.addVertex(
            {c.x + (i & 1 ? h.x : -h.x), c.y + (i & 2 ? h.y : -h.y), c.z + (i & 4 ? h.z : -h.z)},
            bone);
    // Each face: four corners counter-clockwise seen from outside.
    static const int faces[6][4] = {{1, 3, 7, 5}, {2, 0, 4, 6}, {3, 2, 6, 7},
                                    {0, 1, 5, 4}, {4, 5, 7, 6}, {2, 3, 1, 0}};
    for (const auto& f : faces) {
        int t0 = mesh.addTexCoord(rect.s0, rect.t1), t1 = mesh.addTexCoord(rect.s1, rect.t1);
        int t2 = mesh.addTexCoord(rect.s1, rect.t0), t3 = mesh.addTexCoord(rect.s0, rect.t0);
        mesh.addFace(v[f[0]], v[f[1]], v[f[2]], t0, t1, t2);
        mesh.addFace(v[f[0]], v[f[2]], v[f[3]], t0, t2, t3);
    }
}

void addCard(Mesh& mesh, int bone, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, UvRect rect) {
    int v0 = mesh.addVertex(p0, bone), v1 = mesh.addVertex(p1, bone);
    int v2 = mesh.addVertex(p2, bone), v3 = mesh.addVertex(p3, bone);
    int t0 = mesh.addTexCoord(rect.s0, rect.t1), t1 = mesh.addTexCoord(rect.s1, rect.t1);
    int t2 = mesh.addTexCoord(rect.s1, rect.t0), t3 = mesh.addTexCoord(rect.s0, rect.t0);
    mesh.addFace(v0, v1, v2, t0, t1, t2);
    mesh.addFace(v0, v2, v3, t0, t2, t3);
    mesh.addFace(v0, v2, v1, t0, t2, t1);
    mesh.addFace(v0, v3, v2, t0, t3, t2);
}

} // namespace content
