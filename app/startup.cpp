#include "actor/combat.h"
#include "actor/controller.h"
#include "actor/creatures.h"
#include "app/mainloop.h"
#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"
#include "core/camera.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_draw.h"
#include "dungeon/world.h"
#include "platform/win.h"
#include "interact/decor.h"
#include "interact/dungeon_picks.h"
#include "interact/picker.h"
#include "model/slot.h"
#include "render/engine.h"

#include <cstdlib>

// The start-up block: runs once, inside the first active pass, and loads and
// places everything before the first frame is drawn.
void runStartupBlock() {
    g_log << "Initializing..." << std::endl;
    crt::srand(unsigned(g_settings.totalTime));
    g_engine.initEngine();
    g_settings.applyDetailLevel(3);
    g_engine.playSplash();
    // One dungeon layout for the whole run.
    if (!makeDungeonLayout()) std::exit(1);
    setupModelSlots();
    // Objects under the cursor are drawn highlighted, and the dungeon's
    // drawing hands its doors, chests and portals to the picker.
    g_modelQueries.isPicked = isObjectPicked;
    g_pickRegistration.add = registerWithPicker;
    // The player's party leader at the start point, idling.
    bindPlayer(&g_modelSlots[PLAYER_SLOT]);
    createPlayerCharacter();
    setupDecorKinds();
    enterOutside();
    g_creatures.initCreatureTypes();
    g_creatures.spawnAll();
    initPlayer();
    g_settings.clearFlag(FLAG_INIT_PENDING);
}

void onDetailLevelApplied(int level) {
    g_engine.postStatus("Setting detail level to %i", level);
    if (g_engine.inDungeon && dungeon) {
        // Inside, the view reaches as far as the cells drawn, fading out
        // from half way.
        g_camera.far = int(g_settings.dungeonViewCells * g_dungeonMeasures.cellSizeX);
        g_engine.fogStart = float(g_camera.far / 2);
        g_engine.fogEnd = float(g_camera.far);
        if (win::HasContext()) g_engine.applyFog();
    }
    if (g_engine.inDungeon == 0 && terrain && localTerrain) localTerrain->rebuild(*terrain);
}
