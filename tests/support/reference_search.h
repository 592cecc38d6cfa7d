// Test support: the path search written the plain way (each queued node keeps
// its own path text); the game's search must find exactly the same paths.
#pragma once

#include "actor/controller.h"
#include "actor/directions.h"
#include "actor/ground.h"

#include <cmath>
#include <cstdlib>
#include <deque>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace reference {

struct Outcome {
    bool accepted = false;
    bool found = false;
    std::vector<int> codes;
    bool operator==(const Outcome&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    os << (o.accepted ? "accepted" : "refused") << (o.found ? ", found " : ", not found ");
    for (int c : o.codes)
        os << c;
    return os;
}

struct Node {
    std::string path;
    int x = 0, y = 0;
    int length = 0;
    int distanceToGoal = 0;
};

// The letters of a node's children, in the order they are tried, after the
// last letter of its path.
inline std::string childLetters(char last) {
    static const char* const children[] = {"urleq", "drlzx", "urdez", "udlxq",
                                           "urzeq", "qulex", "dlxzq", "drzxe"};
    const std::size_t at = std::string("udrleqxz").find(last);
    return at == std::string::npos ? "" : children[at];
}

// The whole search from (x, y, z) to (goalX, goalY), with the ground of
// g_actorGround.
inline Outcome search(double x, double y, double z, double goalX, double goalY, int searchLimit,
                      int arriveDistance) {
    Outcome out;
    if (!g_actorGround.isWalkable(goalX, goalY, z)) return out;
    if (int(std::hypot(goalX - x, goalY - y)) >= searchLimit) return out;
    out.accepted = true;
    const int gx = int(goalX), gy = int(goalY);
    std::set<std::pair<int, int>> visited;
    std::deque<Node> queue;
    auto offer = [&](const Node& parent, char letter) {
        int code = dir::codeOf(letter);
        Node child;
        child.x = parent.x + dir::kSteps[code].dx;
        child.y = parent.y + dir::kSteps[code].dy;
        child.path = parent.path + letter;
        child.length = parent.length + 1;
        child.distanceToGoal = std::abs(gx - child.x) + std::abs(gy - child.y);
        if (child.x < 0 || child.y < 0 || child.length >= searchLimit) return;
        if (!g_actorGround.isWalkable(child.x, child.y, z)) return;
        if (!visited.insert({child.x, child.y}).second) return;
        queue.push_back(child);
    };
    Node start;
    start.x = int(x);
    start.y = int(y);
    for (char letter : std::string("durlqexz"))
        offer(start, letter);
    while (!queue.empty()) {
        Node node = queue.front();
        queue.pop_front();
        if (node.distanceToGoal <= arriveDistance) {
            out.found = true;
            for (char letter : node.path)
                out.codes.push_back(dir::codeOf(letter));
            return out;
        }
        for (char letter : childLetters(node.path.back()))
            offer(node, letter);
    }
    return out;
}

// The game's search on controller c from (x, y, z), run to its end.
inline Outcome gameSearch(ActorController& c, double x, double y, double z, double goalX,
                          double goalY) {
    c.position[0] = x;
    c.position[1] = y;
    c.position[2] = z;
    c.goal[0] = goalX;
    c.goal[1] = goalY;
    // A refused goal would keep the last path: each search starts without one.
    c.pathIndex = c.pathLength = 0;
    c.startSearch();
    while (!c.pathFound && !c.searchQueueEmpty())
        c.search();
    Outcome out;
    out.accepted = c.goalAccepted;
    out.found = c.pathFound;
    for (int i = c.pathIndex; i != c.pathLength; i = (i + 1) % c.searchLimit())
        out.codes.push_back(c.path[i]);
    return out;
}

} // namespace reference
