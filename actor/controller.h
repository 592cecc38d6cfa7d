// Actor controllers: the player's party leader and each creature are driven by
// one ActorController, which walks its model instance over the one-unit grid
// along a path of direction codes, finds paths by a breadth-first search spread
// over frames, and runs a small action machine (idle, go to a goal, wander,
// chase the player, return home).
#pragma once

#include "core/memory.h"
#include "model/slot.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

// Actions.
enum : int {
    ACTION_IDLE = 0,
    ACTION_GO_TO_GOAL = 2,
    ACTION_WANDER = 3,
    ACTION_CHASE = 4,
    ACTION_RETURN_HOME = 5,
};

constexpr int ACTOR_COUNT = 25;
constexpr int PLAYER_INDEX = 24;
// The model slot of the player's party leader.
constexpr int PLAYER_SLOT = 78;
constexpr int PATH_CAPACITY = 1000;
constexpr int PLAYER_SEARCH_LIMIT = 1000;
constexpr int CREATURE_SEARCH_LIMIT = 300;
// The visited grid covers the widest search (the player's) in both directions.
constexpr int VISITED_SIDE = 2 * PLAYER_SEARCH_LIMIT + 1;
constexpr std::size_t VISITED_BYTES = std::size_t(VISITED_SIDE) * VISITED_SIDE;
// Size of one cell of the home grid, in world units. One unit, the movement
// grid: a creature that is chased half its search limit of cells away from
// home must still be able to plan a path back, which needs home goals closer
// than the search limit in world units.
constexpr int HOME_CELL_SIZE = 1;
// Time the player's search may take in one frame, in milliseconds. The
// search is breadth-first, so how its work is cut into frames does not change
// the path it finds; the slice only decides how soon it is found. Tests set it.
extern double g_playerSearchSliceMs;
// Expansions between two looks at the clock while a slice runs: a slice of 0
// expands exactly this many nodes per frame.
constexpr int SEARCH_CLOCK_STRIDE = 64;
constexpr double START_X = 6366.0;
constexpr double START_Y = 5549.0;

// One queued partial path of the search, kept in the controller's node pool:
// the cell it reached, its length and its last step. The path itself is read
// back through the parent links once a path is found.
struct SearchNode {
    int x = 0, y = 0;
    // Pool index of the node this one extends; -1 for a first step.
    int parent = -1;
    std::int16_t length = 0;
    // Direction code of the last step.
    std::uint8_t code = 0;
};

// The nodes of one search in a block reserved once for the most a search can
// queue (each cell of its square once): the block never moves or grows, only
// the pages written are resident, and release() hands back those beyond a
// reserve. A growing vector instead left its outgrown copies in the heap,
// where a few long searches kept the resident size up for good.
class SearchPool {
  public:
    SearchPool() = default;
    SearchPool(const SearchPool&) = delete;
    SearchPool& operator=(const SearchPool&) = delete;
    ~SearchPool();
    // Room for `capacity` nodes, kept once made; false when the system refuses.
    bool reserve(std::size_t capacity);
    // Keeps the node unless the pool is full (which a search cannot make it).
    void push_back(const SearchNode& node) {
        if (size_ == capacity_) return;
        nodes_[size_++] = node;
        highWater_ = std::max(highWater_, size_);
    }
    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    const SearchNode& operator[](std::size_t k) const { return nodes_[k]; }
    const SearchNode* data() const { return nodes_; }
    void clear() { size_ = 0; }
    // Empties the pool and hands back the pages written beyond the first `keep` nodes.
    void release(std::size_t keep);

  private:
    SearchNode* nodes_ = nullptr;
    std::size_t capacity_ = 0, size_ = 0;
    // The most nodes held since the last release.
    std::size_t highWater_ = 0;
};

// A walk ends within this many cells of its goal.
constexpr int ARRIVE_DISTANCE = 20;

class ActorController {
  public:
    ModelInstance instance;
    double (&position)[3] = instance.position;
    double direction[3] = {0.0, 0.0, 0.0};
    float& heading = instance.heading;
    float pitch = 0.0f;
    bool moving = false;
    int action = ACTION_IDLE;
    int previousAction = ACTION_IDLE;
    float stepAccumulator = 0.0f;

    std::uint8_t path[PATH_CAPACITY] = {};
    int pathLength = 0;
    int pathIndex = 0;
    double goal[2] = {0.0, 0.0};

