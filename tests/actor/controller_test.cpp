#include "test_map.h"

#include <vector>

using testmap::MapTest;

namespace {

void setPath(ActorController& c, std::vector<int> codes) {
    c.pathIndex = 0;
    c.pathLength = int(codes.size());
    for (std::size_t i = 0; i < codes.size(); ++i)
        c.path[i] = std::uint8_t(codes[i]);
}

// A creature whose home box is the given cells (the home grid is one unit).
void makeCreature(ActorController& c, int minX, int minY, int maxX, int maxY) {
    c.isPlayer = 0;
    c.homeMinCellX = minX;
    c.homeMinCellY = minY;
    c.homeMaxCellX = maxX;
    c.homeMaxCellY = maxY;
}

} // namespace

// A step is due each time the time accumulated since the last one passes
// 1.0; the path's last step, a diagonal, lands on the cell centre beyond.
TEST_F(MapTest, StepsAreDueWhenAccumulatedTimePassesOneAndLandOnCellCentres) {
    for (auto [timeFactor, framesPerStep] : {std::pair{0.6, 2}, {1.0, 2}, {1.01, 1}, {0.3, 4}}) {
        SCOPED_TRACE(timeFactor);
        ActorController c;
        ModelSlot slot;
        slot.halfHeight = 9;
        c.setLook(&slot, 0);
        placeAt(c, 10.5, 20.5);
        setPath(c, {0, 0, 5});
        g_settings.timeFactor = timeFactor;
        for (int frame = 1; frame <= 3 * framesPerStep + 1; ++frame) {
            c.stepAlongPath();
            const int steps = std::min(3, frame / framesPerStep);
            EXPECT_DOUBLE_EQ(c.position[0], 10.5 + steps) << "frame " << frame;
            EXPECT_DOUBLE_EQ(c.position[1], 20.5 + (steps == 3)) << "frame " << frame;
        }
        EXPECT_TRUE(c.pathFinished());
        EXPECT_FLOAT_EQ(c.heading, 0.7853982f);
        EXPECT_DOUBLE_EQ(c.position[2], testmap::GROUND + 9);
        c.setLook(nullptr, 0);
    }
}

// A home goal takes two draws even from a box without extent, which gives its
// minimum cell (and no remainder by zero).
TEST_F(MapTest, HomeGoalTakesTwoDrawsAndABoxWithoutExtentGivesItsMinimumCell) {
    ActorController c;
    makeCreature(c, 40, 70, 40, 60);
    c.homeCellWidth = c.homeCellHeight = 8;
    crt::srand(5);
    c.chooseHomeGoal();
    const int next = crt::rand();
    EXPECT_DOUBLE_EQ(c.goal[0], 40 * 8 + 4);
    EXPECT_DOUBLE_EQ(c.goal[1], 70 * 8 + 4);
    crt::srand(5);
    crt::rand();
    crt::rand();
    EXPECT_EQ(crt::rand(), next);
}
