// The path search on the game's own terrain, against the plain search.
#include "tests/play/harness.h"
#include "tests/support/reference_search.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Random start and goal points within 100 units of the player, on the terrain
// the game built from its content pack (steep ground and buildings block).
TEST(PlaySearch, FindsTheSamePathsAsThePlainSearchOnTheGameTerrain) {
    play::Game& g = play::game();
    ASSERT_TRUE(g.ok()) << g.why;
    const double px = g.player().position[0], py = g.player().position[1];
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> around(-100.0, 100.0);
    ActorController c;
    c.isPlayer = 1;
    int found = 0;
    for (int pair = 0; pair < 12; ++pair) {
        double sx = px + around(rng), sy = py + around(rng);
        double gx = px + around(rng), gy = py + around(rng);
        double z = g.groundAt(sx, sy);
        reference::Outcome plain =
            reference::search(sx, sy, z, gx, gy, c.searchLimit(), c.arriveDistance);
        reference::Outcome game = reference::gameSearch(c, sx, sy, z, gx, gy);
        EXPECT_EQ(game, plain) << "from " << sx << ", " << sy << " to " << gx << ", " << gy;
        found += plain.found;
    }
    EXPECT_GT(found, 6);
    // The ground there is not all open: the search meets blocked cells.
    int blocked = 0;
    for (int x = -100; x <= 100; ++x)
        for (int y = -100; y <= 100; ++y)
            blocked += !g_actorGround.isWalkable(int(px) + x, int(py) + y, 0.0);
    EXPECT_GT(blocked, 0);
}

} // namespace
