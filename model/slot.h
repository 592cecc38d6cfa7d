// Model slots and instances. A slot binds a shared model to a skin, a scale,
// a vertical offset, a picking box, its five standard animations and
// optionally a weapon model drawn with the same animation. An instance is
// one actor's pose: position, heading, the playing animation and its frame.
// Drawing blends two key frames linearly, one key frame every 125 ms.
#pragma once

#include "model/md2.h"

#include <cstdint>

constexpr int MODEL_SLOT_COUNT = 100;
// Eight key frames a second.
constexpr float KEY_FRAME_MS = 1000.0f / 8.0f;
constexpr int ANIMATION_NAME_SIZE = 16; // 15 characters and the terminating zero
// The weapon's entries in weaponAnimations.
enum : int {
    WEAPON_IDLE = 0,
    WEAPON_WALK = 1,
    WEAPON_PAIN = 2,
    WEAPON_ATTACK = 3,
    WEAPON_DEATH = 4,
    WEAPON_ANIMATION_COUNT = 5,
};
// The pick type of creatures.
constexpr int PICK_TYPE_CREATURE = 19;

struct ModelInstance;

// True when word occurs in text (letters in either case) before the first
// place where stop occurs.
bool containsWord(const char* word, const char* text, const char* stop);

class ModelSlot {
  public:
    int pickWidth = 8;
    int pickHeight = 15;
    int halfHeight = 15 / 2;
    float scale = 0.25f;
    int zOffset = 0;
    int textureIndex = 0;
    const Model* model = nullptr;
    int animationCount = 0;
    int idleAnimation = 0;
    int painAnimation = 0;
    int deathAnimation = 0;
    int walkAnimation = 0;
    int attackAnimation = 0;
    bool hasWeapon = false;
    int weaponTextureIndex = 0;
    const Model* weaponModel = nullptr;
    // Idle, walk, pain, attack, death: the animations that show the weapon;
    // -1 never matches.
    int weaponAnimations[WEAPON_ANIMATION_COUNT] = {};

    // Binds the slot to entries of the engine's model and skin tables, finds
    // the standard animations by name and logs them.
    void setup(int modelIndex, int textureIndex);
    void setWeapon(int modelIndex, int textureIndex);
    // The first animation whose name holds one of the words (names starting
    // with "cr" never match); 1 when none does.
    static int findAnimation(const char* const words[6], const Model& model);
    void draw(ModelInstance& instance) const;
    // Advances the instance's key-frame clock; returns the blend factor
    // towards nextFrame (not clamped: above 1 after a long pause).
    float stepTime(int nextFrame, ModelInstance& instance) const;
    // True when the weapon model is drawn during this animation.
    bool showsWeapon(int animation) const;
    // What drawing does before it emits triangles: chooses the key frame to
    // blend towards (holdAnimation, the death animation or -1, stays on its
    // last frame) and runs the clock. Gives the frame shown before the clock
    // ran, the next frame and the blend factor; false when the model has no
    // such animation or its frame range is unusable.
    bool advance(ModelInstance& instance, const Model& shown, int holdAnimation, int& current,
                 int& next, float& t) const;

  private:
    void drawModel(ModelInstance& instance, const Model& shown, int skin, int holdAnimation) const;
};

struct ModelInstance {
    int id;
    double position[3] = {};
    float heading = 0.0f;
    int animation = 0;
    int frame = 0;
    char animationName[ANIMATION_NAME_SIZE] = {};
    float elapsed = 0.0f;
    float lastTime = 0.0f;
    float light = 1.0f;
    const ModelSlot* slot = nullptr;

    // Takes the next instance number (0 for the first instance made).
    ModelInstance();
    // Starts an animation of the slot's model at its first frame.
    void setAnimation(int index);
    void draw();
};

// The key frame to blend towards from the instance's frame in its
// animation: the next one, wrapping to the animation's start, except that
// holdAnimation (the death animation; -1 for none) stays on its last frame.
// False when the model has no such animation or its frame range is unusable.
bool chooseNextFrame(const Model& model, const ModelInstance& instance, int holdAnimation,
                     int& next);

// What drawing asks of the rest of the world: the light at a point outside
// and in the dungeon, and whether an object is the one under the pointer.
// The outside light starts as the local terrain's; the dungeon and the picker
// put theirs here. A query left empty gives full light or "not picked".
struct ModelWorldQueries {
    float (*outsideLight)(double x, double y, double z) = nullptr;
    float (*dungeonLight)(double x, double y) = nullptr;
    bool (*isPicked)(int type, int id) = nullptr;
};
extern ModelWorldQueries g_modelQueries;
// The outside light query installed at start: the local terrain's light, or
// full light before the terrain exists.
float worldOutsideLight(double x, double y, double z);

// The millisecond clock of key-frame animation: the platform tick count
// unless a test installs its own (nullptr restores the tick count).
using AnimationClock = std::uint32_t (*)();
void setAnimationClock(AnimationClock clock);
std::uint32_t animationTime();

extern ModelSlot g_modelSlots[MODEL_SLOT_COUNT];

// Fills the slot table at start-up: every slot the game uses with its model,
// skin, weapon and field overrides. Slots not listed stay empty.
void setupModelSlots();
