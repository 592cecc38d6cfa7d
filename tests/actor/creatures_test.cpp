#include "actor/combat.h"
#include "actor/creatures.h"
#include "core/log.h"
#include "render/engine.h"
#include "test_map.h"
#include "tests/support/read_file.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

using testmap::MapTest;

namespace {

int manhattan(const ActorController& c) {
    const double* p = playerActor().position;
    return std::abs(int(c.position[0] - p[0])) + std::abs(int(c.position[1] - p[1]));
}

double distance(const ActorController& a, const ActorController& b) {
    return std::hypot(a.position[0] - b.position[0], a.position[1] - b.position[1]);
}

class CreatureTest : public MapTest {
  protected:
    std::string logPath = "/tmp/zeb_creature_test_" + std::to_string(::getpid()) + ".txt";
    void SetUp() override {
        openLog(logPath.c_str());
        MapTest::SetUp();
        g_engine.inDungeon = 0;
        g_creatures.initCreatureTypes();
        createPlayerCharacter();
    }
    void TearDown() override {
        MapTest::TearDown();
        g_engine.inDungeon = 0;
        closeLog();
        std::remove(logPath.c_str());
    }
    std::string log() {
        g_log.flush();
        return testsupport::readFile(logPath);
    }
    // Runs updateAll for `frames` frames at the fixture's time step.
    static void frames(int count) {
        for (int f = 0; f < count; ++f)
            g_creatures.updateAll();
    }
};

} // namespace

TEST_F(CreatureTest, SpawnAllPlacesTwentyFourLivingCreaturesInTheRange) {
    for (int dungeon : {0, 1}) {
        g_engine.inDungeon = dungeon;
        g_creatures.spawnAll();
        int outer = dungeon ? 1000 : 1600;
        EXPECT_EQ(g_creatures.outerRange, outer);
        EXPECT_EQ(g_creatures.innerRange, outer / 2);
        for (int i = 0; i < CREATURE_COUNT; ++i) {
            const ActorController& c = g_actors[i];
            SCOPED_TRACE("creature " + std::to_string(i));
            EXPECT_TRUE(c.active);
            EXPECT_TRUE(g_creatures.placed[i]);
            EXPECT_LT(manhattan(c), outer);
            EXPECT_EQ(c.position[2], testmap::GROUND + c.instance.slot->halfHeight);
            EXPECT_EQ(c.action, ACTION_WANDER);
            const NPCRecord& r = g_creatures.records[i];
            EXPECT_EQ(r.health, 100);
            EXPECT_EQ(r.mana, 100);
            EXPECT_EQ(r.experienceValue, 5);
            EXPECT_EQ(r.armourClass, 0);
            EXPECT_EQ(r.controllerIndex, i);
            // Home is the box of 50 cells each way around where it was spawned.
            EXPECT_EQ(c.homeMinCellX + 50, int(c.position[0]));
            EXPECT_EQ(c.homeMaxCellY - 50, int(c.position[1]));
        }
    }
}

TEST_F(CreatureTest, TheLargestRandomNumberGivesTheLastType) {
    // Find a seed whose first number is 32767 (random01 exactly 1.0).
    unsigned seed = 0;
    for (unsigned s = 1; seed == 0; ++s) {
        crt::srand(s);
        if (crt::rand() == crt::RAND_MAX15) seed = s;
    }
    crt::srand(seed);
    g_creatures.spawn(0);
    EXPECT_EQ(g_actors[0].instance.slot, &g_modelSlots[g_creatures.types[8].slot]);
    EXPECT_TRUE(g_actors[0].active);
}

