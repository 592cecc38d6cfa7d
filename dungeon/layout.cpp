#include "dungeon/layout.h"

#include "core/random.h"

#include <cstring>

CellMap::CellMap(int w, int h) : width(w), height(h), codes(new int[size_t(w) * size_t(h)]()) {}

RoomGrid::RoomGrid(int halfSide)
    : side(2 * halfSide + 1), rooms(new RoomNode[size_t(side) * size_t(side)]) {}

namespace {

// Walk steps: 1 row - 1, 2 row + 1, 3 column - 1, 4 column + 1.
constexpr int STEP_ROW_MINUS = 1;
constexpr int STEP_ROW_PLUS = 2;
constexpr int STEP_COLUMN_MINUS = 3;
constexpr int STEP_COLUMN_PLUS = 4;
constexpr int WALK_COUNT = 10;
constexpr int MAX_WALK_STEPS = 64;

int opposite(int step) {
    switch (step) {
    case STEP_ROW_MINUS:
        return STEP_ROW_PLUS;
    case STEP_ROW_PLUS:
        return STEP_ROW_MINUS;
    case STEP_COLUMN_MINUS:
        return STEP_COLUMN_PLUS;
    default:
        return STEP_COLUMN_MINUS;
    }
}

void stepOffset(int step, int& dRow, int& dColumn) {
    dRow = step == STEP_ROW_MINUS ? -1 : step == STEP_ROW_PLUS ? 1 : 0;
    dColumn = step == STEP_COLUMN_MINUS ? -1 : step == STEP_COLUMN_PLUS ? 1 : 0;
}

void setExit(RoomNode& room, int step) {
    switch (step) {
    case STEP_ROW_MINUS:
        room.exitMinusRow = 1;
        break;
    case STEP_ROW_PLUS:
        room.exitPlusRow = 1;
        break;
    case STEP_COLUMN_MINUS:
        room.exitMinusCol = 1;
        break;
    default:
        room.exitPlusCol = 1;
        break;
    }
}

// Draws the steps of one walk: a step may not turn from 3 to 1, 1 to 3,
// 4 to 2 or 2 to 4; one unused draw follows every step.
int drawWalk(int n, int steps[MAX_WALK_STEPS]) {
    const int length = n - crt::rand() % (n / 2);
    const int count = length + 1;
    for (int s = 0; s < count && s < MAX_WALK_STEPS; ++s) {
        int d = crt::rand() % 4 + 1;
        if (s > 0)
            while ((d - 1 + 2) % 4 == steps[s - 1] - 1)
                d = crt::rand() % 4 + 1;
        crt::rand();
        steps[s] = d;
    }
    return count < MAX_WALK_STEPS ? count : MAX_WALK_STEPS;
}

// Out along the steps and back again. A step that would leave the grid is
// skipped both ways, so every corridor still has its flag on both ends.
void walkOutAndBack(RoomGrid& grid, const int* steps, int count) {
    bool taken[MAX_WALK_STEPS] = {};
    int row = grid.side / 2, column = grid.side / 2;
    for (int s = 0; s < count; ++s) {
        int dr = 0, dc = 0;
        stepOffset(steps[s], dr, dc);
        const int r = row + dr, c = column + dc;
        if (r < 0 || c < 0 || r >= grid.side || c >= grid.side) continue;
        setExit(grid.at(row, column), steps[s]);
        row = r;
        column = c;
        taken[s] = true;
    }
    for (int s = count - 1; s >= 0; --s) {
        if (!taken[s]) continue;
        const int back = opposite(steps[s]);
        setExit(grid.at(row, column), back);
        int dr = 0, dc = 0;
        stepOffset(back, dr, dc);
        row += dr;
        column += dc;
    }
}

int randomRoomIndex(const RoomGrid& grid) {
    return crt::rand() % grid.side;
}

// Most monsters a room with this many exits may hold, or -2 to keep its own.
int rollCapacity(int exits) {
    switch (exits) {
    case 1:
        return crt::rand() % 11;
    case 2:
        return crt::rand() % 4;
    case 3:
        return crt::rand() % 6;
    case 4:
        return crt::rand() % 9;
    default:
        return -2;
    }
}

int spareCapacity(const RoomGrid& grid) {
    int spare = 0;
    for (int i = 0; i < grid.side * grid.side; ++i) {
        const RoomNode& room = grid.rooms[i];
        if (room.monsters < room.capacity) spare += room.capacity - room.monsters;
    }
    return spare;
}

struct Box {
    int minRow, maxRow, minColumn, maxColumn;
};

Box roomBox(const RoomGrid& grid) {
    Box box{grid.side, -1, grid.side, -1};
    for (int r = 0; r < grid.side; ++r)
        for (int c = 0; c < grid.side; ++c) {
            if (!grid.at(r, c).exists()) continue;
            if (r < box.minRow) box.minRow = r;
            if (r > box.maxRow) box.maxRow = r;
            if (c < box.minColumn) box.minColumn = c;
            if (c > box.maxColumn) box.maxColumn = c;
        }
    return box;
}

// The four wall lines of a room, with a door where the room has an exit.
void drawRoomWalls(CellMap& map, const RoomNode& room, int r0, int c0) {
    const int a = crt::rand() % 8 + 1;
    const int b = crt::rand() % 8 + 1;
    const int w = crt::rand() % 8 + 1;
    const int e = crt::rand() % 8 + 1;
    for (int k = 0; k < ROOM_SIZE; ++k) {
        map.at(r0 + k, c0) = (k == w && room.exitMinusCol) ? CELL_DOOR : CELL_WALL;
        map.at(r0 + k, c0 + ROOM_SIZE) = (k == e && room.exitPlusCol) ? CELL_DOOR : CELL_WALL;
        map.at(r0, c0 + k) = (k == a && room.exitMinusRow) ? CELL_DOOR : CELL_WALL;
        map.at(r0 + ROOM_SIZE, c0 + k) = (k == b && room.exitPlusRow) ? CELL_DOOR : CELL_WALL;
    }
}

// Pillars in the corners and the middle, torches beside them.
void decorateRoom(CellMap& map, int r0, int c0) {
    const int s = ROOM_SIZE;
    const int p = crt::rand() & 31;
    const int q = crt::rand() & 31;
    // Corner (row, column) of each pillar, and which way its arms point.
    const struct {
        int bit, row, column, dRow, dColumn;
    } pillars[4] = {
        {1, 2, 2, 1, 1},
        {2, s - 2, 2, -1, 1},
        {4, 2, s - 2, 1, -1},
        {8, s - 2, s - 2, -1, -1},
    };
    for (const auto& pillar : pillars) {
        if (!(p & pillar.bit)) continue;
        map.at(r0 + pillar.row, c0 + pillar.column) = CELL_WALL;
        map.at(r0 + pillar.row + pillar.dRow, c0 + pillar.column) = CELL_WALL;
        map.at(r0 + pillar.row, c0 + pillar.column + pillar.dColumn) = CELL_WALL;
    }
    const int centre = s / 2;
    if (p > 15) {
        map.at(r0 + centre, c0 + centre) = CELL_WALL;
        map.at(r0 + centre - 1, c0 + centre) = CELL_WALL;
        map.at(r0 + centre + 1, c0 + centre) = CELL_WALL;
        map.at(r0 + centre, c0 + centre - 1) = CELL_WALL;
        map.at(r0 + centre, c0 + centre + 1) = CELL_WALL;
    }
    const struct {
        int bit, row, column;
    } torches[4] = {{1, 3, 3}, {2, s - 3, 3}, {4, 3, s - 3}, {8, s - 3, s - 3}};
    for (const auto& torch : torches)
        if (q & torch.bit) map.at(r0 + torch.row, c0 + torch.column) = CELL_TORCH;
    if (q > 15 && p <= 15) map.at(r0 + centre, c0 + centre) = CELL_TORCH;
}

bool monsterStandsOn(const DungeonMonster* monsters, int count, int row, int column) {
    for (int m = 0; m < count; ++m)
        if (int(monsters[m].row) == row && int(monsters[m].column) == column) return true;
    return false;
}

// A goblin on a free floor cell of the room's interior.
void placeMonster(const CellMap& map, int r0, int c0, DungeonMonster* monsters, int& count) {
    int row = 0, column = 0;
    do {
        row = r0 + 1 + crt::rand() % 8;
        column = c0 + 1 + crt::rand() % 8;
    } while (map.at(row, column) != CELL_FLOOR || monsterStandsOn(monsters, count, row, column));
    DungeonMonster& m = monsters[count++];
    m = DungeonMonster{};
    std::strcpy(m.record.name, "goblin");
    m.row = row + 0.5;
    m.column = column + 0.5;
    int hitPoints = 0;
    for (int k = 0; k < 5; ++k)
        hitPoints += crt::rand() % 8 + 1;
    m.record.maxHealth = m.record.health = hitPoints;
    m.record.maxMana = m.record.mana = 0;
    m.minRow = r0 + 1;
    m.minColumn = c0 + 1;
    m.maxRow = r0 + ROOM_SIZE - 1;
    m.maxColumn = c0 + ROOM_SIZE - 1;
}

} // namespace

