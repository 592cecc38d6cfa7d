#include "render/engine.h"

#include "core/camera.h"

#include <GL/glu.h>
#include <cstdio>

namespace {

// Cube corners of the six faces, half-size 8, in drawing order.
constexpr int kSkyCorners[SKY_FACE_COUNT][4][3] = {
    {{-8, -8, -8}, {-8, -8, 8}, {-8, 8, 8}, {-8, 8, -8}}, // x = -8
    {{-8, 8, -8}, {-8, 8, 8}, {8, 8, 8}, {8, 8, -8}},     // y = 8
    {{8, 8, -8}, {8, 8, 8}, {8, -8, 8}, {8, -8, -8}},     // x = 8
    {{8, -8, -8}, {8, -8, 8}, {-8, -8, 8}, {-8, -8, -8}}, // y = -8
    {{-8, -8, -8}, {-8, 8, -8}, {8, 8, -8}, {8, -8, -8}}, // below
    {{8, -8, 8}, {8, 8, 8}, {-8, 8, 8}, {-8, -8, 8}},     // above
};

} // namespace

// Texture coordinates of the four corners of every face: on the side faces
// t = 0 is the bottom edge and t = 1 the top.
const float kSkyTexCoords[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};

void Engine::buildSky() {
    for (int f = 0; f < SKY_FACE_COUNT; ++f)
        for (int c = 0; c < 4; ++c)
            for (int k = 0; k < 3; ++k)
                skyCorners[f][c][k] = kSkyCorners[f][c][k];
    char path[64];
    for (int f = 0; f < SKY_FACE_COUNT; ++f) {
        std::snprintf(path, sizeof path, "Data/sky/sky%i_%i.bmp", skySet, f);
        skyTextures[f] = loadTexture(path, GL_CLAMP_TO_EDGE, GL_LINEAR, GL_RGB, false);
    }
}

// Drawn after the world, at the far end of the depth range and without
// writing depth: the sky passes the depth test only where the depth buffer
// still holds its cleared value, so it shows exactly where it showed when it
// was laid under everything, and the rasteriser skips the pixels the world
// already covers instead of filling the whole screen twice.
void Engine::drawSky() {
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDepthMask(GL_FALSE);
    glDepthRange(1.0, 1.0);
    // The cube's corners lie 8 * sqrt(3) from the eye; where the fog starts
    // beyond them it leaves the sky as it is, and is not worked out for it.
    const bool fogOff = fogFreeDistance() > 14.0;
    if (fogOff) glDisable(GL_FOG);
    glPushMatrix();
    glColor3f(1.0f, 1.0f, 1.0f);
    // Only the view direction counts: the cube is always centred on the eye.
    glLoadIdentity();
    gluLookAt(0, 0, 0, g_camera.centre[0] - g_camera.eye[0], g_camera.centre[1] - g_camera.eye[1],
              g_camera.centre[2] - g_camera.eye[2], 0, 0, 1);
    for (int f = 0; f < SKY_FACE_COUNT; ++f) {
        glBindTexture(GL_TEXTURE_2D, skyTextures[f]);
        glBegin(GL_QUADS);
        for (int c = 0; c < 4; ++c) {
            glTexCoord2f(kSkyTexCoords[c][0], kSkyTexCoords[c][1]);
            glVertex3i(skyCorners[f][c][0], skyCorners[f][c][1], skyCorners[f][c][2]);
        }
        glEnd();
    }
    glDepthRange(0.0, 1.0);
    glDepthMask(GL_TRUE);
    if (fogOff) glEnable(GL_FOG);
    glPopMatrix();
}
