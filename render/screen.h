// Screen-space drawing shared by the splash and the overlay.
#pragma once

#include <GL/gl.h>

// Pushes the modelview matrix and sets an orthographic projection over the
// window (0..width, 0..height, -2000..2000) with the eye at (0, 0, 500), y up.
void beginScreenSpace();
// A picture over 1024 x 768 units, whatever the window size.
void drawSplashPicture(GLuint texture);
// Presents the back buffer, then clears colour and depth for the next frame.
void presentAndClear();
// Green and blue of the first splash fade (white to red) at t = 1 - elapsed / duration.
float splashFadeToRedGreen(float t);
