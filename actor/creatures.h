// The creatures: 24 actor controllers (entries 0 to 23 of the controller
// table) with their statistics, kept in a ring around the player. Each is
// given one of nine types when it is spawned; one left too far behind is
// spawned again in the ring with a new type and full health.
#pragma once

#include "records/records.h"

constexpr int CREATURE_COUNT = 24;
constexpr int CREATURE_TYPE_COUNT = 9;
// Half the side of a spawned creature's home box, in home cells of one unit.
constexpr int HOME_HALF_EXTENT = 50;
// Random places tried for one creature before it is left out for now.
constexpr int MAX_SPAWN_DRAWS = 10000;
// Frames a creature that found no place waits before it tries again.
constexpr int SPAWN_RETRY_FRAMES = 100;

struct CreatureType {
    NPCRecord stats;
    int slot = 0;
};

// How the creatures' path searches share the frame. Each search may expand
// `perUnit` nodes for every 10 ms of game time (so a chase is planned in the
// same game time at any frame rate), and all of them together at most
// `perFrame` nodes in one frame. Searches that do not chase or return home
// leave `perUnit` of the frame's share to those that do.
struct CreatureSearchBudget {
    int perUnit = 0;
    int perFrame = 0;
    int remaining = 0;

    void startFrame() { remaining = perFrame; }
    // What one creature may expand now, given the frame's time step.
    int grant(bool chasing, double timeFactor) const;
    void spend(long nodes);
};

class CreatureSet {
  public:
    CreatureType types[CREATURE_TYPE_COUNT];
    NPCRecord records[CREATURE_COUNT];
    int outerRange = 1600;
    int innerRange = 800;
    // False while a creature has found no place: it is neither updated nor drawn.
    bool placed[CREATURE_COUNT] = {};
    int retryCountdown[CREATURE_COUNT] = {};
    CreatureSearchBudget searchBudget;

    CreatureSet();

    void initCreatureTypes();
    // Sets the ranges for the current world and spawns all 24 around the player.
    void spawnAll();
    // Spawns creature i again in the ring innerRange..outerRange.
    void respawn(int i);
    // Gives creature i a random type, a home around where it stands and full health.
    void spawn(int i);
    // Per frame: respawns creatures left behind, updates the living, draws all.
    void updateAll();
    // One creature's part of updateAll, without drawing.
    void updateCreature(int i);

    // Manhattan distance to the player (each difference truncated) below the range.
    bool inOuterRange(float x, float y) const;
    bool inInnerRange(float x, float y) const;
    bool isWalkable(float x, float y) const;

  private:
    // Draws places until one is accepted, at most MAX_SPAWN_DRAWS; false when none was.
    bool drawPlace(bool ring, double& x, double& y) const;
    void placeOrWait(int i, bool ring);
    void runUpdate(int i);
};

extern CreatureSet g_creatures;
