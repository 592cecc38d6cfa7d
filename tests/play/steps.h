// Steps that the play-through scenarios share: finding open ground to click
// on, telling where the player stands, and pointing the mouse at the world.
#pragma once

#include "tests/play/harness.h"

#include <gtest/gtest.h>

namespace play {

constexpr double PI = 3.14159265358979;
// Whole searches inside one frame: pass counts then do not depend on the
// machine's speed or on sanitizers.
constexpr double WHOLE_SEARCH_MS = 1.0e9;

// A world point and where it shows on the screen.
struct ScreenTarget {
    double x = 0.0, y = 0.0, z = 0.0;
    int sx = 0, sy = 0;
};

// Open ground around (x, y): the cell and its neighbours may be walked on.
bool openGround(double x, double y);
bool wellInside(int sx, int sy);
// The player has reached the end of his path and stands.
bool standing(const ActorController& p);
// Distance on the ground from an actor's position to (x, y).
double distance2d(const double position[3], double x, double y);
// Cells from the player to his search's goal, counted as the search counts
// them: he has arrived when they are at most his arrive distance.
int cellsToGoal(const ActorController& p);
// The unprojected point lands this close to the world point whose screen
// point was clicked (depth and pixel rounding).
constexpr double UNPROJECT_TOLERANCE = 8.0;

// A point of open ground `distance` units from the player, as near the
// camera's view direction turned by `turn` radians as can be found, on the
// screen well inside the window.
bool groundAhead(Game& g, double distance, double turn, ScreenTarget& t);

// A scenario on the game of this process, with whole searches in a frame.
class Scenario : public ::testing::Test {
  protected:
    void SetUp() override {
        g = &game();
        ASSERT_TRUE(g->ok()) << g->why;
    }
    // Points the mouse at a world point and lets a frame pick under it; the
    // screen point is kept in (sx, sy) for clickThere.
    bool pointAt(double x, double y, double z);
    void clickThere() { g->click(sx, sy); }

    Game* g = nullptr;
    SearchSlice slice{WHOLE_SEARCH_MS};
    int sx = 0, sy = 0;
};

} // namespace play