    // Search state: visited cells (row x + gridOffsetX, column y + gridOffsetY),
    // allocated once with the controller and cleared only where a search
    // reaches. The grid comes zeroed from the system in pages of its own, so
    // pages that no search reaches (most of a creature's, whose searches are
    // short) are never resident.
    struct FreeGrid {
        void operator()(std::uint8_t* grid) const { freeSparse(grid, VISITED_BYTES); }
    };
    std::unique_ptr<std::uint8_t[], FreeGrid> visited;
    // The rows and columns where cells were marked since the last clear: a
    // new search clears only those.
    int markedRows[2] = {VISITED_SIDE, -1};
    int markedColumns[2] = {VISITED_SIDE, -1};
    int gridOffsetX = 0;
    int gridOffsetY = 0;
    // Every node of the current search in the order it was queued; the queue
    // is the part from searchHead on (first in, first out).
    SearchPool searchNodes;
    std::size_t searchHead = 0;
    int searchGoalX = 0, searchGoalY = 0;
    bool pathFound = false;
    bool newSearch = false;
    bool goalAccepted = false;
    // Nodes taken from the queue since the current search was prepared, and
    // by all of this controller's searches.
    long expandedNodes = 0;
    long expansionsTotal = 0;
    // A creature's expansions for its next search run, handed out by the
    // creature set from the frame's share.
    int creatureBudget = 10;

    int idleCountdown = 0;
    int isPlayer = 0;
    int homeCellWidth = HOME_CELL_SIZE;
    int homeCellHeight = HOME_CELL_SIZE;
    int arriveDistance = ARRIVE_DISTANCE;
    int repathDistance = 20;
    int homeMinCellX = 502, homeMinCellY = 744, homeMaxCellX = 552, homeMaxCellY = 792;
    bool active = false;

    ActorController();
    ActorController(const ActorController&) = delete;
    ActorController& operator=(const ActorController&) = delete;

    // Radius of a search and length bound of a path; also the ring size of `path`.
    int searchLimit() const { return isPlayer ? PLAYER_SEARCH_LIMIT : CREATURE_SEARCH_LIMIT; }
    // Node expansions per search run of a creature, set by the creature set
    // each frame. The player's search runs for a slice of time instead
    // (g_playerSearchSliceMs).
    int expansionBudget() const { return isPlayer ? 100 : creatureBudget; }
    bool pathFinished() const { return pathIndex == pathLength; }

    void setLook(const ModelSlot* slot, int animation);
    void setAction(int newAction);
    // The per-frame action logic.
    void update();
    // One frame of movement along the path; stands the actor on the ground.
    void stepAlongPath();
    // Begins a search to `goal` (its first run only prepares it).
    void startSearch();
    void startMoving();
    void moveForward();
    void moveBackward();
    void moveLeft();
    void moveRight();
    // True when the horizontal distance to (x, y) is at most `radius`.
    bool isNear(double x, double y, double z, float radius) const;
    void draw();

    // One run of the path search (see pathfinding.cpp).
    void search();
    bool searchQueueEmpty() const { return searchHead == searchNodes.size(); }
    void clearSearchQueue() {
        searchNodes.clear();
        searchHead = 0;
    }
    // |goal x - x| + |goal y - y| of a node's cell, in cells.
    int distanceToGoal(const SearchNode& node) const;

    // Sets `goal` to a random cell of the home box.
    void chooseHomeGoal();

  private:
    void setDirection(float angle);
    void moveToward(float angle);
    void stepOnce();
    void standOnGround();
    void arriveIdle();
    void startAnimation(int ModelSlot::*which);
    void updateChase();
    void updateReturnHome();
    void updateOnFinishedPath();
    void prepareSearch();
    void expandSearch();
    void expandNodes(int budget);
    void queueChild(int parentIndex, int x, int y, int length, int code);
    void writePath(int resultIndex);
    void clearVisited();
    void endSearch();
};

extern ActorController g_actors[ACTOR_COUNT];
inline ActorController& playerActor() {
    return g_actors[PLAYER_INDEX];
}

// Unit vector of a heading and pitch (the heading is first brought into 0..2 pi).
void directionFromAngles(float heading, float pitch, double out[3]);

// Start-up: binds the player to its look and start point, and stands it on the ground.
void bindPlayer(const ModelSlot* slot);
void initPlayer();
