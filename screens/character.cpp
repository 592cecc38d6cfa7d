#include "screens/screens.h"

// The game has no player character record yet: the labels stand alone.
bool characterValues(CharacterValues&) {
    return false;
}
