#include "actor/combat.h"
#include "actor/creatures.h"
#include "core/log.h"
#include "render/engine.h"
#include "test_map.h"
#include "tests/support/read_file.h"

#include <cstdio>
#include <string>

using testmap::MapTest;

namespace {

// Combat against creature 3 with the log in a file of the test's own.
class CombatTest : public MapTest {
  protected:
    std::string logPath = "/tmp/zeb_combat_test_" + std::to_string(::getpid()) + ".txt";
    ModelSlot slot;

    void SetUp() override {
        openLog(logPath.c_str());
        MapTest::SetUp();
        reset();
    }
    // A fresh party leader and creature 3 at full health, the log read from here on.
    void reset() {
        logStart = log().size();
        createPlayerCharacter();
        slot.deathAnimation = 4;
        slot.idleAnimation = 1;
        ActorController& c = g_actors[3];
        c.setLook(&slot, slot.idleAnimation);
        c.active = true;
        NPCRecord& r = creature();
        r = NPCRecord{};
        r.maxHealth = r.health = 100;
        r.experienceValue = 5;
        r.controllerIndex = 3;
        g_engine.statusLine[0] = '\0';
    }
    void TearDown() override {
        MapTest::TearDown();
        closeLog();
        std::remove(logPath.c_str());
    }
    NPCRecord& creature() { return g_creatures.records[3]; }
    PlayerCharacter& player() { return *playerCharacter; }
    std::size_t logStart = 0;
    std::string log() {
        g_log.flush();
        return testsupport::readFile(logPath);
    }
    // What was logged since the last reset.
    std::string newLog() { return log().substr(logStart); }
    // Seeds the generator so that the next d20 shows `roll`.
    static void seedForRoll(int roll) {
        for (unsigned seed = 1;; ++seed) {
            crt::srand(seed);
            if (crt::rand() % 20 + 1 == roll) {
                crt::srand(seed);
                return;
            }
        }
    }
};

} // namespace

TEST(Dice, SumsStayWithinTheirRangeAndReachEveryFace) {
    crt::srand(7);
    struct Case {
        int count, sides;
    };
    for (Case c : {Case{1, 20}, Case{2, 6}, Case{3, 4}}) {
        bool seen[64] = {};
        for (int i = 0; i < 2000; ++i) {
            int total = rollDice(c.count, c.sides);
            ASSERT_GE(total, c.count);
            ASSERT_LE(total, c.count * c.sides);
            seen[total] = true;
        }
        for (int total = c.count; total <= c.count * c.sides; ++total)
            EXPECT_TRUE(seen[total]) << c.count << "d" << c.sides << " never gave " << total;
    }
    EXPECT_EQ(rollDice(0, 6), 0);
    EXPECT_EQ(rollDice(-2, 6), 0);
    // A die without sides rolls nothing instead of dividing by zero.
    EXPECT_EQ(rollDice(2, 0), 0);
}

TEST_F(CombatTest, RollDecidesBetweenCriticalHitAndMiss) {
    struct Case {
        int roll, attackBonus, armourClass;
        const char* line; // nullptr: a miss
        int lowest, highest;
    };
    const Case cases[] = {
        {4, 6, 10, "Hit!", 2, 12},
        {5, 0, 50, "Critical hit", 6, 36}, // armour does not stop a critical hit
        {3, 7, 10, "Hit!", 2, 12},         // the roll and bonus just reach the armour
        {3, 6, 10, nullptr, 0, 0},
        {4, 0, 10, nullptr, 0, 0},
        {1, 0, 0, "Hit!", 2, 12}, // no armour: every roll hits
    };
    for (const Case& c : cases) {
        reset();
        player().attackBonus = c.attackBonus;
        creature().armourClass = c.armourClass;
        creature().health = 1000;
        bool hits = c.roll >= 5 || c.roll + c.attackBonus >= c.armourClass;
        seedForRoll(c.roll);
        attack(player(), creature(), *defaultWeapon);
        int damage = 1000 - creature().health;
        std::string text = newLog();
        SCOPED_TRACE("roll " + std::to_string(c.roll));
        EXPECT_EQ(hits, c.line != nullptr);
        if (c.line) {
            EXPECT_NE(text.find(std::string(c.line) + "\n"), std::string::npos);
            EXPECT_GE(damage, c.lowest);
            EXPECT_LE(damage, c.highest);
            if (c.roll >= 5) {
                EXPECT_EQ(damage % 3, 0);
            }
            EXPECT_NE(text.find("DAMAGE: " + std::to_string(damage) + "\n"), std::string::npos);
            EXPECT_EQ(player().health, 310);
            EXPECT_STREQ(g_engine.statusLine,
                         ("Health left: " + std::to_string(1000 - damage)).c_str());
        } else {
            EXPECT_EQ(damage, 0);
            EXPECT_NE(text.find("DAMAGE: 0\nYOU TAKE DAMAGE: 15\nCURRENT: 310\nCURRENT: 295\n"),
                      std::string::npos);
            EXPECT_EQ(player().health, 295);
        }
    }
}

