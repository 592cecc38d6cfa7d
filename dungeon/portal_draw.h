// Drawing the dungeon entrances that stand on the terrain pages.
#pragma once

#include "interact/portal.h"

// One portal: its "Dungeon entrance" label when it is under the mouse, then
// its model by type (only entrances have one). Called for every portal of
// every page the terrain draws objects on.
void drawPortal(const Portal& portal);
