// Steps that several play-through scenarios share: finding open ground and
// objects to click on, reading the log, standing the player somewhere for a
// scene, fighting, the screens, and screenshots of a session (ZEB_SHOTS=DIR).
#pragma once

#include "tests/play/harness.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

struct Dungeon;
struct Portal;

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
// A screen point well away from the window's edges.
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
// Spawns creature i on that ground point, its home around it.
void spawnCreatureAt(int i, const ScreenTarget& t);

// The first log line at or after `from` that starts with one of `starts`,
// or npos.
std::size_t findLine(const std::vector<std::string>& log, std::size_t from,
                     const std::vector<std::string>& starts);
// True when lines starting with these texts appear in this order from `from`
// on; `missing` names the first that does not.
bool inOrder(const std::vector<std::string>& log, std::size_t from,
             const std::vector<std::string>& lines, std::string& missing);
// Log lines from `from` on that contain `text`.
int countLines(const std::vector<std::string>& log, std::size_t from, const std::string& text);

// The dungeon entrance on the terrain nearest to (x, y), or null.
const Portal* nearestEntrance(double x, double y);
// Stands the player in the dungeon on an open floor cell beside cell (i, j),
// the camera looking at that cell; sides are tried from `side` (0 to 3) on;
// false when none of them is open floor.
bool standBesideCell(Game& g, Dungeon& d, int i, int j, int side = 0);
// The first cell with this code.
bool findCell(const Dungeon& d, int code, int& i, int& j);
// An open floor cell three to five cells from the player, with open floor all
// around it, in sight of the camera and well inside the window.
bool floorAhead(Game& g, const Dungeon& d, ScreenTarget& t);

// With ZEB_SHOTS=DIR set, runs one pass and writes its frame to
// DIR/NN-name.bmp (NN counts the shots of the process); otherwise nothing.
void shot(Game& g, const char* name);

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
    // Points at creature i and clicks it: true when it was picked and one
    // attack on it ran (within reach the attack runs in the pass of the click).
    bool attackOnce(int i);
    // Attacks creature i until it is dead (at most 40 attacks).
    bool kill(int i);
    // Key I brings up the screens; clicks on the inventory wear the helm from
    // the backpack and take the sword from the loot, as their pixels show.
    void screensWearTheHelmAndTakeTheSword();

    Game* g = nullptr;
    SearchSlice slice{WHOLE_SEARCH_MS};
    int sx = 0, sy = 0;
};

} // namespace play