void carveRoomWalks(RoomGrid& grid) {
    const int n = grid.side / 2;
    for (int walk = 0; walk < WALK_COUNT; ++walk) {
        int steps[MAX_WALK_STEPS] = {};
        const int count = drawWalk(n, steps);
        walkOutAndBack(grid, steps, count);
    }
}

bool markStartRoom(RoomGrid& grid) {
    bool any = false;
    for (int i = 0; i < grid.side * grid.side && !any; ++i)
        any = grid.rooms[i].exitCount() == 1;
    if (!any) return false;
    for (;;) {
        const int row = randomRoomIndex(grid);
        const int column = randomRoomIndex(grid);
        RoomNode& room = grid.at(row, column);
        if (room.exitCount() != 1) continue;
        room.monsters = -1;
        room.capacity = -1;
        return true;
    }
}

void rollCapacities(RoomGrid& grid, int monsterTotal) {
    int total = 0;
    while (total < monsterTotal) {
        for (int r = 0; r < grid.side; ++r)
            for (int c = 0; c < grid.side; ++c) {
                RoomNode& room = grid.at(r, c);
                if (!room.isStart()) {
                    const int capacity = rollCapacity(room.exitCount());
                    if (capacity != -2) room.capacity = capacity;
                }
                total += room.capacity;
            }
    }
}

