#include "app/log.h"
#include "app/mainloop.h"
#include "app/random.h"
#include "app/settings.h"

// The start-up block: runs once, inside the first active pass, and loads and
// places everything before the first frame is drawn.
void runStartupBlock() {
    g_log << "Initializing..." << std::endl;
    crt::srand(unsigned(g_settings.totalTime));
    // Fonts, textures, sky, models and GL state.
    g_settings.applyDetailLevel(3);
    // Splash fades; the dungeon layout; the model slot table; the player's
    // controller, statistics and weapon; decor kinds; the outside world;
    // creatures; the player controller's start.
    g_settings.clearFlag(FLAG_INIT_PENDING);
}

void onDetailLevelApplied(int) {}