TEST_F(CreatureTest, CreatureLeftBehindComesBackInTheRingAtFullHealth) {
    g_creatures.spawnAll();
    for (int dungeon : {0, 1}) {
        g_engine.inDungeon = dungeon;
        g_creatures.spawnAll();
        int outer = g_creatures.outerRange, inner = g_creatures.innerRange;
        for (int round = 0; round < 20; ++round) {
            ActorController& c = g_actors[5];
            // Killed, then left behind exactly at the outer range.
            g_creatures.records[5].health = -3;
            c.active = false;
            c.position[0] = playerActor().position[0] + outer - 300;
            c.position[1] = playerActor().position[1] - 300;
            g_creatures.updateCreature(5);
            EXPECT_GE(manhattan(c), inner);
            EXPECT_LT(manhattan(c), outer);
            EXPECT_TRUE(c.active);
            EXPECT_EQ(g_creatures.records[5].health, 100);
            EXPECT_EQ(c.homeMinCellX + 50, int(c.position[0]));
        }
    }
    // One step inside the range it stays where it is, dead.
    ActorController& c = g_actors[6];
    c.active = false;
    double edge = playerActor().position[0] + g_creatures.outerRange - 0.1;
    c.position[0] = edge;
    c.position[1] = playerActor().position[1] + 0.2;
    g_creatures.updateCreature(6);
    EXPECT_EQ(c.position[0], edge);
    EXPECT_FALSE(c.active);
}

// Ground that is walkable only where a test says.
namespace {
bool g_openGround = false;
bool switchableGround(double x, double y, double z) {
    return g_openGround && testmap::isWalkable(x, y, z);
}
} // namespace

TEST_F(CreatureTest, NoWalkablePlaceLeavesCreaturesOutUntilALaterTry) {
    g_openGround = false;
    g_actorGround.isWalkable = switchableGround;
    g_creatures.spawnAll(); // must return: the draws are bounded
    for (int i = 0; i < CREATURE_COUNT; ++i) {
        EXPECT_FALSE(g_creatures.placed[i]);
        EXPECT_FALSE(g_actors[i].active);
    }
    std::string text = log();
    EXPECT_NE(text.find("creature 0 "), std::string::npos);
    EXPECT_NE(text.find("creature 23 "), std::string::npos);
    int lines = 0;
    for (char ch : text)
        lines += ch == '\n';

    // Still no ground: the retries log nothing more.
    frames(SPAWN_RETRY_FRAMES + 1);
    int linesAfter = 0;
    for (char ch : log())
        linesAfter += ch == '\n';
    EXPECT_EQ(linesAfter, lines);

    // Ground appears: after the wait every creature is placed in the ring.
    g_openGround = true;
    frames(SPAWN_RETRY_FRAMES);
    for (int i = 0; i < CREATURE_COUNT; ++i) {
        EXPECT_TRUE(g_creatures.placed[i]);
        EXPECT_TRUE(g_actors[i].active);
        EXPECT_GE(manhattan(g_actors[i]), g_creatures.innerRange);
    }
}

TEST_F(CreatureTest, DeadCreatureIsNoLongerUpdated) {
    g_creatures.spawnAll();
    ActorController& c = g_actors[2];
    g_creatures.records[2].health = 1;
    takeDamage(g_creatures.records[2], 5);
    ASSERT_FALSE(c.active);
    double x = c.position[0], y = c.position[1];
    int action = c.action;
    frames(300);
    EXPECT_EQ(c.position[0], x);
    EXPECT_EQ(c.position[1], y);
    EXPECT_EQ(c.action, action);
    EXPECT_TRUE(g_creatures.placed[2]); // still drawn
    // The others wander meanwhile.
    int moved = 0;
    for (int i = 0; i < CREATURE_COUNT; ++i)
        moved += i != 2 && g_actors[i].action != ACTION_WANDER;
    EXPECT_GT(moved, 0);
}

namespace {
// Puts creature i at (x, y) and spawns it there, with its home around that point.
void spawnAt(int i, double x, double y) {
    g_actors[i].position[0] = x;
    g_actors[i].position[1] = y;
    g_creatures.placed[i] = true;
    g_creatures.spawn(i);
}
long allExpansions() {
    long total = 0;
    for (int i = 0; i < CREATURE_COUNT; ++i)
        total += g_actors[i].expansionsTotal;
    return total;
}
} // namespace

