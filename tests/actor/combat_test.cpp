#include "actor/combat.h"
#include "actor/creatures.h"
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
        reset();
    }
    // A fresh party leader and a living creature 3; the log is read from here on.
    void reset() {
        logStart = log.text().size();
        createPlayerCharacter();
        g_actors[3].setLook(&slot, 1);
        g_actors[3].active = true;
        creature() = NPCRecord{};
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

TEST_F(CombatTest, RollDecidesBetweenCriticalHitAndMiss) {
    struct Case {
        int roll, attackBonus, armourClass;
        const char* line; // nullptr: a miss
    };
    const Case cases[] = {
        {4, 6, 10, "Hit!"}, {5, 0, 50, "Critical hit"}, // armour does not stop it
        {3, 7, 10, "Hit!"}, {3, 6, 10, nullptr},        {1, 0, 0, "Hit!"},
    };
    EXPECT_EQ(rollDice(2, 0), 0); // no sides: nothing rolled, no division by zero
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
        EXPECT_EQ(damage % (critical ? 3 : 1), 0) << "a critical hit triples the roll";
        EXPECT_EQ(player().health, 310);
        EXPECT_STREQ(g_engine.statusLine,
                     ("Health left: " + std::to_string(1000 - damage)).c_str());
    }
}

// A gain raises one level at most and carries the rest; every third level
// grows the class's ability, and a class out of range grows none.
TEST_F(CombatTest, AGainRaisesOneLevelAtMostAndEveryThirdGrowsTheClassAbility) {
    for (int characterClass : {1, 4}) {
        SCOPED_TRACE(characterClass);
        reset();
        PlayerCharacter& p = player();
        p.level = 2;
        p.experienceToNext = 1;
        p.characterClass = characterClass;
        p.gainExperience(20000);
        EXPECT_EQ(p.level, 3);
        EXPECT_EQ(p.experienceToNext, 1 - 20000 + 6000);
        for (int a = 0; a < ABILITY_COUNT; ++a)
            EXPECT_EQ(p.abilities[a], 10 + (characterClass == 1 && a == 0)) << "ability " << a;
    }
}
