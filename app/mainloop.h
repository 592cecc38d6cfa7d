// Process entry, the main loop, the start-up block and the frame.
#pragma once

#include "platform/win.h"

// Per-frame values read back after the world is drawn.
struct FrameState {
    double modelview[16] = {};
    double projection[16] = {};
    int viewport[4] = {};
    // The world point under the cursor.
    double mouseWorld[3] = {};
    // Depth under the cursor as read back (12.0 when the read failed).
    float mouseDepth = 12.0f;
};
extern FrameState g_frame;

struct MainLoop {
    bool done = false;
    win::MSG msg;
    // Frames drawn since the loop started (developer read-out and tests).
    long framesDrawn = 0;
};
extern MainLoop g_loop;

// The process entry: log, seed, window, loop, release. Returns the quit code.
int WinMain();
// Runs passes until the done flag is set.
void runMainLoop();
// One pass of the loop.
void runPass();
// The one-time start-up block (clears FLAG_INIT_PENDING as its last step).
void runStartupBlock();
// Draws one frame and presents it.
void renderFrame();
// Projection aspect: the integer quotient of width by height, as a double.
double frameAspect(int width, int height);
