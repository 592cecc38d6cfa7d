#include "core/frame_state.h"

FrameState g_frame;
