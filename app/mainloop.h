// Process entry, the main loop, the start-up block and the frame.
#pragma once

#include "core/frame_state.h"
#include "platform/win.h"

struct MainLoop {
    bool done = false;
    win::MSG msg;
    // Frames drawn since the loop started (developer read-out and tests).
    long framesDrawn = 0;
};
extern MainLoop g_loop;

// The process entry: log, seed, window, loop, release. Returns the quit code.
int WinMain();
// The entry's steps before the loop: log, seed, window. False when the window
// could not be made (its message box has been shown).
bool startGame();
// The entry's steps after the loop: closes the log, releases the window and
// returns the quit code.
int finishGame();
// Runs passes until the done flag is set.
void runMainLoop();
// One pass of the loop.
void runPass();
// The one-time start-up block (clears FLAG_INIT_PENDING as its last step).
void runStartupBlock();
// The sky and the terrain outside, or the dungeon inside (part of the frame).
void drawWorld();
// Draws one frame and presents it.
void renderFrame();
// Projection aspect: the integer quotient of width by height, as a double.
double frameAspect(int width, int height);