TEST_F(CombatTest, KillPaysOnceAndLeavesTheCreatureInItsDeathPose) {
    creature().health = 3;
    creature().gold = 7;
    player().gold = 2;
    player().attackBonus = 20; // every roll hits
    // A hit of 2 leaves it standing at 1; the next one kills.
    for (int i = 0; i < 3 && creature().health >= 1; ++i)
        attack(player(), creature(), *defaultWeapon);
    ASSERT_LT(creature().health, 1);
    EXPECT_STREQ(g_engine.statusLine, "Killed!");
    EXPECT_EQ(player().experience, 5);
    EXPECT_EQ(player().experienceToNext, 995);
    EXPECT_EQ(player().gold, 9);
    EXPECT_FALSE(g_actors[3].active);
    EXPECT_EQ(g_actors[3].instance.animation, slot.deathAnimation);
    EXPECT_EQ(player().target, nullptr); // only the attack command names a target

    // Hitting the body again rolls and logs as usual but it does not die again.
    reset();
    creature().health = -4;
    creature().gold = 7;
    player().attackBonus = 20;
    attack(player(), creature(), *defaultWeapon);
    std::string text = newLog();
    EXPECT_NE(text.find("Current health is -4\n"), std::string::npos);
    EXPECT_NE(text.find("trying to run animation\n"), std::string::npos);
    EXPECT_EQ(player().experience, 0);
    EXPECT_EQ(player().gold, 0);
    EXPECT_TRUE(g_actors[3].active);
    EXPECT_STREQ(g_engine.statusLine, "Killed!");
}

TEST_F(CombatTest, ExperienceRaisesOneLevelPerGainAndGrowsTheClassAbility) {
    struct Case {
        int level, toNext, gain, characterClass;
        int wantLevel, wantToNext, grownAbility; // -1: none grows
    };
    const Case cases[] = {
        {1, 2, 5, 0, 2, -3 + 3000, -1},
        {1, 1000, 999, 0, 1, 1, -1},
        {1, 1000, 1000, 1, 2, 3000, -1},
        // A gain worth several levels still raises only one; the rest is carried.
        {1, 10, 20000, 2, 2, -19990 + 3000, -1},
        // Reaching level 3 (and 6) grows the class's ability.
        {2, 1, 1, 0, 3, 6000, 3},
        {2, 1, 1, 1, 3, 6000, 0},
        {2, 1, 1, 2, 3, 6000, 2},
        {2, 1, 1, 3, 3, 6000, 1},
        {2, 1, 1, 4, 3, 6000, -1},
        {5, 1, 1, 1, 6, 21000, 0},
    };
    for (const Case& c : cases) {
        reset();
        PlayerCharacter& p = player();
        p.level = c.level;
        p.experienceToNext = c.toNext;
        p.characterClass = c.characterClass;
        p.gainExperience(c.gain);
        SCOPED_TRACE("level " + std::to_string(c.level) + " class " +
                     std::to_string(c.characterClass));
        EXPECT_EQ(p.level, c.wantLevel);
        EXPECT_EQ(p.experienceToNext, c.wantToNext);
        EXPECT_EQ(p.experience, c.gain);
        for (int a = 0; a < ABILITY_COUNT; ++a)
            EXPECT_EQ(p.abilities[a], 10 + (a == c.grownAbility)) << "ability " << a;
    }
}

TEST_F(CombatTest, AttackCommandFindsTheCreatureByItsInstanceId) {
    attackPicked(g_actors[3].instance.id);
    EXPECT_EQ(player().target, &creature());
    EXPECT_LT(creature().health, 100); // armour 0: every roll hits
    EXPECT_EQ(newLog().rfind("Running attack\n", 0), 0u);

    reset();
    attackPicked(g_actors[PLAYER_INDEX].instance.id); // not a creature
    EXPECT_EQ(player().target, nullptr);
    EXPECT_EQ(newLog(), "Running attack\n");
}

TEST_F(CombatTest, StatusBarsFollowThePartyLeader) {
    player().health = -20;
    player().mana = 90;
    player().maxHealth = 250;
    showPlayerStatus();
    EXPECT_EQ(g_engine.statusBarValues[0], -20);
    EXPECT_EQ(g_engine.statusBarValues[1], 90);
    EXPECT_EQ(g_engine.statusBarMaximum, 250);
    // Nothing else happens at health below 1.
    player().takeDamage(5);
    EXPECT_EQ(player().health, -25);
    EXPECT_NE(newLog().find("YOU TAKE DAMAGE: 5\nCURRENT: -20\nCURRENT: -25\n"), std::string::npos);
}
