#include "actor/combat.h"

#include "actor/controller.h"
#include "actor/creatures.h"
#include "core/log.h"
#include "core/random.h"
#include "render/engine.h"

PlayerCharacter* playerCharacter = nullptr;
ItemRecord* defaultWeapon = nullptr;

void createPlayerCharacter() {
    static PlayerCharacter character;
    static ItemRecord weapon;
    character = PlayerCharacter{};
    character.maxHealth = 310;
    character.health = 310;
    character.maxMana = 310;
    character.mana = 140;
    weapon = ItemRecord{};
    weapon.damageDice = 2;
    weapon.damageSides = 6;
    weapon.criticalMultiplier = 3;
    weapon.criticalThreshold = 5;
    playerCharacter = &character;
    defaultWeapon = &weapon;
}

// A die without sides rolls nothing (and draws nothing).
int rollDice(int count, int sides) {
    if (sides < 1) return 0;
    int total = 0;
    for (int i = 0; i < count; ++i)
        total += crt::rand() % sides + 1;
    return total;
}

void attack(PlayerCharacter& attacker, NPCRecord& target, const ItemRecord& weapon) {
    int roll = rollDice(1, 20);
    int damage = 0;
    // The critical test ignores the target's armour.
    if (roll >= weapon.criticalThreshold) {
        g_log << "Critical hit" << std::endl;
        damage = rollDice(weapon.damageDice, weapon.damageSides) * weapon.criticalMultiplier;
    } else if (roll + attacker.attackBonus >= target.armourClass) {
        g_log << "Hit!" << std::endl;
        damage = rollDice(weapon.damageDice, weapon.damageSides);
    }
    g_log << "DAMAGE: " << damage << std::endl;
    if (damage != 0)
        takeDamage(target, damage);
    else
        attacker.takeDamage(MISS_DAMAGE);
    attacker.actionTime += weapon.actionCost;
    if (target.health >= 1)
        g_engine.postStatus("Health left: %i", target.health);
    else
        g_engine.postStatus("Killed!");
}

// A creature already below 1 health takes the blow but does not die again:
// it has paid its experience and gold once.
void takeDamage(NPCRecord& creature, int amount) {
    g_log << "Taking damage." << std::endl;
    g_log << "Current health is " << creature.health << std::endl;
    bool wasAlive = creature.health >= 1;
    creature.health -= amount;
    g_log << "After health is " << creature.health << std::endl;
    g_log << "trying to run animation" << std::endl;
    if (wasAlive && creature.health < 1 && playerCharacter)
        creatureDies(creature, *playerCharacter);
}

void creatureDies(NPCRecord& creature, PlayerCharacter& player) {
    player.gainExperience(creature.experienceValue);
    player.gold += creature.gold;
    int index = creature.controllerIndex;
    if (index < 0 || index >= CREATURE_COUNT) return;
    ActorController& controller = g_actors[index];
    if (controller.instance.slot)
        controller.instance.setAnimation(controller.instance.slot->deathAnimation);
    controller.active = false;
}

void PlayerCharacter::takeDamage(int amount) {
    g_log << "YOU TAKE DAMAGE: " << amount << std::endl;
    g_log << "CURRENT: " << health << std::endl;
    health -= amount;
    g_log << "CURRENT: " << health << std::endl;
}

void PlayerCharacter::gainExperience(int amount) {
    experience += amount;
    experienceToNext -= amount;
    if (experienceToNext <= 0) levelUp();
}

void PlayerCharacter::levelUp() {
    ++level;
    // 1000 x (1 + 2 + ... + level).
    experienceToNext += 1000 * (level * (level + 1) / 2);
    if (level % 3 == 0) raiseClassAbility();
}

void PlayerCharacter::raiseClassAbility() {
    // Class 0 grows the fourth ability, 1 the first, 2 the third, 3 the second.
    static constexpr int kAbilityOfClass[4] = {3, 0, 2, 1};
    if (characterClass >= 0 && characterClass < 4) ++abilities[kAbilityOfClass[characterClass]];
}

void attackPicked(int targetId) {
    g_log << "Running attack" << std::endl;
    if (!playerCharacter || !defaultWeapon) return;
    for (int i = 0; i < CREATURE_COUNT; ++i) {
        if (g_actors[i].instance.id != targetId) continue;
        NPCRecord& target = g_creatures.records[i];
        playerCharacter->target = &target;
        attack(*playerCharacter, target, *defaultWeapon);
        return;
    }
}

void showPlayerStatus() {
    if (!playerCharacter) return;
    g_engine.statusBarValues[0] = playerCharacter->health;
    g_engine.statusBarValues[1] = playerCharacter->mana;
    g_engine.statusBarMaximum = playerCharacter->maxHealth;
}
