// Creatures and combat in the game as it ships: the creatures spawned around
// the start, clicks on creatures that attack them until they die, and the
// level that kills bring. The chase of a player who walks into a creature's
// home is played in the whole game; the respawn of a body left far behind is
// proven on the creature tests' map (tests/actor).
#include "tests/play/steps.h"

#include "actor/combat.h"
#include "actor/creatures.h"
#include "actor/ground.h"
#include "app/input.h"
#include "render/engine.h"

#include <cstdlib>

namespace {

using namespace play;

int manhattan(const ActorController& a, const ActorController& b) {
    return std::abs(int(a.position[0] - b.position[0])) +
           std::abs(int(a.position[1] - b.position[1]));
}

class CreaturesPlay : public Scenario {
  protected:
    void SetUp() override {
        Scenario::SetUp();
        if (!HasFatalFailure()) g->run(2);
    }
    // Spawns creature i `away` units ahead of the player (turned by `turn`
    // from the view), its home around it.
    int creatureAhead(int i, double away, double turn = 0.0) {
        ScreenTarget t;
        EXPECT_TRUE(groundAhead(*g, away, turn, t));
        spawnCreatureAt(i, t);
        return i;
    }
};

TEST_F(CreaturesPlay, TwentyFourCreaturesOfSeveralKindsStandAroundTheStart) {
    int kinds[CREATURE_TYPE_COUNT] = {};
    for (int i = 0; i < CREATURE_COUNT; ++i) {
        const ActorController& c = g->actor(i);
        SCOPED_TRACE("creature " + std::to_string(i));
        EXPECT_TRUE(g_creatures.placed[i] && c.active);
        EXPECT_LT(manhattan(c, g->player()), 1600);
        EXPECT_TRUE(g_actorGround.isWalkable(c.position[0], c.position[1], 0.0));
        for (int t = 0; t < CREATURE_TYPE_COUNT; ++t)
            kinds[t] += c.instance.slot == &g_modelSlots[g_creatures.types[t].slot];
    }
    int seen = 0, total = 0;
    for (int n : kinds) {
        seen += n > 0;
        total += n;
    }
    EXPECT_EQ(total, CREATURE_COUNT);
    EXPECT_GE(seen, 4);
}

// Clicks on creatures kill them, each paying once; enough kills raise the
// level; the death plays to its last frame and is held.
TEST_F(CreaturesPlay, KillsPayOnceRaiseTheLevelAndTheDeathPoseIsHeld) {
    PlayerCharacter& hero = *playerCharacter;
    hero.experienceToNext = 12; // three kills of 5 experience are enough
    const int level = hero.level;
    const std::size_t logStart = g->logLines().size();
    for (int i : {7, 8, 9})
        ASSERT_TRUE(kill(creatureAhead(i, 25, (i - 8) * 0.6))); // apart from the bodies
    const auto log = g->logLines();
    const int attacks = countLines(log, logStart, "Running attack");
    EXPECT_GE(attacks, 3);
    EXPECT_EQ(countLines(log, logStart, "DAMAGE: "), attacks);
    // Armour 0: no misses.
    EXPECT_EQ(countLines(log, logStart, "Critical hit") + countLines(log, logStart, "Hit!"),
              attacks);
    EXPECT_STREQ(g_engine.statusLine, "Killed!");
    EXPECT_EQ(hero.target, &g_creatures.records[9]);
    EXPECT_EQ(hero.level, level + 1);
    EXPECT_EQ(hero.experienceToNext, 12 - 15 + 1000 * (hero.level * (hero.level + 1) / 2));
    hero.health -= 60;
    g->run(1);
    EXPECT_EQ(g_engine.statusBarValues[0], hero.health) << "the bars follow the party leader";

    ActorController& c = g->actor(9);
    EXPECT_FALSE(c.active);
    const int deathAnimation = c.instance.slot->deathAnimation;
    const ModelAnimation* death = c.instance.slot->model->animation(deathAnimation);
    ASSERT_NE(death, nullptr);
    EXPECT_EQ(c.instance.animation, deathAnimation);
    ASSERT_GE(g->runUntil([&] { return c.instance.frame == death->endFrame - 1; }, 3000), 0);
    const double x = c.position[0], y = c.position[1];
    g->run(100);
    EXPECT_EQ(c.instance.frame, death->endFrame - 1);
    EXPECT_TRUE(c.position[0] == x && c.position[1] == y) << "the body lies still";

    // Another blow at the body (the picker no longer offers it, so by its id
    // as a click would) is rolled and logged but pays nothing.
    const int experience = hero.experience;
    g_input.targetId = c.instance.id;
    g_input.targetPoint[0] = x;
    g_input.targetPoint[1] = y;
    g_input.next_action = PENDING_ATTACK;
    ASSERT_GE(g->runUntil([&] { return g->pendingAction() == PENDING_NONE; }, 50), 0);
    EXPECT_EQ(countLines(g->logLines(), logStart, "Running attack"), attacks + 1);
    EXPECT_EQ(hero.experience, experience);
}

} // namespace
