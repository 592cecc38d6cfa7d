// Breadth-first path search over the one-unit grid, spread over frames. The
// queue is first in, first out, so the first path to come within
// `arriveDistance` of the goal is one of the shortest; children never turn
// more than 90 degrees from their parent's last step. Nodes live in a pool in
// the order they were queued and name their parent, so a step costs one small
// record and the path is read back once, at the end.
#include "actor/controller.h"

#include "actor/directions.h"
#include "actor/ground.h"
#include "core/memory.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>

double g_playerSearchSliceMs = 2.0;

namespace {

// Children of a node by the letter of its last step: the same direction and
// the four within 90 degrees of it, in the order they are queued.
const char* childLetters(int code) {
    switch (dir::kSteps[code].letter) {
    case 'u':
        return "urleq";
    case 'd':
        return "drlzx";
    case 'r':
        return "urdez";
    case 'l':
        return "udlxq";
    case 'e':
        return "urzeq";
    case 'q':
        return "qulex";
    case 'x':
        return "dlxzq";
    case 'z':
        return "drzxe";
    default:
        return "";
    }
}

// The start node's children, in order.
constexpr const char* kFirstLetters = "durlqexz";

constexpr int CHILD_COUNT = 5;
// Nodes whose pages a pool keeps after a search, so that the searches of the
// everyday walk write into pages already there: a creature's short chases,
// and the player's walks of a few hundred steps (200 steps over open ground
// queue about 160 000 nodes). Only longer searches hand pages back.
constexpr std::size_t CREATURE_POOL_KEEP = std::size_t(1) << 16;
constexpr std::size_t PLAYER_POOL_KEEP = std::size_t(1) << 18;
// Marked spans of the visited grid from this size on are cleared by handing
// their pages back rather than by writing zeros.
constexpr std::size_t RELEASED_CLEAR_BYTES = std::size_t(1) << 18;

// The child orders as direction codes, indexed by the parent's last code.
struct ChildTable {
    int codes[dir::COUNT][CHILD_COUNT] = {};
    ChildTable() {
        for (int c = 0; c < dir::COUNT; ++c)
            for (int k = 0; k < CHILD_COUNT; ++k)
                codes[c][k] = dir::codeOf(childLetters(c)[k]);
    }
};
const ChildTable kChildren;

} // namespace

SearchPool::~SearchPool() {
    freeSparse(reinterpret_cast<std::uint8_t*>(nodes_), capacity_ * sizeof(SearchNode));
}

bool SearchPool::reserve(std::size_t capacity) {
    if (capacity <= capacity_) return true;
    std::uint8_t* block = allocateSparse(capacity * sizeof(SearchNode));
    if (!block) return false;
    freeSparse(reinterpret_cast<std::uint8_t*>(nodes_), capacity_ * sizeof(SearchNode));
    nodes_ = reinterpret_cast<SearchNode*>(block);
    capacity_ = capacity;
    size_ = highWater_ = 0;
    return true;
}

void SearchPool::release(std::size_t keep) {
    size_ = 0;
    if (highWater_ <= keep) return;
    zeroAndRelease(reinterpret_cast<std::uint8_t*>(nodes_ + keep),
                   (highWater_ - keep) * sizeof(SearchNode));
    highWater_ = keep;
}

int ActorController::distanceToGoal(const SearchNode& node) const {
    return std::abs(searchGoalX - node.x) + std::abs(searchGoalY - node.y);
}

// Queues the step to cell (x, y) when the cell may be entered: no negative
// coordinate, not yet visited by this search, walkable. The length limit is
// checked by the caller, once for all children of a node. The cheap tests come
// first, so a refused cell costs no walkability question and no node.
void ActorController::queueChild(int parentIndex, int x, int y, int length, int code) {
    if (x < 0 || y < 0) return;
    const int row = x + gridOffsetX, column = y + gridOffsetY;
    // Only reachable while the search's limit stays what it was prepared with.
    if (row < 0 || row >= VISITED_SIDE || column < 0 || column >= VISITED_SIDE) return;
    std::uint8_t& cell = visited[std::size_t(row) * VISITED_SIDE + column];
    if (cell == 1) return;
    if (!g_actorGround.isWalkable(x, y, position[2])) return;
    cell = 1;
    markedRows[0] = std::min(markedRows[0], row);
    markedRows[1] = std::max(markedRows[1], row);
    markedColumns[0] = std::min(markedColumns[0], column);
    markedColumns[1] = std::max(markedColumns[1], column);
    searchNodes.push_back(SearchNode{x, y, parentIndex, std::int16_t(length), std::uint8_t(code)});
}

