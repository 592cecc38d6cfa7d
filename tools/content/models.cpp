#include "tools/content/models.h"

#include "tools/content/motion.h"
#include "tools/content/slots.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace content {
namespace {

double lowest(const std::vector<Vec3>& points) {
    double lo = 1e30;
    for (const Vec3& p : points)
        lo = std::min(lo, p.z);
    return lo;
}

std::string frameName(const std::string& base, int number) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%s%02d", base.c_str(), number);
    return buffer;
}

void fillStatic(Md2Data& out, const Mesh& mesh, const std::string& skinName) {
    out.skinName = skinName;
    for (const auto& tc : mesh.texCoords)
        out.texCoords.push_back(
            {std::int16_t(std::lround(tc[0])), std::int16_t(std::lround(tc[1]))});
    for (const MeshTriangle& t : mesh.triangles)
        out.triangles.push_back({std::int16_t(t.vertex[0]), std::int16_t(t.vertex[1]),
                                 std::int16_t(t.vertex[2]), std::int16_t(t.texCoord[0]),
                                 std::int16_t(t.texCoord[1]), std::int16_t(t.texCoord[2])});
    if (mesh.vertices.size() > std::size_t(MD2_MAX_VERTICES))
        throw std::length_error(skinName + ": too many vertices for one MD2 frame");
}

} // namespace

double groundLevel(const Creature& c) {
    return -(SLOT_HALF_HEIGHT + c.slotZOffset) / c.slotScale;
}

Md2Data creatureMd2(const Creature& c, bool weapon, const std::string& skinName) {
    Md2Data out;
    const Mesh& mesh = weapon ? c.weapon : c.body;
    fillStatic(out, mesh, skinName);
    double k = 1.0 / c.slotScale;
    double ground = groundLevel(c);
    Pose rest(c.skeleton);
    double restLowest = lowest(c.body.posed(boneTransforms(c.skeleton, rest), c.skeleton)) * k;
    double hoverShift = ground - restLowest + c.hover * k;
    auto addFrame = [&](const std::string& name, Motion motion, double phase) {
        Pose pose(c.skeleton);
        PoseResult r = poseFor(c, motion, phase, pose);
        std::vector<Transform> bones = boneTransforms(c.skeleton, pose);
        std::vector<Vec3> body = c.body.posed(bones, c.skeleton);
        double planted = ground - lowest(body) * k + r.lift * k;
        double shift = planted;
        if (c.hover > 0) {
            bool falls = motion == Motion::Death || motion == Motion::Death2;
            shift = hoverShift + (planted - hoverShift) * (falls ? r.groundBlend : 0.0);
        }
        Md2Frame frame;
        frame.name = name;
        for (const Vec3& p : weapon ? c.weapon.posed(bones, c.skeleton) : body)
            frame.vertices.push_back({p.x * k, p.y * k, p.z * k + shift});
        out.frames.push_back(std::move(frame));
    };
    for (const AnimationSpec& a : c.animations)
        for (int f = 0; f < a.frames; ++f) {
            double phase =
                endsOnLastFrame(a.motion) ? double(f) / (a.frames - 1) : double(f) / a.frames;
            addFrame(frameName(a.name, f + 1), a.motion, phase);
        }
    addFrame(TRAILER_NAME, Motion::Trailer, 0);
    return out;
}

} // namespace content
