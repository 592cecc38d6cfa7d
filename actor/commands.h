// What the player's commands do to the player's controller: the left click on
// open ground, the animation keys and the movement keys.
#pragma once

// Height of a marker above the ground.
constexpr double MARKER_HEIGHT = 10.0;

// Sends the player towards (x, y): starts a search there and puts the click
// marker where the goal was accepted, or the failed-path marker where it was
// refused. Returns whether the goal was accepted.
bool walkPlayerTo(double x, double y);
// Steps the player's animation by `delta` (key Z +1, key X -1).
void stepPlayerAnimation(int delta);
// Movement action 11..14: forward, backward, left, right. Other actions do nothing.
void movePlayer(int action);