// Every cell of the square a search can reach is clear afterwards; only the
// part where the last searches marked cells needs clearing. Cells outside the
// marked box are clear already, so a large box is cleared as one block whose
// pages go back to the system: a long search does not keep the grid resident.
void ActorController::clearVisited() {
    if (markedRows[0] <= markedRows[1]) {
        const std::size_t first = std::size_t(markedRows[0]) * VISITED_SIDE + markedColumns[0];
        const std::size_t last = std::size_t(markedRows[1]) * VISITED_SIDE + markedColumns[1];
        if (last - first >= RELEASED_CLEAR_BYTES)
            zeroAndRelease(&visited[first], last - first + 1);
        else
            for (int row = markedRows[0]; row <= markedRows[1]; ++row)
                std::memset(
                    &visited[std::size_t(row) * VISITED_SIDE + std::size_t(markedColumns[0])], 0,
                    std::size_t(markedColumns[1] - markedColumns[0] + 1));
    }
    markedRows[0] = markedColumns[0] = VISITED_SIDE;
    markedRows[1] = markedColumns[1] = -1;
}

// Once a search is over (path found, goal refused or every reachable cell
// tried), a node pool grown past its reserve and the marked cells are given
// back: an actor that once searched far, such as a creature chasing the
// player over ground it cannot cross, would otherwise hold that memory for
// the rest of the game.
void ActorController::endSearch() {
    searchNodes.release(isPlayer ? PLAYER_POOL_KEEP : CREATURE_POOL_KEEP);
    searchHead = 0;
    clearVisited();
}

void ActorController::prepareSearch() {
    if (!g_actorGround.isWalkable(goal[0], goal[1], position[2])) {
        goalAccepted = false;
        return;
    }
    double dx = goal[0] - position[0], dy = goal[1] - position[1];
    if (int(std::sqrt(dx * dx + dy * dy)) >= searchLimit()) {
        goalAccepted = false;
        return;
    }
    // Every cell within the limit on either side, each queued at most once.
    const std::size_t side = 2 * std::size_t(searchLimit()) + 2;
    if (!searchNodes.reserve(side * side)) {
        goalAccepted = false;
        return;
    }
    goalAccepted = true;
    newSearch = false;
    searchNodes.clear();
    searchHead = 0;
    expandedNodes = 0;
    // The path being walked led to the old goal from where the actor stood;
    // the new one starts from here, so the old one is dropped.
    pathIndex = pathLength = 0;

    const int startX = int(position[0]), startY = int(position[1]);
    searchGoalX = int(goal[0]);
    searchGoalY = int(goal[1]);
    gridOffsetX = searchLimit() + 1 - startX;
    gridOffsetY = searchLimit() + 1 - startY;
    clearVisited();
    // The start cell itself is not marked: a path may come back through it.
    for (const char* letter = kFirstLetters; *letter; ++letter) {
        const int code = dir::codeOf(*letter);
        queueChild(-1, startX + dir::kSteps[code].dx, startY + dir::kSteps[code].dy, 1, code);
    }
}

// A creature expands its fixed budget of nodes; the player's search runs
// until it is done or its slice of the frame is spent.
void ActorController::expandSearch() {
    if (!isPlayer) {
        expandNodes(expansionBudget());
        return;
    }
    const auto begin = std::chrono::steady_clock::now();
    auto spentMs = [&] {
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
            .count();
    };
    do
        expandNodes(SEARCH_CLOCK_STRIDE);
    while (!pathFound && !searchQueueEmpty() && spentMs() < g_playerSearchSliceMs);
}

void ActorController::expandNodes(int budget) {
    for (int n = 0; n < budget && !searchQueueEmpty(); ++n) {
        const int index = int(searchHead++);
        const SearchNode node = searchNodes[std::size_t(index)];
        ++expandedNodes;
        ++expansionsTotal;
        if (distanceToGoal(node) <= arriveDistance) {
            pathFound = true;
            writePath(index);
            return;
        }
        const int length = node.length + 1;
        if (length >= searchLimit()) continue;
        for (int code : kChildren.codes[node.code])
            queueChild(index, node.x + dir::kSteps[code].dx, node.y + dir::kSteps[code].dy, length,
                       code);
    }
}

// The winning node's steps, read back through the parent links, become the
// path of direction codes (a ring of searchLimit entries).
void ActorController::writePath(int resultIndex) {
    std::uint8_t steps[PATH_CAPACITY];
    int count = 0;
    for (int i = resultIndex; i >= 0 && count < PATH_CAPACITY;
         i = searchNodes[std::size_t(i)].parent)
        steps[count++] = searchNodes[std::size_t(i)].code;
    clearSearchQueue();
    pathIndex = 0;
    pathLength = 0;
    while (count > 0) {
        path[pathLength] = steps[--count];
        pathLength = (pathLength + 1) % searchLimit();
    }
}

void ActorController::search() {
    stepAccumulator = 0.0f;
    if (newSearch)
        prepareSearch();
    else if (!pathFound && !searchQueueEmpty())
        expandSearch();
    if (pathFound) startMoving();
    if (searchQueueEmpty()) endSearch();
}
