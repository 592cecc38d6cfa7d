#include "tools/content/bodies.h"

#include <cmath>
#include <stdexcept>
#include <string>

namespace content {
namespace {

constexpr UvRect UNIT{0, 0, 1, 1};
constexpr double PI = 3.14159265358979;

std::string side(const char* bone, char s) {
    return std::string(bone) + s;
}

} // namespace

int part(Creature& c, int material, float width, float height, Face face, float lightU) {
    return c.region(material, width, height, face, lightU);
}

int Build::boneOf(const char* name) const {
    int b = c.boneIndex(name);
    if (b < 0) throw std::logic_error(std::string("no bone ") + name + " in " + c.name);
    return b;
}

void Build::ell(const char* bone, int region, Vec3 centre, Vec3 radii, int rings, int segments) {
    c.use(region, weapon);
    addEllipsoid(c.target(weapon), boneOf(bone), centre, radii, rings, segments, UNIT);
}

void Build::along(const char* bone, int region, Vec3 a, Vec3 b, double ry, double rz, int rings,
                  int segments) {
    c.use(region, weapon);
    std::vector<LatheRing> profile;
    for (int k = 0; k <= rings; ++k) {
        double angle = PI * k / rings;
        profile.push_back(
            {(1 - std::cos(angle)) / 2, k == 0 || k == rings ? 0.0 : std::sin(angle)});
    }
    addLathe(c.target(weapon), boneOf(bone), a, b, rz, ry, profile, segments, UNIT, -1, {0, 0, 1});
}

void Build::limb(const char* bone, int region, Vec3 a, Vec3 b, double ra, double rb, int segments,
                 const char* blendWith) {
    c.use(region, weapon);
    addLimb(c.target(weapon), boneOf(bone), a, b, ra, rb, segments, UNIT,
            blendWith ? boneOf(blendWith) : -1);
}

void Build::cone(const char* bone, int region, Vec3 base, Vec3 tip, double radius, int segments) {
    c.use(region, weapon);
    addCone(c.target(weapon), boneOf(bone), base, tip, radius, segments, UNIT);
}

void Build::box(const char* bone, int region, Vec3 centre, Vec3 half) {
    c.use(region, weapon);
    addBox(c.target(weapon), boneOf(bone), centre, half, UNIT);
}

void Build::card(const char* bone, int region, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3) {
    c.use(region, weapon);
    addCard(c.target(weapon), boneOf(bone), p0, p1, p2, p3, UNIT);
}

void Build::limbPair(const char* bone, int region, Vec3 a, Vec3 b, double ra, double rb,
                     int segments, const char* blendWith) {
    std::string l = side(bone, 'L'), r = side(bone, 'R');
    std::string bl = blendWith ? side(blendWith, 'L') : "",
                br = blendWith ? side(blendWith, 'R') : "";
    auto parentOf = [&](const std::string& name) -> const char* {
        if (!blendWith) return nullptr;
        // A blend bone without sides (the pelvis, the chest) is shared.
        return c.boneIndex(name) >= 0 ? name.c_str() : blendWith;
    };
    limb(l.c_str(), region, a, b, ra, rb, segments, parentOf(bl));
    limb(r.c_str(), region, mirrorY(a), mirrorY(b), ra, rb, segments, parentOf(br));
}

void Build::ellPair(const char* bone, int region, Vec3 centre, Vec3 radii, int rings,
                    int segments) {
    std::string l = c.boneIndex(side(bone, 'L').c_str()) >= 0 ? side(bone, 'L') : bone;
    std::string r = c.boneIndex(side(bone, 'R').c_str()) >= 0 ? side(bone, 'R') : bone;
    ell(l.c_str(), region, centre, radii, rings, segments);
    ell(r.c_str(), region, mirrorY(centre), radii, rings, segments);
}

void Build::conePair(const char* bone, int region, Vec3 base, Vec3 tip, double radius,
                     int segments) {
    std::string l = c.boneIndex(side(bone, 'L').c_str()) >= 0 ? side(bone, 'L') : bone;
    std::string r = c.boneIndex(side(bone, 'R').c_str()) >= 0 ? side(bone, 'R') : bone;
    cone(l.c_str(), region, base, tip, radius, segments);
    cone(r.c_str(), region, mirrorY(base), mirrorY(tip), radius, segments);
}

BipedJoints buildBiped(Creature& c, const BipedSpec& s) {
    c.plan = BodyPlan::Biped;
    BipedJoints j;
    double hip = 6.9 * s.legLength, b = s.bulk;
    j.pelvis = {0, 0, hip + 0.2};
    j.chest = {0, 0, hip + 2.6};
    j.neck = {0, 0, hip + 4.6};
    j.head = {0, 0, hip + 5.2};
    j.shoulderL = {0, 1.85 * s.shoulders * b, hip + 4.1};
    j.elbowL = j.shoulderL + Vec3{-0.1, 0.25, -2.3 * s.armLength};
    j.wristL = j.elbowL + Vec3{0.15, 0.05, -2.1 * s.armLength};
    j.hipL = {0, 0.85 * b, hip};
    j.kneeL = {0.2, 0.9 * b, 3.8 * s.legLength};
    j.ankleL = {0, 0.9 * b, 0.75 * s.legLength};
    c.bone("pelvis", "", j.pelvis);
    c.bone("spine", "pelvis", {0, 0, hip + 0.8});
    c.bone("chest", "spine", j.chest);
    c.bone("neck", "chest", j.neck);
    c.bone("head", "neck", j.head);
    for (char sd : {'L', 'R'}) {
        double m = sd == 'L' ? 1 : -1;
        auto Y = [m](Vec3 v) { return Vec3{v.x, v.y * m, v.z}; };
        std::string S(1, sd);
        c.bone("upperarm" + S, "chest", Y(j.shoulderL));
        c.bone("forearm" + S, "upperarm" + S, Y(j.elbowL));
        c.bone("hand" + S, "forearm" + S, Y(j.wristL));
        c.bone("thigh" + S, "pelvis", Y(j.hipL));
        c.bone("shin" + S, "thigh" + S, Y(j.kneeL));
        c.bone("foot" + S, "shin" + S, Y(j.ankleL));
    }
    Build B{c};
    int pelvisR = part(c, s.legs, 3.0f, 1.6f);
    int bellyR = part(c, s.torso, 3.2f, 2.0f);
    int chestR = part(c, s.torso, 3.6f, 2.6f);
    int neckR = part(c, s.skin, 1.2f, 0.8f);
    int headR = part(c, s.head, 3.2f, 2.6f, s.face);
    int upperR = part(c, s.torso, 1.6f, 2.2f);
    int foreR = part(c, s.skin, 1.4f, 2.0f);
    int handR = part(c, s.hands, 1.0f, 1.0f);
    int thighR = part(c, s.legs, 2.0f, 2.6f);
    int shinR = part(c, s.legs, 1.6f, 2.6f);
    int footR = part(c, s.feet, 1.4f, 1.2f);
    B.ell("pelvis", pelvisR, {0, 0, hip}, Vec3{1.05, 1.3, 0.85} * b, 4, 10);
    B.limb("spine", bellyR, {0, 0, hip + 0.3}, {0, 0, hip + 2.4}, 1.0 * b * s.belly, 1.15 * b, 10,
           "pelvis");
    B.ell("chest", chestR, {0, 0, hip + 3.35}, {1.1 * b, 1.7 * b * s.shoulders, 1.3}, 5, 10);
    B.limb("neck", neckR, j.neck + Vec3{0, 0, -0.3}, j.head + Vec3{0, 0, 0.2}, 0.42 * b, 0.38 * b,
           8);
    B.ell("head", headR, j.head + Vec3{0.12, 0, 0.85 * s.headSize},
          Vec3{0.86, 0.74, 0.98} * s.headSize, 6, 10);
    B.limbPair("upperarm", upperR, j.shoulderL, j.elbowL, 0.52 * b, 0.42 * b, 8, "chest");
    B.limbPair("forearm", foreR, j.elbowL, j.wristL, 0.42 * b, 0.32 * b, 8, "upperarm");
    B.ellPair("hand", handR, j.wristL + Vec3{0.05, 0, -0.45}, Vec3{0.32, 0.22, 0.48} * b, 4, 6);
    B.limbPair("thigh", thighR, j.hipL, j.kneeL, 0.72 * b, 0.52 * b, 8, "pelvis");
    B.limbPair("shin", shinR, j.kneeL, j.ankleL, 0.52 * b, 0.36 * b, 8, "thigh");
    B.limbPair("foot", footR, j.ankleL + Vec3{-0.2, 0, -0.35}, {1.3, 0.9 * b, 0.22}, 0.38 * b,
               0.3 * b, 6);
    if (s.robe) {
        int robeR = part(c, s.torso, 4.5f, 3.2f, Face::None, 0.5f);
        c.use(robeR);
        addLathe(c.body, c.boneIndex("pelvis"), {0, 0, 0.15}, {0, 0, hip + 0.9}, 2.5 * b, 2.3 * b,
                 {{0, 0}, {0.01, 1.0}, {0.45, 0.74}, {1.0, 0.5}}, 12, UNIT);
    }
    j.headTop = j.head.z + 1.9 * s.headSize;
    return j;
}

QuadJoints buildQuadruped(Creature& c, const QuadSpec& s) {
    c.plan = BodyPlan::Quadruped;
    QuadJoints j;
    double L = s.length, H = s.backHeight, g = s.girth, hs = s.headSize;
    j.body = {0, 0, H};
    j.chest = {L * 0.3, 0, H};
    j.neck = {L * 0.5, 0, H + 0.3 * g};
    j.head = j.neck + Vec3{s.neckLength * 0.7, 0, s.neckLength * 0.72};
    j.jaw = j.head + Vec3{0.3 * hs, 0, -0.3 * hs};
    j.tail1 = {-L * 0.5, 0, H + 0.25 * g};
    j.frontHipL = {L * 0.36, 0.6 * g, H - 0.3 * g};
    j.backHipL = {-L * 0.36, 0.6 * g, H - 0.2 * g};
    c.bone("body", "", j.body);
    c.bone("chest", "body", j.chest);
    if (!s.humanTorso) {
        c.bone("neck", "chest", j.neck);
        c.bone("head", "neck", j.head);
        c.bone("jaw", "head", j.jaw);
    }
    double seg = s.tailLength / 3;
    c.bone("tail1", "body", j.tail1);
    c.bone("tail2", "tail1", j.tail1 + Vec3{-seg, 0, -0.35 * seg});
    c.bone("tail3", "tail2", j.tail1 + Vec3{-2 * seg, 0, -0.55 * seg});
    for (char sd : {'L', 'R'}) {
        double m = sd == 'L' ? 1 : -1;
        std::string S(1, sd);
        Vec3 fh{j.frontHipL.x, j.frontHipL.y * m, j.frontHipL.z};
        Vec3 bh{j.backHipL.x, j.backHipL.y * m, j.backHipL.z};
        c.bone("fthigh" + S, "chest", fh);
        c.bone("fshin" + S, "fthigh" + S, {fh.x - 0.1, fh.y, H * 0.45});
        c.bone("hthigh" + S, "body", bh);
        c.bone("hshin" + S, "hthigh" + S, {bh.x - 0.5, bh.y, H * 0.42});
    }
    Build B{c};
    int bodyR = part(c, s.body, 5.0f, 3.0f, Face::None, 0.0f);
    int chestR = part(c, s.body, 4.0f, 2.6f, Face::None, 0.0f);
    int thighR = part(c, s.legs, 1.8f, 2.2f);
    int shinR = part(c, s.legs, 1.4f, 2.2f);
    int pawR = part(c, s.belly, 1.0f, 0.8f);
    int tailR = part(c, s.tail, 1.2f, 2.6f, Face::None, 0.0f);
    B.along("body", bodyR, {-L * 0.56, 0, H}, {L * 0.2, 0, H}, g, g * 0.9, 5, 10);
    B.along("chest", chestR, {L * 0.05, 0, H}, {L * 0.58, 0, H + 0.15 * g}, g * 1.05, g * 0.95, 5,
            10);
    for (char sd : {'L', 'R'}) {
        double m = sd == 'L' ? 1 : -1;
        std::string S(1, sd);
        Vec3 fh{j.frontHipL.x, j.frontHipL.y * m, j.frontHipL.z};
        Vec3 bh{j.backHipL.x, j.backHipL.y * m, j.backHipL.z};
        Vec3 fk{fh.x - 0.1, fh.y, H * 0.45}, bk{bh.x - 0.5, bh.y, H * 0.42};
        B.limb(("fthigh" + S).c_str(), thighR, fh + Vec3{0, 0, 0.3 * g}, fk, s.legRadius * 1.5,
               s.legRadius, 6, "chest");
        B.limb(("fshin" + S).c_str(), shinR, fk, {fk.x + 0.1, fk.y, 0.35}, s.legRadius,
               s.legRadius * 0.8, 6, ("fthigh" + S).c_str());
        B.ell(("fshin" + S).c_str(), pawR, {fk.x + 0.35, fk.y, 0.28},
              Vec3{0.75, 0.55, 0.3} * (s.legRadius / 0.55), 3, 6);
        B.limb(("hthigh" + S).c_str(), thighR, bh + Vec3{0, 0, 0.3 * g}, bk, s.legRadius * 1.7,
               s.legRadius, 6, "body");
        B.limb(("hshin" + S).c_str(), shinR, bk, {bk.x + 0.4, bk.y, 0.35}, s.legRadius,
               s.legRadius * 0.8, 6, ("hthigh" + S).c_str());
        B.ell(("hshin" + S).c_str(), pawR, {bk.x + 0.7, bk.y, 0.28},
              Vec3{0.75, 0.55, 0.3} * (s.legRadius / 0.55), 3, 6);
    }
    B.limb("tail1", tailR, j.tail1, j.tail1 + Vec3{-seg, 0, -0.35 * seg}, 0.35 * g, 0.25 * g, 6,
           "body");
    B.limb("tail2", tailR, j.tail1 + Vec3{-seg, 0, -0.35 * seg},
           j.tail1 + Vec3{-2 * seg, 0, -0.55 * seg}, 0.25 * g, 0.17 * g, 6, "tail1");
    B.limb("tail3", tailR, j.tail1 + Vec3{-2 * seg, 0, -0.55 * seg},
           j.tail1 + Vec3{-3 * seg, 0, -0.5 * seg}, 0.17 * g, 0.08 * g, 6, "tail2");
    if (!s.humanTorso) {
        int neckR = part(c, s.body, 2.0f, 1.8f, Face::None, 0.0f);
        int headR = part(c, s.head, 2.8f, 2.0f, Face::None, 0.0f);
        int eyeR = part(c, s.eyes, 0.6f, 0.6f);
        B.limb("neck", neckR, j.neck, j.head, 0.62 * g, 0.38 * hs, 8, "chest");
        B.along("head", headR, j.head + Vec3{-0.45 * hs, 0, 0.05 * hs},
                j.head + Vec3{1.5 * hs, 0, -0.15 * hs}, 0.5 * hs, 0.48 * hs, 6, 10);
        B.along("jaw", headR, j.jaw + Vec3{-0.2 * hs, 0, 0}, j.jaw + Vec3{1.2 * hs, 0, -0.05 * hs},
                0.36 * hs, 0.18 * hs, 4, 8);
        B.ellPair("head", eyeR, j.head + Vec3{0.45 * hs, 0.33 * hs, 0.22 * hs},
                  Vec3{0.14, 0.1, 0.12} * hs, 3, 6);
    }
    return j;
}

} // namespace content
