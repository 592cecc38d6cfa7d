#include "model/slot.h"

#include "core/log.h"
#include "platform/win.h"
#include "render/engine.h"
#include "render/stream_draw.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

ModelSlot g_modelSlots[MODEL_SLOT_COUNT];

namespace {

int g_nextInstanceId = 0;
AnimationClock g_animationClock = nullptr;

// Frame numbers outside this range mark an animation as unusable.
constexpr int MAX_FRAME_NUMBER = 10000;

const char* const IDLE_WORDS[6] = {"idle", "stand", "look", "NULL", "NULL", "NULL"};
const char* const PAIN_WORDS[6] = {"pain", "hurt", "NULL", "NULL", "NULL", "NULL"};
const char* const DEATH_WORDS[6] = {"death", "die", "NULL", "NULL", "NULL", "NULL"};
const char* const WALK_WORDS[6] = {"walk", "run", "NULL", "NULL", "NULL", "NULL"};
const char* const ATTACK_WORDS[6] = {"attack", "NULL", "fire", "bite", "NULL", "NULL"};

// Characters match when their codes are equal or 32 apart (letter case).
bool sameLetter(char a, char b) {
    int d = int(static_cast<unsigned char>(a)) - int(static_cast<unsigned char>(b));
    return d == 0 || d == 32 || d == -32;
}

bool wordAt(const char* word, const char* text) {
    for (; *word; ++word, ++text)
        if (*text == '\0' || !sameLetter(*word, *text)) return false;
    return true;
}

bool stopAt(const char* stop, const char* text) {
    return std::strncmp(text, stop, std::strlen(stop)) == 0;
}

const Model* engineModel(int index) {
    if (index < 0 || index >= MODEL_TABLE_SIZE) return nullptr;
    return &g_engine.models[index];
}

GLuint skinTexture(int index) {
    if (index < 0 || index >= SKIN_TEXTURE_COUNT) return 0;
    return g_engine.skinTextures[index];
}

float lightAtInstance(const ModelInstance& instance) {
    const double* p = instance.position;
    if (g_engine.inDungeon) {
        return g_modelQueries.dungeonLight ? g_modelQueries.dungeonLight(p[0], p[1]) : 1.0f;
    }
    return g_modelQueries.outsideLight ? g_modelQueries.outsideLight(p[0], p[1], p[2]) : 1.0f;
}

bool isPickedCreature(int id) {
    return g_modelQueries.isPicked && g_modelQueries.isPicked(PICK_TYPE_CREATURE, id);
}

void setInstanceColour(const ModelInstance& instance) {
    if (isPickedCreature(instance.id)) {
        glColor3f(1.0f, 1.0f, 1.0f);
        return;
    }
    float l = g_engine.lightEnabled ? instance.light : 1.0f;
    if (g_engine.inDungeon == 1)
        glColor3f(l * 1.0f, l * 0.55f, l * 0.25f);
    else
        glColor3f(l, l, l);
}

// A frame's vertices are usable when it has all the vertices the faces index.
bool hasVertices(const FrameMesh* mesh, std::size_t count) {
    return mesh && mesh->vertices.size() >= count;
}

void emitBlendedTriangles(const FrameMesh& first, const FrameMesh& current, const FrameMesh& target,
                          float t) {
    static std::vector<StreamVertex> out;
    const bool textured = !first.texCoords.empty();
    const int faceCount = std::min(current.faceCount, int(first.faces.size()));
    if (faceCount <= 0) return;
    out.resize(std::size_t(faceCount) * 3);
    StreamVertex* v = out.data();
    for (int f = 0; f < faceCount; ++f) {
        const Face& face = first.faces[std::size_t(f)];
        for (int k = 0; k < 3; ++k, ++v) {
            const TexCoord tc =
                textured ? first.texCoords[std::size_t(face.texCoordIndex[k])] : TexCoord{};
            const Vec3f& a = current.vertices[std::size_t(face.vertexIndex[k])];
            const Vec3f& b = target.vertices[std::size_t(face.vertexIndex[k])];
            *v = {tc.u, tc.v, a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
        }
    }
    drawStreamedTriangles(out.data(), int(out.size()), textured);
}

} // namespace

bool containsWord(const char* word, const char* text, const char* stop) {
    for (const char* p = text; *p; ++p) {
        if (stopAt(stop, p)) return false;
        if (wordAt(word, p)) return true;
    }
    return false;
}

void setAnimationClock(AnimationClock clock) {
    g_animationClock = clock;
}

std::uint32_t animationTime() {
    return g_animationClock ? g_animationClock() : win::GetTickCount();
}

// ---- ModelSlot ---------------------------------------------------------------

void ModelSlot::setup(int modelIndex, int skinIndex) {
    textureIndex = skinIndex;
    model = engineModel(modelIndex);
    animationCount = model ? model->animationCount : 0;
    static const Model noModel;
    const Model& searched = model ? *model : noModel;
    idleAnimation = findAnimation(IDLE_WORDS, searched);
    painAnimation = findAnimation(PAIN_WORDS, searched);
    deathAnimation = findAnimation(DEATH_WORDS, searched);
    walkAnimation = findAnimation(WALK_WORDS, searched);
    attackAnimation = findAnimation(ATTACK_WORDS, searched);
    weaponAnimations[WEAPON_IDLE] = idleAnimation;
    weaponAnimations[WEAPON_WALK] = walkAnimation;
    weaponAnimations[WEAPON_PAIN] = painAnimation;
    weaponAnimations[WEAPON_ATTACK] = attackAnimation;
    weaponAnimations[WEAPON_DEATH] = deathAnimation;
    g_log << "[" << modelIndex << "] Anims: " << idleAnimation << ", " << painAnimation << ", "
          << deathAnimation << ", " << walkAnimation << ", " << attackAnimation << std::endl;
}

void ModelSlot::setWeapon(int modelIndex, int skinIndex) {
    hasWeapon = true;
    weaponTextureIndex = skinIndex;
    weaponModel = engineModel(modelIndex);
}

int ModelSlot::findAnimation(const char* const words[6], const Model& model) {
    for (std::size_t i = 0; i < model.animations.size(); ++i) {
        const char* name = model.animations[i].name.c_str();
        for (int w = 0; w < 6; ++w)
            if (containsWord(words[w], name, "cr")) return int(i);
    }
    return 1;
}

bool ModelSlot::showsWeapon(int animation) const {
    for (int entry : weaponAnimations)
        if (entry == animation) return true;
    return false;
}

float ModelSlot::stepTime(int nextFrame, ModelInstance& instance) const {
    const float now = float(animationTime());
    instance.elapsed = now - instance.lastTime;
    const float t = instance.elapsed / KEY_FRAME_MS;
    if (instance.elapsed >= KEY_FRAME_MS) {
        instance.frame = nextFrame;
        instance.lastTime = now;
    }
    return t;
}

bool chooseNextFrame(const Model& model, const ModelInstance& instance, int holdAnimation,
                     int& next) {
    const ModelAnimation* a = model.animation(instance.animation);
    if (!a) return false;
    if (a->startFrame < 0 || a->startFrame > MAX_FRAME_NUMBER || a->endFrame < 0 ||
        a->endFrame > MAX_FRAME_NUMBER || a->endFrame == 0)
        return false;
    // Wide arithmetic: a frame number set from outside may be any int.
    const long long following = (long long)instance.frame + 1;
    next = int(following % a->endFrame);
    if (instance.animation == holdAnimation && following == a->endFrame) next = a->endFrame - 1;
    if (next == 0) next = a->startFrame;
    return true;
}

bool ModelSlot::advance(ModelInstance& instance, const Model& shown, int holdAnimation,
                        int& current, int& next, float& t) const {
    if (!chooseNextFrame(shown, instance, holdAnimation, next)) return false;
    // The frame shown is taken before the clock may move the instance on.
    current = instance.frame;
    t = stepTime(next, instance);
    return true;
}

void ModelSlot::draw(ModelInstance& instance) const {
    if (!model) return;
    instance.light = lightAtInstance(instance);
    setInstanceColour(instance);
    drawModel(instance, *model, textureIndex, deathAnimation);
    // The weapon has no death hold; it wraps like any other animation.
    if (hasWeapon && weaponModel && showsWeapon(instance.animation))
        drawModel(instance, *weaponModel, weaponTextureIndex, -1);
}

void ModelSlot::drawModel(ModelInstance& instance, const Model& shown, int skin,
                          int holdAnimation) const {
    int currentFrame = 0, nextFrame = 0;
    float t = 0.0f;
    if (!advance(instance, shown, holdAnimation, currentFrame, nextFrame, t)) return;
    const FrameMesh* current = shown.frame(currentFrame);
    const FrameMesh* target = shown.frame(nextFrame);
    const FrameMesh* first = shown.frame(0);
    // A frame number the model does not have leaves the instance undrawn
    // this time; the clock has already moved it on towards a valid one.
    if (!first) return;
    const std::size_t needed = std::size_t(std::max(first->vertexCount, 0));
    if (!hasVertices(current, needed) || !hasVertices(target, needed)) return;
    if (!first->texCoords.empty() && first->texCoords.size() < std::size_t(first->texCoordCount))
        return;

    glPushMatrix();
    glBindTexture(GL_TEXTURE_2D, skinTexture(skin));
    if (zOffset != 0) glTranslatef(0.0f, 0.0f, float(zOffset));
    glTranslatef(float(instance.position[0]), float(instance.position[1]),
                 float(instance.position[2]));
    glRotatef(float(instance.heading * 180.0 / M_PI), 0.0f, 0.0f, 1.0f);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glScalef(scale, scale, scale);
    emitBlendedTriangles(*first, *current, *target, t);
    glPopMatrix();
}

// ---- ModelInstance -------------------------------------------------------------

ModelInstance::ModelInstance() : id(g_nextInstanceId++) {}

void ModelInstance::setAnimation(int index) {
    animation = index;
    if (!slot || !slot->model) return;
    if (index < 0 || index >= slot->animationCount) return;
    const ModelAnimation* a = slot->model->animation(index);
    if (!a) return;
    std::snprintf(animationName, sizeof animationName, "%s", a->name.c_str());
    frame = a->startFrame;
}

void ModelInstance::draw() {
    if (slot) slot->draw(*this);
}
