#include "actor/creatures.h"

#include "actor/controller.h"
#include "actor/ground.h"
#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"
#include "model/slot.h"
#include "render/engine.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

CreatureSet g_creatures;

namespace {

// Model slot of each creature type: beast, disciple, ettin, wight, sara with
// her weapon, chaos, penguin, dragon, goblin with his weapon.
constexpr int kTypeSlots[CREATURE_TYPE_COUNT] = {0, 3, 5, 20, 26, 33, 14, 62, 68};

// Expansions per 10 ms of game time of one creature's search: a chase 150
// cells long is planned within 0.25 s.
constexpr int SEARCH_PER_UNIT = 2700;
// Expansions of all creatures' searches together in one frame: about 0.3 ms
// of search at some 20 ns an expansion, so that a frame's creatures stay
// well under 1 ms even when all of them plan long chases at once.
constexpr int SEARCH_PER_FRAME = 16000;

int manhattanToPlayer(float x, float y) {
    const double* p = playerActor().position;
    return std::abs(int(x - p[0])) + std::abs(int(y - p[1]));
}

bool searching(const ActorController& c) {
    return c.action == ACTION_CHASE || c.action == ACTION_RETURN_HOME;
}

} // namespace

int CreatureSearchBudget::grant(bool chasing, double timeFactor) const {
    int share = std::max(1, int(std::ceil(perUnit * std::max(timeFactor, 0.0))));
    int available = chasing ? remaining : remaining - share;
    return std::clamp(available, 0, share);
}

void CreatureSearchBudget::spend(long nodes) {
    remaining -= int(std::min<long>(nodes, remaining));
}

CreatureSet::CreatureSet() {
    searchBudget.perUnit = SEARCH_PER_UNIT;
    searchBudget.perFrame = SEARCH_PER_FRAME;
    searchBudget.startFrame();
}

void CreatureSet::initCreatureTypes() {
    for (int t = 0; t < CREATURE_TYPE_COUNT; ++t) {
        CreatureType& type = types[t];
        type.stats = NPCRecord{};
        type.slot = kTypeSlots[t];
        type.stats.maxHealth = 100;
        type.stats.health = 100;
        type.stats.maxMana = 100;
        type.stats.mana = 100;
        type.stats.experienceValue = 5;
        type.stats.s1 = 1;
    }
}

bool CreatureSet::inOuterRange(float x, float y) const {
    return manhattanToPlayer(x, y) < outerRange;
}

bool CreatureSet::inInnerRange(float x, float y) const {
    return manhattanToPlayer(x, y) < innerRange;
}

bool CreatureSet::isWalkable(float x, float y) const {
    return g_actorGround.isWalkable(x, y, 0.0);
}

bool CreatureSet::drawPlace(bool ring, double& x, double& y) const {
    const double* p = playerActor().position;
    for (int draw = 0; draw < MAX_SPAWN_DRAWS; ++draw) {
        x = p[0] + randomCentered(outerRange);
        y = p[1] + randomCentered(outerRange);
        float fx = float(x), fy = float(y);
        if (ring && inInnerRange(fx, fy)) continue;
        if (inOuterRange(fx, fy) && isWalkable(fx, fy)) return true;
    }
    return false;
}

// A creature that finds no place is left out, inactive and undrawn, and tries
// again after a while (the player may have moved on to open ground).
void CreatureSet::placeOrWait(int i, bool ring) {
    double x = 0.0, y = 0.0;
    if (drawPlace(ring, x, y)) {
        g_actors[i].position[0] = x;
        g_actors[i].position[1] = y;
        placed[i] = true;
        spawn(i);
        return;
    }
    if (placed[i])
        g_log << "ERROR: no walkable place to spawn creature " << i << " after " << MAX_SPAWN_DRAWS
              << " tries" << std::endl;
    placed[i] = false;
    g_actors[i].active = false;
    retryCountdown[i] = SPAWN_RETRY_FRAMES;
}

void CreatureSet::spawnAll() {
    if (g_engine.inDungeon) {
        outerRange = 1000;
        innerRange = 500;
    } else {
        outerRange = 1600;
        innerRange = 800;
    }
    for (int i = 0; i < CREATURE_COUNT; ++i) {
        placed[i] = true;
        placeOrWait(i, false);
    }
}

void CreatureSet::respawn(int i) {
    placeOrWait(i, true);
}

void CreatureSet::spawn(int i) {
    ActorController& c = g_actors[i];
    // random01 is 1.0 when the generator gives its largest value: the last type.
    int type = std::min(int(random01() * CREATURE_TYPE_COUNT), CREATURE_TYPE_COUNT - 1);
    const ModelSlot& slot = g_modelSlots[types[type].slot];
    c.setLook(&slot, slot.idleAnimation);
    c.isPlayer = 0;
    // Home is the box around the spawn cell: the creature wanders there and
    // chases the player who comes into it.
    int cellX = int(c.position[0]) / c.homeCellWidth;
    int cellY = int(c.position[1]) / c.homeCellHeight;
    c.homeMinCellX = cellX - HOME_HALF_EXTENT;
    c.homeMaxCellX = cellX + HOME_HALF_EXTENT;
    c.homeMinCellY = cellY - HOME_HALF_EXTENT;
    c.homeMaxCellY = cellY + HOME_HALF_EXTENT;
    // Whatever it was walking to belongs to its old place. A search left
    // over is never run on: wandering starts a new one at once.
    c.pathIndex = c.pathLength = 0;
    c.pathFound = c.newSearch = c.goalAccepted = false;
    c.setAction(ACTION_WANDER);
    c.stepAlongPath();

    const NPCRecord& stats = types[type].stats;
    NPCRecord& record = records[i];
    record.s1 = stats.s1;
    record.maxHealth = stats.maxHealth;
    record.maxMana = stats.maxMana;
    record.experienceValue = stats.experienceValue;
    record.health = stats.maxHealth;
    record.mana = stats.maxMana;
    record.controllerIndex = i;
    c.active = true;
}

void CreatureSet::runUpdate(int i) {
    ActorController& c = g_actors[i];
    bool chasing = searching(c);
    c.creatureBudget = searchBudget.grant(chasing, g_settings.timeFactor);
    long before = c.expansionsTotal;
    c.update();
    searchBudget.spend(c.expansionsTotal - before);
}

void CreatureSet::updateCreature(int i) {
    ActorController& c = g_actors[i];
    if (!placed[i]) {
        if (--retryCountdown[i] <= 0) respawn(i);
        if (!placed[i]) return;
    }
    if (!inOuterRange(float(c.position[0]), float(c.position[1]))) {
        respawn(i);
        if (!placed[i]) return;
    }
    if (c.active) runUpdate(i);
}

void CreatureSet::updateAll() {
    searchBudget.startFrame();
    for (int i = 0; i < CREATURE_COUNT; ++i) {
        updateCreature(i);
        if (placed[i]) g_actors[i].draw();
    }
}
