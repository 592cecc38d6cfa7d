// Hand-drawn maps, a small room and log order for the dungeon (and dungeon picking) tests.
#pragma once

#include "dungeon/dungeon.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace dungeontest {

// One string per row (world x), one character per column (world y): '#' wall, '.' floor,
// 'D' door, 'T' torch.
struct TextMap {
    int width = 0, height = 0;
    std::vector<int> codes;
    TextMap(std::initializer_list<const char*> rows) {
        for (const std::string row : rows) {
            height = int(row.size());
            ++width;
            for (char ch : row)
                codes.push_back(ch == '#'   ? CELL_WALL
                                : ch == 'D' ? CELL_DOOR
                                : ch == 'T' ? CELL_TORCH
                                            : CELL_FLOOR);
        }
    }
    const int* data() const { return codes.data(); }
};

// A room with open floor (for chests), a torch and a door in its last row.
inline const TextMap kRoom = {
    "#########", //
    "#.......#", //
    "#.......#", //
    "#.......#", //
    "#...T...#", //
    "#.......#", //
    "####D####", //
};

// The first cell of the level holding `code`, as (row, column); (-1, -1) when none.
inline std::pair<int, int> findCode(const Dungeon& d, int code) {
    for (int i = 0; i < d.width; ++i)
        for (int j = 0; j < d.height; ++j)
            if (d.code(i, j) == code) return {i, j};
    return {-1, -1};
}

// The first of `lines` not found after the one before it in `text`, or "" when all are.
inline std::string firstOutOfOrder(const std::string& text,
                                   std::initializer_list<const char*> lines) {
    std::size_t at = 0;
    for (const char* line : lines) {
        at = text.find(line, at);
        if (at == std::string::npos) return line;
        ++at;
    }
    return "";
}

} // namespace dungeontest
