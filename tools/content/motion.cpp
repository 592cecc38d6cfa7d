#include "tools/content/motion.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace content {
namespace {

constexpr double PI = 3.14159265358979;
constexpr double TAU = 2 * PI;

// Adds to the rotation of a bone when the creature has it.
struct Poser {
    const Creature& c;
    Pose& pose;
    void rot(const char* name, double x, double y, double z) {
        int b = c.boneIndex(name);
        if (b < 0) return;
        pose.rotation[b] = pose.rotation[b] + Vec3{x, y, z};
    }
    void pitch(const char* name, double a) { rot(name, 0, a, 0); }
    void roll(const char* name, double a) { rot(name, a, 0, 0); }
    void yaw(const char* name, double a) { rot(name, 0, 0, a); }
    void scale(const char* name, double s) {
        int b = c.boneIndex(name);
        if (b >= 0) pose.scale[b] *= s;
    }
    bool has(const char* name) const { return c.boneIndex(name) >= 0; }
    // Left and right pairs: the left angle as given, the right mirrored for rolls and yaws.
    void pair(const char* left, const char* right, Vec3 l, Vec3 r) {
        rot(left, l.x, l.y, l.z);
        rot(right, r.x, r.y, r.z);
    }
};

double ease(double t) {
    return t <= 0 ? 0 : (t >= 1 ? 1 : t * t * (3 - 2 * t));
}
// 0 -> 1 -> 0 over the phase, for motions that start and end at rest.
double hump(double t) {
    return std::sin(PI * std::clamp(t, 0.0, 1.0));
}

void breathe(Poser& p, double phase, double amount) {
    double b = std::sin(TAU * phase) * amount;
    p.scale("chest", 1 + 0.035 * b);
    p.pitch("spine", -0.03 * b);
    p.pitch("head", 0.04 * std::sin(TAU * phase + 1));
    p.pitch("neck", 0.03 * b);
    p.pair("upperarmL", "upperarmR", {0.05 + 0.03 * b, 0, 0}, {-0.05 - 0.03 * b, 0, 0});
    p.pair("wingL", "wingR", {0.03 * b, 0, 0}, {-0.03 * b, 0, 0});
    p.yaw("tail1", 0.04 * std::sin(TAU * phase));
    p.yaw("tail2", 0.05 * std::sin(TAU * phase - 0.8));
    p.yaw("tail3", 0.06 * std::sin(TAU * phase - 1.6));
    p.pitch("jaw", 0.05 + 0.05 * b);
    for (int f = 1; f <= 5; ++f) {
        std::string name = "finger" + std::to_string(f) + "a";
        p.pitch(name.c_str(), 0.06 * std::sin(TAU * phase + f));
    }
}

// Legs and arms of a walk or run; stride in radians.
void gait(Poser& p, const Creature& c, double phase, double stride, double bounce) {
    double s = std::sin(TAU * phase), k = std::cos(TAU * phase);
    // Bipeds and birds: left and right in opposition, the knee bending on the forward swing.
    p.pitch("thighL", -stride * s);
    p.pitch("thighR", stride * s);
    p.pitch("shinL", stride * 1.1 * std::max(0.0, k));
    p.pitch("shinR", stride * 1.1 * std::max(0.0, -k));
    p.pitch("footL", -0.3 * stride * s);
    p.pitch("footR", 0.3 * stride * s);
    p.pitch("upperarmL", stride * 0.8 * s);
    p.pitch("upperarmR", -stride * 0.8 * s);
    p.pitch("forearmL", -0.25 - 0.2 * std::max(0.0, s));
    p.pitch("forearmR", -0.25 - 0.2 * std::max(0.0, -s));
    p.pitch("spine", 0.05 + bounce * 0.3);
    p.yaw("chest", 0.08 * s);
    // Four legs: diagonal pairs together.
    p.pitch("fthighL", -stride * s);
    p.pitch("hthighR", -stride * s);
    p.pitch("fthighR", stride * s);
    p.pitch("hthighL", stride * s);
    p.pitch("fshinL", -stride * std::max(0.0, k));
    p.pitch("fshinR", -stride * std::max(0.0, -k));
    p.pitch("hshinL", stride * std::max(0.0, -k));
    p.pitch("hshinR", stride * std::max(0.0, k));
    p.pitch("head", 0.08 * std::sin(2 * TAU * phase));
    p.yaw("tail1", 0.2 * s);
    p.yaw("tail2", 0.25 * std::sin(TAU * phase - 0.7));
    p.yaw("tail3", 0.3 * std::sin(TAU * phase - 1.4));
    // Serpents: a wave travels down the body.
    for (int i = 1; i <= 6; ++i) {
        std::string name = "seg" + std::to_string(i);
        p.yaw(name.c_str(), 0.35 * std::sin(TAU * phase - i * 0.9));
    }
    // The hand walks on its fingers, neighbours out of step.
    for (int f = 1; f <= 5; ++f) {
        std::string a = "finger" + std::to_string(f) + "a", b = "finger" + std::to_string(f) + "b";
        double w = std::sin(TAU * phase + f * 2.1);
        p.pitch(a.c_str(), -0.35 * w);
        p.pitch(b.c_str(), 0.3 * std::max(0.0, w));
    }
    p.pair("wingL", "wingR", {0.1 + 0.1 * s, 0, 0}, {-0.1 - 0.1 * s, 0, 0});
    if (c.plan == BodyPlan::Bird) p.pitch("neck", 0.25 * std::max(0.0, std::sin(2 * TAU * phase)));
    if (c.upright) {
        // Short legs swing far, the body rocks from foot to foot and the
        // flippers hold out for balance.
        p.pitch("thighL", -0.8 * stride * s);
        p.pitch("thighR", 0.8 * stride * s);
        p.roll(c.skeleton.bones[0].name.c_str(), 0.12 * s);
        p.pair("wingL", "wingR", {0.35, 0, 0}, {-0.35, 0, 0});
    }
    if (c.plan == BodyPlan::Floater) {
        // Flies: dips and rises with the head tipped forward, snapping its jaw.
        p.pose.rootOffset.z += 1.0 * std::sin(TAU * phase);
        p.pitch(c.skeleton.bones[0].name.c_str(), 0.25 + 0.1 * s);
        p.pitch("jaw", 0.35 * std::max(0.0, std::sin(2 * TAU * phase)));
        p.pair("armL", "armR", {0, 0.3 * s, 0}, {0, -0.3 * s, 0});
    }
}

void attackSwing(Poser& p, const Creature& c, double phase, bool thrust) {
    // Wind up, strike, recover.
    double wind = ease(phase / 0.35), strike = ease((phase - 0.35) / 0.25),
           back = ease((phase - 0.7) / 0.3);
    double amount = wind - back;
    if (!thrust) {
        p.pitch("upperarmR", -2.4 * wind + 2.9 * strike - 0.5 * back);
        p.pitch("forearmR", -0.8 * wind + 0.6 * strike + 0.2 * back);
        p.pitch("upperarmL", -0.5 * amount);
        p.pitch("spine", -0.15 * wind + 0.45 * strike - 0.3 * back);
        p.yaw("chest", 0.35 * wind - 0.6 * strike + 0.25 * back);
    } else {
        p.pitch("upperarmR", -0.4 * wind - 1.0 * strike + 1.4 * back);
        p.pitch("forearmR", -1.4 * wind + 1.4 * strike);
        p.pitch("spine", -0.1 * wind + 0.35 * strike - 0.25 * back);
        p.yaw("chest", 0.3 * wind - 0.3 * back);
    }
    p.pitch("thighL", -0.35 * amount);
    p.pitch("shinL", 0.3 * amount);
    p.pitch("thighR", 0.2 * amount);
    // Biters lunge with the head and open the jaw; four-legged ones rear slightly.
    double bite = hump((phase - 0.2) / 0.6);
    p.pitch("neck", 0.5 * bite - 0.3 * wind * (1 - strike));
    p.pitch("head", 0.3 * bite);
    p.pitch("jaw", 0.7 * bite);
    p.pitch("fthighL", -0.5 * bite);
    p.pitch("fthighR", -0.3 * bite);
    p.pitch("body", -0.15 * wind + 0.2 * strike - 0.05 * back);
    p.pitch("seg5", -0.4 * wind + 0.7 * strike - 0.3 * back);
    p.pitch("seg6", -0.3 * wind + 0.6 * strike - 0.3 * back);
    p.pitch("finger1a", -0.9 * wind + 1.4 * strike - 0.5 * back);
    p.pitch("finger2a", -0.9 * wind + 1.4 * strike - 0.5 * back);
    p.pitch("palm", -0.3 * wind + 0.3 * back);
    p.pair("wingL", "wingR", {0.6 * bite, 0, 0}, {-0.6 * bite, 0, 0});
    if (c.plan == BodyPlan::Floater) p.pose.rootOffset.x += 3.0 * bite;
    p.pair("armL", "armR", {0, -1.0 * bite, 0}, {0, -1.0 * bite, 0});
}

void painFlinch(Poser& p, const Creature& c, double phase, double side) {
    double f = hump(phase) * (phase < 0.3 ? phase / 0.3 : 1.0);
    p.pitch("spine", -0.35 * f);
    p.pitch("chest", -0.2 * f);
    p.roll("chest", 0.2 * side * f);
    p.pitch("head", -0.45 * f);
    p.pitch("neck", -0.3 * f);
    p.pair("upperarmL", "upperarmR", {0.5 * f, -0.6 * f, 0}, {-0.5 * f, -0.6 * f, 0});
    p.pair("forearmL", "forearmR", {0, -0.9 * f, 0}, {0, -0.9 * f, 0});
    p.pitch("thighL", 0.25 * f);
    p.pitch("shinL", 0.4 * f);
    p.pitch("body", -0.2 * f);
    p.roll("body", 0.1 * side * f);
    p.pitch("jaw", 0.5 * f);
    p.pair("wingL", "wingR", {0.8 * f, 0, 0}, {-0.8 * f, 0, 0});
    for (int i = 1; i <= 6; ++i) {
        std::string name = "seg" + std::to_string(i);
        p.yaw(name.c_str(), 0.25 * side * f);
    }
    if (c.plan == BodyPlan::Floater) p.roll("body", 0.5 * side * std::sin(3 * TAU * phase) * f);
    if (c.plan == BodyPlan::Hand) p.roll("palm", 0.4 * side * f);
}

// Falls and ends lying on the ground: backwards, or onto the side for
// four-legged and long bodies.
void dyingFall(Poser& p, const Creature& c, double phase, bool forward) {
    double t = ease(phase / 0.85), buckle = ease(phase / 0.4);
    const char* root = c.skeleton.bones[0].name.c_str();
    switch (c.plan) {
    case BodyPlan::Biped:
        p.pitch(root, forward ? 1.45 * t : -1.5 * t);
        p.pitch("thighL", (forward ? -0.4 : 0.6) * buckle);
        p.pitch("shinL", 1.1 * buckle * (1 - t * 0.7));
        p.pitch("thighR", -0.2 * buckle);
        p.pitch("shinR", 0.8 * buckle * (1 - t * 0.5));
        p.pair("upperarmL", "upperarmR", {1.0 * t, forward ? -1.2 * t : 0.5 * t, 0},
               {-1.0 * t, forward ? -1.2 * t : 0.5 * t, 0});
        p.yaw("handR", 1.5 * t); // what the hand holds ends lying flat
        p.pitch("head", (forward ? -0.3 : 0.4) * t);
        p.pitch("spine", 0.2 * buckle * (1 - t));
        p.pitch("jaw", 0.4 * t);
        p.pair("wingL", "wingR", {-0.4 * t, 0, 0}, {0.4 * t, 0, 0});
        break;
    case BodyPlan::Bird:
        if (c.upright) {
            // Topples forward onto its belly, flippers flat beside it.
            p.pitch(root, 1.5 * t);
            p.pitch("head", -0.5 * t);
            p.pair("wingL", "wingR", {0.2 * t, 0, 0}, {-0.2 * t, 0, 0});
            p.pair("thighL", "thighR", {0, 0.4 * t, 0}, {0, 0.4 * t, 0});
            break;
        }
        [[fallthrough]];
    case BodyPlan::Quadruped:
        p.roll(root, 1.5 * t);
        p.pair("fthighL", "fthighR", {0, -0.5 * t, 0}, {0, 0.3 * t, 0});
        p.pair("hthighL", "hthighR", {0, 0.5 * t, 0}, {0, -0.3 * t, 0});
        p.pair("thighL", "thighR", {0, -0.6 * t, 0}, {0, 0.4 * t, 0});
        p.pitch("neck", -0.6 * buckle + 0.9 * t);
        p.pitch("head", 0.4 * t);
        p.pitch("jaw", 0.5 * t);
        // Rolled onto its side, the wings fold flat along the ground.
        p.pair("wingL", "wingR", {-1.4 * t, 0, 0}, {-1.4 * t, 0, 0});
        p.pitch("upperarmL", -0.8 * t);
        p.pitch("upperarmR", 0.6 * t);
        break;
    case BodyPlan::Serpent:
        p.pitch("seg4", 0.5 * t);
        p.pitch("seg5", 0.7 * t);
        p.pitch("seg6", 0.4 * t);
        p.roll(root, 1.2 * t);
        for (int i = 1; i <= 6; ++i) {
            std::string name = "seg" + std::to_string(i);
            p.yaw(name.c_str(), 0.3 * std::sin(i * 1.3) * t);
        }
        p.pitch("jaw", 0.6 * t);
        break;
    case BodyPlan::Floater:
        p.roll(root, 1.3 * t);
        p.pitch(root, 0.5 * t);
        p.pitch("jaw", 0.8 * t);
        p.pair("armL", "armR", {0.8 * t, 0, 0}, {-0.8 * t, 0, 0});
        break;
    case BodyPlan::Hand:
        p.roll(root, 3.0 * t); // turns palm up
        for (int f = 1; f <= 5; ++f) {
            std::string a = "finger" + std::to_string(f) + "a",
                        b = "finger" + std::to_string(f) + "b";
            p.pitch(a.c_str(), -0.6 * t);
            p.pitch(b.c_str(), -0.7 * t);
        }
        break;
    }
}

void gesture(Poser& p, Motion m, double phase) {
    double h = hump(phase);
    switch (m) {
    case Motion::Salute:
        p.pitch("upperarmR", -2.2 * h);
        p.roll("upperarmR", -0.6 * h);
        p.pitch("forearmR", -1.6 * h);
        break;
    case Motion::Wave:
        p.roll("upperarmR", -2.6 * h);
        p.roll("forearmR", 0.5 * std::sin(3 * TAU * phase) * h);
        break;
    case Motion::Point:
        p.pitch("upperarmR", -1.5 * h);
        p.yaw("chest", 0.3 * h);
        break;
    case Motion::Taunt:
        p.pair("upperarmL", "upperarmR", {1.2 * h, -0.4 * h, 0}, {-1.2 * h, -0.4 * h, 0});
        p.pitch("spine", -0.2 * h);
        p.pitch("head", -0.3 * h + 0.15 * std::sin(2 * TAU * phase));
        p.pitch("jaw", 0.6 * h);
        p.pitch("neck", -0.4 * h);
        break;
    case Motion::Roar:
    case Motion::Rear:
        p.pitch("body", -0.5 * h);
        p.pitch("chest", -0.3 * h);
        p.pair("fthighL", "fthighR", {0, -0.9 * h, 0}, {0, -0.7 * h, 0});
        p.pair("fshinL", "fshinR", {0, -0.8 * h, 0}, {0, -0.8 * h, 0});
        p.pitch("neck", -0.5 * h);
        p.pitch("jaw", 0.8 * h);
        p.pair("upperarmL", "upperarmR", {1.0 * h, -1.0 * h, 0}, {-1.0 * h, -1.0 * h, 0});
        break;
    case Motion::Flap:
        p.pair("wingL", "wingR", {0.9 * std::sin(TAU * phase), 0, 0},
               {-0.9 * std::sin(TAU * phase), 0, 0});
        p.pair("wingtipL", "wingtipR", {0.5 * std::sin(TAU * phase - 0.8), 0, 0},
               {-0.5 * std::sin(TAU * phase - 0.8), 0, 0});
        break;
    default:
        break;
    }
}

} // namespace

