#include "app/mainloop.h"

#include "actor/controller.h"
#include "app/frame_times.h"
#include "app/input.h"
#include "app/window.h"
#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"
#include "dungeon/world.h"
#include "render/engine.h"

MainLoop g_loop;

int WinMain() {
    // The window code has shown its box; a failed start is not a success.
    if (!startGame()) return 1;
    runMainLoop();
    return finishGame();
}

bool startGame() {
    openLog();
    readFrameTimeSettings();
    crt::srand(100);
    return openGLWindow("Zeb", g_settings.screenWidth, g_settings.screenHeight, 16,
                        g_engine.fullscreen);
}

int finishGame() {
    closeLog();
    closeGLWindow();
    // The quit message carries the exit code; the quit key ends with 0 (the
    // last message then is whatever key or mouse message came before it).
    return g_loop.msg.message == win::WM_QUIT ? int(g_loop.msg.wParam) : 0;
}

void runMainLoop() {
    g_loop.done = false;
    while (!g_loop.done)
        runPass();
}

// The player's controller, then the terrain window following the camera
// while outside.
static void updateWorld() {
    playerActor().update();
    if (g_engine.inDungeon == 0 && terrain && localTerrain) localTerrain->update(*terrain);
}

void runPass() {
    win::MSG msg;
    if (win::PeekMessage(msg)) {
        g_loop.msg = msg;
        if (msg.message == win::WM_QUIT) {
            g_loop.done = true;
        } else {
            win::TranslateMessage(msg);
            win::DispatchMessage(msg);
        }
    }
    if (g_settings.testFlag(FLAG_QUIT)) {
        g_log << "Shutting down..." << std::endl;
        g_loop.done = true;
        return;
    }
    if (!g_settings.testFlag(FLAG_ACTIVE)) return;
    g_settings.tick();
    if (g_settings.testFlag(FLAG_INIT_PENDING)) runStartupBlock();
    g_input.handleInput();
    updateWorld();
    renderFrame();
    recordFrameTime();
}
