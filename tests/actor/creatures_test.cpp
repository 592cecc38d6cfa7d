#include "actor/creatures.h"
#include "render/engine.h"
#include "test_map.h"
#include "tests/support/log_capture.h"

#include <algorithm>
#include <cstdlib>

namespace {

int manhattan(const ActorController& c) {
    const double* p = playerActor().position;
    return std::abs(int(c.position[0] - p[0])) + std::abs(int(c.position[1] - p[1]));
}

bool g_openGround = true;
bool switchableGround(double x, double y, double z) {
    return g_openGround && testmap::isWalkable(x, y, z);
}

class CreatureTest : public testmap::MapTest {
  protected:
    testsupport::LogCapture log;
    void SetUp() override {
        MapTest::SetUp();
        g_openGround = true;
        g_actorGround.isWalkable = switchableGround;
        g_engine.inDungeon = 0;
        g_creatures.initCreatureTypes();
    }
    void TearDown() override {
        MapTest::TearDown();
        g_engine.inDungeon = 0;
    }
    long logLines() {
        const std::string text = log.text();
        return std::count(text.begin(), text.end(), '\n');
    }
    static void frames(int count) {
        for (int f = 0; f < count; ++f)
            g_creatures.updateAll();
    }
};

} // namespace

TEST_F(CreatureTest, SpawnedAndRespawnedCreaturesLiveInTheRangeOfTheWorld) {
    for (int dungeon : {0, 1}) {
        g_engine.inDungeon = dungeon;
        g_creatures.spawnAll();
        const int outer = dungeon ? 1000 : 1600;
        EXPECT_EQ(g_creatures.innerRange, outer / 2);
        for (int i = 0; i < CREATURE_COUNT; ++i) {
            const ActorController& c = g_actors[i];
            SCOPED_TRACE("creature " + std::to_string(i));
            EXPECT_LT(manhattan(c), outer);
            EXPECT_EQ(c.position[2], testmap::GROUND + c.instance.slot->halfHeight);
            // Home is the box of 50 cells each way around where it was spawned.
            EXPECT_EQ(c.homeMinCellX + 50, int(c.position[0]));
            EXPECT_EQ(c.homeMaxCellY - 50, int(c.position[1]));
        }
        // A dead creature left behind at the outer range comes back in the
        // ring at full health; one just inside the range stays dead.
        ActorController& c = g_actors[5];
        for (int round = 0; round < 20; ++round) {
            g_creatures.records[5].health = -3;
            c.active = false;
            c.position[0] = playerActor().position[0] + outer - 300;
            c.position[1] = playerActor().position[1] - 300;
            g_creatures.updateCreature(5);
            EXPECT_GE(manhattan(c), outer / 2);
            EXPECT_LT(manhattan(c), outer);
            EXPECT_TRUE(c.active);
            EXPECT_EQ(g_creatures.records[5].health, 100);
        }
        c.active = false;
        c.position[0] = playerActor().position[0] + outer - 0.1;
        c.position[1] = playerActor().position[1] + 0.2;
        g_creatures.updateCreature(5);
        EXPECT_FALSE(c.active);
    }
}

TEST_F(CreatureTest, TheLargestRandomNumberGivesTheLastType) {
    unsigned seed = 1;
    for (crt::srand(seed); crt::rand() != crt::RAND_MAX15; crt::srand(++seed)) {
    }
    crt::srand(seed); // random01 is exactly 1.0 for the type
    g_creatures.spawn(0);
    EXPECT_EQ(g_actors[0].instance.slot, &g_modelSlots[g_creatures.types[8].slot]);
}

TEST_F(CreatureTest, NoWalkablePlaceLeavesCreaturesOutUntilALaterTry) {
    g_openGround = false;
    long before = logLines();
    g_creatures.spawnAll(); // returns: the draws are bounded
    for (int i = 0; i < CREATURE_COUNT; ++i)
        EXPECT_FALSE(g_creatures.placed[i] || g_actors[i].active);
    EXPECT_EQ(logLines() - before, CREATURE_COUNT); // one line each
    frames(SPAWN_RETRY_FRAMES + 1);
    EXPECT_EQ(logLines() - before, CREATURE_COUNT); // failed retries are quiet

    g_openGround = true;
    frames(SPAWN_RETRY_FRAMES);
    for (int i = 0; i < CREATURE_COUNT; ++i) {
        EXPECT_TRUE(g_creatures.placed[i] && g_actors[i].active);
        EXPECT_GE(manhattan(g_actors[i]), g_creatures.innerRange);
    }
}

TEST_F(CreatureTest, PlayerInTheHomeBoxIsChasedUntilTheCreatureGivesUpAndGoesHome) {
    g_creatures.spawnAll();
    ActorController& c = g_actors[7];
    ActorController& player = playerActor();
    c.position[0] = 5300.5; // spawned here, with its home around this point
    c.position[1] = 5000.5;
    g_creatures.placed[7] = true;
    g_creatures.spawn(7);
    player.position[0] = 5260.5; // inside the box, 40 cells from the creature
    player.position[1] = 5000.5;
    frames(1);
    EXPECT_EQ(c.action, ACTION_CHASE);
    frames(60);
    EXPECT_LE(manhattan(c), 21);

    // The player walks off in -x a cell a frame; the creature follows until
    // it is 150 cells from home, then turns back.
    double farthest = 0;
    for (int f = 0; f < 600 && c.action != ACTION_RETURN_HOME; ++f) {
        player.position[0] -= 1.0;
        frames(1);
        farthest = std::max(farthest, 5300.5 - c.position[0]);
    }
    ASSERT_EQ(c.action, ACTION_RETURN_HOME);
    EXPECT_GE(farthest, 150.0);
    EXPECT_LT(farthest, 152.0);
    player.position[0] -= 1000; // out of the way, still in range
    for (int f = 0; f < 2000 && c.action == ACTION_RETURN_HOME; ++f)
        frames(1);
    // Home again (a walk ends up to 20 cells short of its goal), it idles.
    EXPECT_EQ(c.action, ACTION_IDLE);
    EXPECT_GE(c.position[0], c.homeMinCellX - c.arriveDistance);
}