int spreadMonsters(RoomGrid& grid, int monsterTotal) {
    int placed = 0;
    while (placed < monsterTotal && spareCapacity(grid) > 0) {
        const int row = randomRoomIndex(grid);
        const int column = randomRoomIndex(grid);
        RoomNode& room = grid.at(row, column);
        if (room.monsters < room.capacity) {
            ++room.monsters;
            ++placed;
        }
    }
    return placed;
}

CellMap generateDungeonMap(int n, int monsterTotal, DungeonMonster* monsters, int& count,
                           int& width, int& height) {
    RoomGrid grid(n);
    carveRoomWalks(grid);
    markStartRoom(grid);
    rollCapacities(grid, monsterTotal);
    spreadMonsters(grid, monsterTotal);

    const Box box = roomBox(grid);
    width = (box.maxRow - box.minRow + 1) * ROOM_SIZE + 1;
    height = (box.maxColumn - box.minColumn + 1) * ROOM_SIZE + 1;
    CellMap map(width, height);
    for (int r = box.minRow; r <= box.maxRow; ++r)
        for (int c = box.minColumn; c <= box.maxColumn; ++c) {
            const RoomNode& room = grid.at(r, c);
            if (!room.exists()) continue;
            const int r0 = (r - box.minRow) * ROOM_SIZE;
            const int c0 = (c - box.minColumn) * ROOM_SIZE;
            if (room.isStart()) map.at(r0 + ROOM_SIZE / 2, c0 + ROOM_SIZE / 2) = CELL_VOID;
            drawRoomWalls(map, room, r0, c0);
            decorateRoom(map, r0, c0);
            map.at(r0 + ROOM_SIZE, c0 + ROOM_SIZE) = CELL_WALL;
            for (int m = 0; m < room.monsters && count < monsterTotal; ++m)
                placeMonster(map, r0, c0, monsters, count);
        }
    return map;
}
