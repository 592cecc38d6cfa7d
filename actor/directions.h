// The eight one-cell grid steps shared by movement and path-finding: each has
// a code (stored in paths), a letter (used while searching), a step on the
// grid and the heading an actor faces while taking it.
#pragma once

namespace dir {

constexpr int COUNT = 8;

struct Step {
    char letter;
    int dx, dy;
    float heading;
};

// Indexed by direction code.
constexpr Step kSteps[COUNT] = {
    {'u', +1, 0, 6.2831855f},  // 0
    {'d', -1, 0, 3.1415927f},  // 1
    {'r', 0, -1, 4.712389f},   // 2
    {'l', 0, +1, 1.5707964f},  // 3
    {'e', +1, -1, 5.497787f},  // 4
    {'q', +1, +1, 0.7853982f}, // 5
    {'z', -1, -1, 3.9269907f}, // 6
    {'x', -1, +1, 2.3561945f}, // 7
};

// Heading of a code; any code outside 0..7 faces 2 pi.
constexpr float headingOf(int code) {
    return code >= 0 && code < COUNT ? kSteps[code].heading : kSteps[0].heading;
}

// Code of a search letter, or -1 for a letter that is no direction.
constexpr int codeOf(char letter) {
    for (int c = 0; c < COUNT; ++c)
        if (kSteps[c].letter == letter) return c;
    return -1;
}

} // namespace dir
