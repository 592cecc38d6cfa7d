// Breadth-first path search over the one-unit grid, spread over frames. The
// queue holds whole partial paths, first in first out, so the first path to
// come within `arriveDistance` of the goal is one of the shortest; children
// never turn more than 90 degrees from their parent's last step.
#include "actor/controller.h"

#include "actor/directions.h"
#include "actor/ground.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Children of a node by its last letter: the same direction and the four
// within 90 degrees of it, in the order they are queued.
const char* childLetters(char last) {
    switch (last) {
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

} // namespace

SearchNode ActorController::makeChild(const SearchNode& parent, char letter) const {
    SearchNode child;
    int code = dir::codeOf(letter);
    child.x = parent.x + (code >= 0 ? dir::kSteps[code].dx : 0);
    child.y = parent.y + (code >= 0 ? dir::kSteps[code].dy : 0);
    child.path.reserve(parent.path.size() + 1);
    if (parent.length > 0) child.path = parent.path;
    child.path += letter;
    child.length = parent.length + 1;
    child.goalX = parent.goalX;
    child.goalY = parent.goalY;
    child.distanceToGoal = std::abs(child.goalX - child.x) + std::abs(child.goalY - child.y);
    return child;
}

bool ActorController::acceptNode(const SearchNode& node) {
    if (node.x < 0 || node.y < 0) return false;
    if (node.length >= searchLimit()) return false;
    if (!g_actorGround.isWalkable(node.x, node.y, position[2])) return false;
    int row = node.x + gridOffsetX, column = node.y + gridOffsetY;
    // Only reachable while the search's limit stays what it was prepared with.
    if (row < 0 || row >= VISITED_SIDE || column < 0 || column >= VISITED_SIDE) return false;
    std::uint8_t& cell = visited[std::size_t(row) * VISITED_SIDE + column];
    if (cell == 1) return false;
    cell = 1;
    return true;
}

void ActorController::clearVisited() {
    int side = 2 * searchLimit() + 1;
    for (int row = 0; row < side; ++row)
        std::memset(&visited[std::size_t(row) * VISITED_SIDE], 0, std::size_t(side));
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
    goalAccepted = true;
    newSearch = false;
    searchQueue.clear();
    expandedNodes = 0;
    // The path being walked led to the old goal from where the actor stood;
    // the new one starts from here, so the old one is dropped.
    pathIndex = pathLength = 0;

    int startX = int(position[0]), startY = int(position[1]);
    gridOffsetX = searchLimit() + 1 - startX;
    gridOffsetY = searchLimit() + 1 - startY;
    clearVisited();

    SearchNode start;
    start.x = startX;
    start.y = startY;
    start.goalX = int(goal[0]);
    start.goalY = int(goal[1]);
    for (const char* letter = kFirstLetters; *letter; ++letter) {
        SearchNode child = makeChild(start, *letter);
        if (acceptNode(child)) searchQueue.push_back(std::move(child));
    }
}

void ActorController::expandSearch() {
    int budget = expansionBudget();
    for (int n = 0; n < budget && !searchQueue.empty(); ++n) {
        SearchNode node = std::move(searchQueue.front());
        searchQueue.pop_front();
        ++expandedNodes;
        ++expansionsTotal;
        if (node.distanceToGoal <= arriveDistance) {
            pathFound = true;
            writePath(node);
            return;
        }
        for (const char* letter = childLetters(node.path.back()); *letter; ++letter) {
            SearchNode child = makeChild(node, *letter);
            if (acceptNode(child)) searchQueue.push_back(std::move(child));
        }
    }
}

void ActorController::writePath(const SearchNode& result) {
    searchQueue.clear();
    pathIndex = 0;
    pathLength = 0;
    for (char letter : result.path) {
        path[pathLength] = std::uint8_t(dir::codeOf(letter));
        pathLength = (pathLength + 1) % searchLimit();
    }
}

void ActorController::search() {
    stepAccumulator = 0.0f;
    if (newSearch)
        prepareSearch();
    else if (!pathFound && !searchQueue.empty())
        expandSearch();
    if (pathFound) startMoving();
}