bool endsOnLastFrame(Motion m) {
    return m == Motion::Death || m == Motion::Death2;
}

PoseResult poseFor(const Creature& c, Motion motion, double phase, Pose& pose) {
    Poser p{c, pose};
    PoseResult result;
    switch (motion) {
    case Motion::Stand:
    case Motion::Idle:
        breathe(p, phase, 1.0);
        if (motion == Motion::Idle) {
            p.yaw("head", 0.45 * std::sin(TAU * phase));
            p.yaw("neck", 0.2 * std::sin(TAU * phase));
        }
        break;
    case Motion::Walk:
        gait(p, c, phase, 0.45, 0.0);
        break;
    case Motion::Run:
        gait(p, c, phase, 0.8, 0.4);
        result.lift = c.plan == BodyPlan::Floater ? 0 : 0.3 * std::fabs(std::sin(TAU * phase));
        break;
    case Motion::Attack:
        attackSwing(p, c, phase, false);
        break;
    case Motion::Attack2:
        attackSwing(p, c, phase, true);
        break;
    case Motion::Pain:
        painFlinch(p, c, phase, 1.0);
        break;
    case Motion::Pain2:
        painFlinch(p, c, phase, -1.0);
        break;
    case Motion::Death:
    case Motion::Death2:
        dyingFall(p, c, phase, motion == Motion::Death2);
        result.groundBlend = ease(phase / 0.85);
        break;
    case Motion::Jump:
    case Motion::Flip: {
        double crouch = hump(phase / 0.25) * (phase < 0.25 ? 1 : 0) +
                        hump((phase - 0.75) / 0.25) * (phase > 0.75);
        p.pair("thighL", "thighR", {0, -0.8 * crouch, 0}, {0, -0.8 * crouch, 0});
        p.pair("shinL", "shinR", {0, 1.4 * crouch, 0}, {0, 1.4 * crouch, 0});
        double air = hump((phase - 0.2) / 0.6);
        result.lift = 3.0 * air;
        p.pair("upperarmL", "upperarmR", {0.4 * air, -2.0 * air, 0}, {-0.4 * air, -2.0 * air, 0});
        if (motion == Motion::Flip)
            p.pitch(c.skeleton.bones[0].name.c_str(), TAU * ease((phase - 0.2) / 0.6));
        gait(p, c, 0.25, 0.3 * air, 0);
        break;
    }
    case Motion::Salute:
    case Motion::Wave:
    case Motion::Point:
    case Motion::Taunt:
    case Motion::Rear:
    case Motion::Roar:
    case Motion::Flap:
        breathe(p, phase, 0.5);
        gesture(p, motion, phase);
        break;
    case Motion::CrouchStand:
    case Motion::CrouchWalk:
    case Motion::CrouchAttack:
        p.pair("thighL", "thighR", {0, -1.1, 0}, {0, -1.1, 0});
        p.pair("shinL", "shinR", {0, 1.8, 0}, {0, 1.8, 0});
        p.pitch("spine", 0.3);
        if (motion == Motion::CrouchWalk)
            gait(p, c, phase, 0.25, 0);
        else if (motion == Motion::CrouchAttack)
            attackSwing(p, c, phase, true);
        else
            breathe(p, phase, 0.8);
        break;
    case Motion::Roost: {
        // Settles down onto the ground and tucks the head in.
        double t = ease(phase / 0.7);
        p.pair("thighL", "thighR", {0, -1.0 * t, 0}, {0, -1.0 * t, 0});
        p.pair("shinL", "shinR", {0, 2.0 * t, 0}, {0, 2.0 * t, 0});
        p.pitch("neck", 0.9 * t);
        p.pitch("head", 0.4 * t);
        p.pair("wingL", "wingR", {0.15 * t, 0, 0}, {-0.15 * t, 0, 0});
        breathe(p, phase, 0.6);
        break;
    }
    case Motion::Throb: {
        double s = std::sin(TAU * phase);
        p.scale("body", 1 + 0.06 * s);
        p.pitch("jaw", 0.35 + 0.3 * s);
        p.pair("armL", "armR", {0.3 * s, 0.2, 0}, {-0.3 * s, 0.2, 0});
        p.roll("body", 0.08 * std::sin(2 * TAU * phase));
        pose.rootOffset.z += 0.5 * s;
        break;
    }
    case Motion::Trailer:
        break;
    }
    if (c.plan == BodyPlan::Floater && motion != Motion::Death && motion != Motion::Death2 &&
        motion != Motion::Walk && motion != Motion::Run)
        pose.rootOffset.z += 0.4 * std::sin(TAU * phase);
    return result;
}

} // namespace content
