// Body plans shared by the creatures: the skeleton and main parts of a biped,
// a four-legged body, a bird, a serpent, a floating head and a walking hand.
#pragma once

#include "tools/content/creature.h"

namespace content {

// Adds parts to the body or, with weapon set, to the weapon mesh.
struct Build {
    Creature& c;
    bool weapon = false;

    void ell(const char* bone, int region, Vec3 centre, Vec3 radii, int rings = 6,
             int segments = 10);
    // An ellipsoid stretched from a to b.
    void along(const char* bone, int region, Vec3 a, Vec3 b, double ry, double rz, int rings = 6,
               int segments = 10);
    void limb(const char* bone, int region, Vec3 a, Vec3 b, double ra, double rb, int segments = 8,
              const char* blendWith = nullptr);
    void cone(const char* bone, int region, Vec3 base, Vec3 tip, double radius, int segments = 6);
    void box(const char* bone, int region, Vec3 centre, Vec3 half);
    void card(const char* bone, int region, Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3);
    // The same part on both sides: bone names get L and R, the right side mirrored.
    void limbPair(const char* bone, int region, Vec3 a, Vec3 b, double ra, double rb,
                  int segments = 8, const char* blendWith = nullptr);
    void ellPair(const char* bone, int region, Vec3 centre, Vec3 radii, int rings = 5,
                 int segments = 8);
    void conePair(const char* bone, int region, Vec3 base, Vec3 tip, double radius,
                  int segments = 5);
    int boneOf(const char* name) const;
};

struct BipedSpec {
    double bulk = 1, headSize = 1, armLength = 1, legLength = 1, shoulders = 1, belly = 1;
    int skin = 0, torso = 0, legs = 0, feet = 0, hands = 0, head = 0; // materials
    Face face = Face::EyesMouth;
    bool robe = false;
};
// Joints of a biped in its own units (feet at 0, head top near 14).
struct BipedJoints {
    Vec3 pelvis, chest, neck, head, shoulderL, elbowL, wristL, hipL, kneeL, ankleL;
    double headTop;
};
BipedJoints buildBiped(Creature& c, const BipedSpec& s);

struct QuadSpec {
    double length = 10, backHeight = 6, girth = 1.6, legRadius = 0.55, neckLength = 2.5,
           headSize = 1.4, tailLength = 5;
    int body = 0, belly = 0, legs = 0, head = 0, eyes = 0, tail = 0; // materials
    bool humanTorso = false;
};
struct QuadJoints {
    Vec3 body, chest, neck, head, jaw, tail1, frontHipL, backHipL;
};
QuadJoints buildQuadruped(Creature& c, const QuadSpec& s);

// Region for a part made from a material: sizes scale the texels it gets.
int part(Creature& c, int material, float width, float height, Face face = Face::None,
         float lightU = 0.5f);

} // namespace content
