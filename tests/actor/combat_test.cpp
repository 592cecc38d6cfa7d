#include "actor/combat.h"
#include "actor/creatures.h"
#include "core/log.h"
#include "render/engine.h"
#include "test_map.h"
#include "tests/support/log_capture.h"

#include <string>

namespace {

// Attacks on creature 3, with the log in a file of the test's own.
class CombatTest : public testmap::MapTest {
  protected:
    testsupport::LogCapture log;
    std::size_t logStart = 0;
    ModelSlot slot;

    void SetUp() override {
        MapTest::SetUp();
        slot.deathAnimation = 4;
        reset();
    }
    // A fresh party leader and a living creature 3; the log is read from here on.
    void reset() {
        logStart = log.text().size();
        createPlayerCharacter();
        g_actors[3].setLook(&slot, 1);
        g_actors[3].active = true;
        creature() = NPCRecord{};
        creature().health = 100;
        creature().experienceValue = 5;
        creature().controllerIndex = 3;
    }
    NPCRecord& creature() { return g_creatures.records[3]; }
    PlayerCharacter& player() { return *playerCharacter; }
    std::string newLog() { return log.text().substr(logStart); }
    // Seeds the generator so that the next d20 shows `roll`.
    static void seedForRoll(int roll) {
        unsigned seed = 1;
        for (crt::srand(seed); crt::rand() % 20 + 1 != roll; crt::srand(++seed)) {
        }
        crt::srand(seed);
    }
};

} // namespace

TEST(Dice, SumsStayWithinTheirRangeAndReachEveryFace) {
    for (auto [count, sides] : {std::pair{1, 20}, std::pair{3, 4}}) {
        bool seen[64] = {};
        for (int i = 0; i < 2000; ++i) {
            int total = rollDice(count, sides);
            ASSERT_GE(total, count);
            ASSERT_LE(total, count * sides);
            seen[total] = true;
        }
        for (int total = count; total <= count * sides; ++total)
            EXPECT_TRUE(seen[total]) << count << "d" << sides << " never gave " << total;
    }
    EXPECT_EQ(rollDice(0, 6), 0);
    EXPECT_EQ(rollDice(2, 0), 0); // no sides: nothing rolled, no division by zero
}

TEST_F(CombatTest, RollDecidesBetweenCriticalHitAndMiss) {
    struct Case {
        int roll, attackBonus, armourClass;
        const char* line; // nullptr: a miss
    };
    const Case cases[] = {
        {4, 6, 10, "Hit!"}, {5, 0, 50, "Critical hit"}, // armour does not stop it
        {3, 7, 10, "Hit!"}, {3, 6, 10, nullptr},        {1, 0, 0, "Hit!"},
    };
    for (const Case& c : cases) {
        reset();
        player().attackBonus = c.attackBonus;
        creature().armourClass = c.armourClass;
        creature().health = 1000;
        seedForRoll(c.roll);
        attack(player(), creature(), *defaultWeapon);
        int damage = 1000 - creature().health;
        std::string text = newLog();
        SCOPED_TRACE("roll " + std::to_string(c.roll));
        if (!c.line) {
            EXPECT_EQ(damage, 0);
            EXPECT_NE(text.find("DAMAGE: 0\nYOU TAKE DAMAGE: 15\nCURRENT: 310\nCURRENT: 295\n"),
                      std::string::npos);
            continue;
        }
        bool critical = c.roll >= 5;
        EXPECT_NE(text.find(std::string(c.line) + "\nDAMAGE: " + std::to_string(damage) + "\n"),
                  std::string::npos);
        EXPECT_GE(damage, critical ? 6 : 2);
        EXPECT_LE(damage, critical ? 36 : 12);
        EXPECT_EQ(damage % (critical ? 3 : 1), 0);
        EXPECT_EQ(player().health, 310);
        EXPECT_STREQ(g_engine.statusLine,
                     ("Health left: " + std::to_string(1000 - damage)).c_str());
    }
}

// Attacks by a creature's instance id, as a click makes them. (The creatures
// play-through holds the death pose and the experience of a second blow.)
TEST_F(CombatTest, KillPaysExperienceAndGoldOnceAndOtherIdsAttackNothing) {
    creature().health = 3;
    creature().gold = 7;
    player().attackBonus = 20; // every roll hits
    // A hit of 2 leaves it standing at 1; the next one kills.
    for (int i = 0; i < 3 && creature().health >= 1; ++i)
        attackPicked(g_actors[3].instance.id);
    ASSERT_LT(creature().health, 1);
    EXPECT_EQ(player().target, &creature());
    EXPECT_STREQ(g_engine.statusLine, "Killed!");
    EXPECT_FALSE(g_actors[3].active);
    EXPECT_EQ(g_actors[3].instance.animation, slot.deathAnimation);
    attackPicked(g_actors[3].instance.id);
    EXPECT_EQ(player().experience, 5);
    EXPECT_EQ(player().gold, 7);

    reset();
    attackPicked(g_actors[PLAYER_INDEX].instance.id); // not a creature
    EXPECT_EQ(player().target, nullptr);
    EXPECT_EQ(newLog(), "Running attack\n");
}

TEST_F(CombatTest, ExperienceRaisesOneLevelPerGainAndGrowsTheClassAbility) {
    struct Case {
        int level, toNext, gain, characterClass;
        int wantLevel, wantToNext, grownAbility; // -1: none grows
    };
    const Case cases[] = {
        {1, 2, 5, 0, 2, -3 + 3000, -1},   {1, 1000, 999, 0, 1, 1, -1},
        {1, 10, 20000, 2, 2, -16990, -1}, // only one level per gain; the rest is carried
        {2, 1, 1, 0, 3, 6000, 3},         {2, 1, 1, 1, 3, 6000, 0},
        {2, 1, 1, 2, 3, 6000, 2},         {2, 1, 1, 3, 3, 6000, 1},
        {2, 1, 1, 4, 3, 6000, -1},        {5, 1, 1, 1, 6, 21000, 0},
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
        for (int a = 0; a < ABILITY_COUNT; ++a)
            EXPECT_EQ(p.abilities[a], 10 + (a == c.grownAbility)) << "ability " << a;
    }
}
