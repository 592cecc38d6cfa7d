// A model under construction: skeleton, body and weapon meshes, the skin
// regions its parts are painted in, and its animation list.
#pragma once

#include "tools/content/image.h"
#include "tools/content/mesh.h"

#include <cstdint>
#include <string>
#include <vector>

namespace content {

enum class Pattern {
    Skin,    // flesh with pores and blotches
    Fur,     // streaks along the part
    Scales,  // overlapping cells
    Cloth,   // weave and folds
    Metal,   // plates with rivets and sheen
    Bone,    // ivory with cracks
    Feather, // rows of feathers
    Leather, // creased hide with stitches
    Stone,   // cracked rock
    Flame,   // fire tongues (light on dark)
    Wood,    // grain
    Bark,    // deep vertical furrows
    Leaves,  // leaf clusters on pure black (the colour key)
    Hair,    // fine strands
    Glow,    // bright core, for eyes and blades
};

struct Material {
    Rgb base, accent;
    Pattern pattern = Pattern::Skin;
    bool tinted = true; // follows the skin variant's colour shift
};

enum class Face { None, Eyes, EyesMouth, Skull, Visor, OneEye };

struct SkinRegion {
    int material = 0;
    float width = 1, height = 1; // requested size (relative)
    Face face = Face::None;
    float lightU = 0.5f; // the u of the side facing the light
    UvRect rect;         // texels, set when the skin is laid out
};

// A variant of the skin: a hue turn and value scale for the tinted materials.
struct SkinVariant {
    float hueTurn = 0, saturation = 1, value = 1;
};

enum class Motion {
    Stand,
    Idle,
    Walk,
    Run,
    Attack,
    Attack2,
    Pain,
    Pain2,
    Death,
    Death2,
    Jump,
    Flip,
    Salute,
    Taunt,
    Wave,
    Point,
    CrouchStand,
    CrouchWalk,
    CrouchAttack,
    Rear,
    Roar,
    Flap,
    Roost,
    Throb,
    Trailer
};

struct AnimationSpec {
    std::string name;
    Motion motion;
    int frames;
};

enum class BodyPlan { Biped, Quadruped, Bird, Serpent, Floater, Hand };

struct Creature {
    std::string name;
    BodyPlan plan = BodyPlan::Biped;
    Skeleton skeleton;
    Mesh body, weapon;
    std::vector<int> bodyRegion, weaponRegion; // skin region of each texture coordinate
    std::vector<Material> materials;
    std::vector<SkinRegion> regions;
    std::vector<SkinVariant> variants{{}};
    std::vector<AnimationSpec> animations;
    double slotScale = 0.25; // world units per file unit
    int slotZOffset = 0;
    double hover = 0; // world units between the ground and the lowest point; 0 walks
    // Stands upright on short legs (the penguin): waddles with long swings of
    // its legs and falls forward onto its belly.
    bool upright = false;
    std::uint32_t seed = 0;

    // Building helpers: the current region is attached to every texture
    // coordinate added until the next call.
    int material(Rgb base, Rgb accent, Pattern pattern, bool tinted = true);
    int region(int material, float width, float height, Face face = Face::None,
               float lightU = 0.5f);
    Mesh& target(bool weaponPart) { return weaponPart ? weapon : body; }
    void use(int regionIndex, bool weaponPart = false);
    void close(); // tags the texture coordinates added since the last use()

    int bone(const std::string& name, const std::string& parent, Vec3 joint);
    int boneIndex(const std::string& name) const;

    // Lays the regions out in the 256 x 256 skin and turns every texture
    // coordinate into texels.
    void layOutSkin();

  private:
    int currentRegion = -1;
    bool currentWeapon = false;
    std::size_t tagged = 0, taggedWeapon = 0;
};

// The skin of a creature for one variant: every region painted with its material.
Image paintSkin(const Creature& creature, int variant);

} // namespace content
