#include "actor/combat.h"
#include "actor/controller.h"
#include "actor/creatures.h"
#include "app/input.h"
#include "app/mainloop.h"
#include "core/camera.h"
#include "core/settings.h"
#include "dungeon/dungeon_draw.h"
#include "dungeon/world.h"
#include "interact/dungeon_picks.h"
#include "interact/picker.h"
#include "interact/projectile.h"
#include "platform/win.h"
#include "render/engine.h"
#include "render/particles.h"
#include "terrain/terrain_draw.h"

#include <GL/gl.h>
#include <GL/glu.h>

double frameAspect(int width, int height) {
    if (height == 0) return 1.0;
    return double(width / height);
}

namespace {

void setProjectionAndView() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(g_camera.fov, frameAspect(g_settings.screenWidth, g_settings.screenHeight), 1.0,
                   g_camera.far);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(g_camera.eye[0], g_camera.eye[1], g_camera.eye[2], g_camera.centre[0],
              g_camera.centre[1], g_camera.centre[2], 0.0, 0.0, 1.0);
}

// Reads back the matrices and the depth under the cursor, and unprojects the
// cursor into the world point under the mouse.
void readBackMouseWorld(double x, double y) {
    glGetDoublev(GL_MODELVIEW_MATRIX, g_frame.modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, g_frame.projection);
    glGetIntegerv(GL_VIEWPORT, g_frame.viewport);
    float depth = 12.0f;
    double winY = g_settings.screenHeight - y;
    glReadPixels(int(x), int(winY), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    g_frame.mouseDepth = depth;
    gluUnProject(x, winY, depth, g_frame.modelview, g_frame.projection, g_frame.viewport,
                 &g_frame.mouseWorld[0], &g_frame.mouseWorld[1], &g_frame.mouseWorld[2]);
}

// The player's party, creatures, particles and projectiles.
void drawActors() {
    playerActor().draw();
    g_creatures.updateAll();
    g_particles.drawParticles();
    g_projectiles.drawAll();
}

// The picker's selection pass, seen from the frame's camera around the cursor.
void runSelectionPass(double x, double y) {
    PickView view;
    view.cursorX = x;
    view.cursorY = y;
    for (int k = 0; k < 4; ++k)
        view.viewport[k] = g_frame.viewport[k];
    view.fov = g_camera.fov;
    view.aspect = frameAspect(g_settings.screenWidth, g_settings.screenHeight);
    view.farPlane = g_camera.far;
    for (int k = 0; k < 3; ++k) {
        view.eye[k] = g_camera.eye[k];
        view.centre[k] = g_camera.centre[k];
    }
    g_picker.runPass(view);
}

// The picker's last hit and the player's animation state, shown by the
// debug read-out.
void fillDebugReadout() {
    DebugReadout& d = g_engine.debugReadout;
    d.hits = g_picker.hitCount;
    d.hitType = int(g_picker.hitType);
    d.hitId = int(g_picker.hitId);
    const ModelInstance& player = playerActor().instance;
    d.animNumber = player.animation;
    d.animName = player.animationName;
    const ModelSlot* slot = player.slot;
    if (slot == nullptr) return;
    d.animCount = slot->animationCount;
    const int standard[5] = {slot->idleAnimation, slot->walkAnimation, slot->painAnimation,
                             slot->attackAnimation, slot->deathAnimation};
    for (int i = 0; i < 5; ++i)
        d.standardAnims[i] = standard[i];
}

void drawOverlayPass() {
    fillDebugReadout();
    showPlayerStatus();
    g_engine.drawOverlay();
}

} // namespace

void drawWorld() {
    if (g_engine.inDungeon == 0) {
        // The sky goes where the terrain and its objects left the screen open.
        if (localTerrain) drawTerrain(*localTerrain);
        g_engine.drawSky();
    } else if (dungeon) {
        pickInDungeon(*dungeon);
        drawDungeon(*dungeon, playerActor().position);
    }
}

void renderFrame() {
    setProjectionAndView();
    g_input.readCursor();
    double x = g_input.cursor.x, y = g_input.cursor.y;
    drawWorld();
    readBackMouseWorld(x, y);
    // A click sends the player to the point under the mouse.
    playerActor().goal[0] = g_frame.mouseWorld[0];
    playerActor().goal[1] = g_frame.mouseWorld[1];
    drawActors();
    runSelectionPass(x, y);
    drawOverlayPass();
    win::SwapBuffers();
    glFlush();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ++g_loop.framesDrawn;
}
