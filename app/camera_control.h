// Mouse control of the camera: looking around and, in free-move, flying.
#pragma once

#include "core/camera.h"

// The mouse moved (dx, dy) pixels from the screen centre (centre minus
// cursor). Without free-move: look around. In free-move: the left button
// looks, both buttons fly along the view, the right button flies up and
// down; both flying modes strafe sideways with dx.
void steer(Camera& c, double dx, double dy, bool freeMove, bool left, bool right);
// Mouse-driven look and flight, once per frame before anything else of the
// input handler.
void mouseControl(Camera& c);
