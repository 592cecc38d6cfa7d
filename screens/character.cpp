#include "screens/screens.h"

#include "actor/combat.h"

bool characterValues(CharacterValues& values) {
    if (!playerCharacter) return false;
    values.level = playerCharacter->level;
    values.experience = playerCharacter->experience;
    values.health = playerCharacter->health;
    values.mana = playerCharacter->mana;
    return true;
}
