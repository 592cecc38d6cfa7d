// Values of the last drawn frame that every subsystem may read.
#pragma once

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