TEST_F(CreatureTest, PlayerInTheHomeBoxIsChasedUntilTheCreatureGivesUpAndGoesHome) {
    g_creatures.spawnAll();
    ActorController& c = g_actors[7];
    ActorController& player = playerActor();
    spawnAt(7, 5300.5, 5000.5);
    // The player steps into the box, 40 cells from the creature.
    player.position[0] = 5260.5;
    player.position[1] = 5000.5;
    frames(1);
    EXPECT_EQ(c.action, ACTION_CHASE);
    double start = distance(c, player);
    frames(60);
    EXPECT_LT(distance(c, player), start - 15);
    EXPECT_EQ(c.action, ACTION_CHASE);

    // The player walks off in -x one cell a frame; the creature follows until
    // it is 150 cells from home, then turns back.
    bool gaveUp = false;
    double farthest = 0;
    for (int f = 0; f < 600 && !gaveUp; ++f) {
        player.position[0] -= 1.0;
        frames(1);
        farthest = std::max(farthest, 5300.5 - c.position[0]);
        gaveUp = c.action == ACTION_RETURN_HOME;
    }
    ASSERT_TRUE(gaveUp);
    EXPECT_GE(farthest, 150.0);
    EXPECT_LT(farthest, 152.0);
    // Back home it idles in its box (a walk ends up to 20 cells short of its goal).
    player.position[0] -= 1000; // well out of the way, still in range
    for (int f = 0; f < 2000 && c.action == ACTION_RETURN_HOME; ++f)
        frames(1);
    EXPECT_EQ(c.action, ACTION_IDLE);
    EXPECT_GE(c.position[0], c.homeMinCellX - c.arriveDistance);
    EXPECT_LE(c.position[0], c.homeMaxCellX + 1);
}

TEST_F(CreatureTest, LongChaseIsPlannedWithinAQuarterSecondAmongWanderingCreatures) {
    for (double timeFactor : {0.5, 1.0, 1.6}) {
        g_settings.timeFactor = timeFactor;
        crt::srand(100);
        g_creatures.spawnAll();
        frames(5); // the others are searching for wander goals
        // The last creature, 150 cells from the player, chases him.
        ActorController& c = g_actors[CREATURE_COUNT - 1];
        spawnAt(CREATURE_COUNT - 1, playerActor().position[0] + 150, playerActor().position[1]);
        c.setAction(ACTION_CHASE);
        c.goal[0] = playerActor().position[0];
        c.goal[1] = playerActor().position[1];
        c.startSearch();
        double gameTime = 0;
        long before = c.expansionsTotal;
        while (!c.pathFound && gameTime < 100) {
            long frameStart = allExpansions();
            frames(1);
            gameTime += timeFactor;
            EXPECT_LE(allExpansions() - frameStart, g_creatures.searchBudget.perFrame);
        }
        SCOPED_TRACE("time factor " + std::to_string(timeFactor));
        EXPECT_TRUE(c.pathFound);
        EXPECT_LE(gameTime, 25.0 + timeFactor) << c.expansionsTotal - before << " expansions";
        EXPECT_GE(c.pathLength, 125);
    }
}

TEST(CreatureSearchBudget, ChasesMayTakeWhatWanderersLeave) {
    CreatureSearchBudget b;
    b.perUnit = 100;
    b.perFrame = 250;
    b.startFrame();
    struct Step {
        bool chasing;
        double timeFactor;
        int granted;
        long spent;
    };
    // Wanderers leave one share for a chase; a chase takes up to its share of what is left.
    const Step steps[] = {
        {false, 1.0, 100, 100}, {false, 1.5, 0, 0}, {false, 0.4, 40, 40},
        {true, 2.0, 110, 110},  {true, 1.0, 0, 0},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(b.grant(s.chasing, s.timeFactor), s.granted);
        b.spend(s.spent);
    }
    EXPECT_EQ(b.remaining, 0);
    b.startFrame();
    EXPECT_EQ(b.grant(true, 0.0), 1); // a frame without time still moves a search on
    b.spend(1000);
    EXPECT_EQ(b.remaining, 0);
}
