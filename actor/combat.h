// Dice combat: the player's party leader attacks a creature with a weapon; a
// twenty-sided roll decides between a critical hit, a hit and a miss, damage
// lowers the creature's health, and a creature that falls below 1 dies once,
// paying its experience and gold. Experience raises the player's level.
#pragma once

#include "records/records.h"

constexpr int ABILITY_COUNT = 4;
// What a miss costs the attacker.
constexpr int MISS_DAMAGE = 15;

// The statistics of the player's party leader.
struct PlayerCharacter {
    int maxHealth = 0;
    int health = 0;
    int maxMana = 0;
    int mana = 0;
    int level = 1;
    int characterClass = 0;
    int actionTime = 0;
    int attackBonus = 0;
    int experience = 0;
    // Level 1 to 2 takes what every later level's step is measured by.
    int experienceToNext = 1000;
    int abilities[ABILITY_COUNT] = {10, 10, 10, 10};
    int gold = 0;
    const ItemRecord* weapon = nullptr;
    NPCRecord* target = nullptr;

    void takeDamage(int amount);
    // Adds experience; at most one level per gain, the rest carried.
    void gainExperience(int amount);
    void levelUp();
    // Every third level one ability grows, chosen by the class.
    void raiseClassAbility();
};

// The one party leader and the weapon every attack uses; made at start-up.
extern PlayerCharacter* playerCharacter;
extern ItemRecord* defaultWeapon;

// Makes the party leader (310 health, 140 of 310 mana) and the default weapon
// (2d6, critical x3 from a roll of 5).
void createPlayerCharacter();

// Sum of `count` rolls of a die with `sides` sides; 0 for no dice.
int rollDice(int count, int sides);
void attack(PlayerCharacter& attacker, NPCRecord& target, const ItemRecord& weapon);
// A creature takes damage; the one that drops below 1 health dies.
void takeDamage(NPCRecord& creature, int amount);
// Pays the creature's experience and gold, plays its death and stops its controller.
void creatureDies(NPCRecord& creature, PlayerCharacter& player);
// The attack command: the creature whose model instance has id `targetId`
// (the picked object) is attacked with the default weapon.
void attackPicked(int targetId);

// The status bars show the party leader's health and mana, their outline his
// maximum health.
void showPlayerStatus();
