#include "dungeon/portal_draw.h"

#include "core/log.h"
#include "dungeon/dungeon_draw.h"
#include "render/engine.h"

#include <GL/gl.h>

namespace {

// The entrance is a box 12 wide and 20 high around its middle, with a
// doorway 8 wide in its -y wall closed by a sloping cellar hatch.
void entranceWalls() {
    static const float strip[12][3] = {
        {4, -6, -10}, {4, -6, 10}, {6, -6, -10},  {6, -6, 10},  {6, 6, -10},   {6, 6, 10},
        {-6, 6, -10}, {-6, 6, 10}, {-6, -6, -10}, {-6, -6, 10}, {-4, -6, -10}, {-4, -6, 10},
    };
    static const float s[12] = {0.8333f, 0.8333f, 1, 1, 2, 2, 3, 3, 4, 4, 4.1667f, 4.1667f};
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k < 12; ++k) {
        glTexCoord2f(s[k], float(k % 2));
        glVertex3fv(strip[k]);
    }
    glEnd();
}

void texturedQuad(const float (&v)[4][3], const float (&t)[4][2]) {
    for (int k = 0; k < 4; ++k) {
        glTexCoord2fv(t[k]);
        glVertex3fv(v[k]);
    }
}

// The front wall under the hatch, the roof around it and the hatch's cheeks.
void entranceFront() {
    static const float roofTex[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    glBegin(GL_QUADS);
    texturedQuad({{-4, -6, -10}, {-4, -6, 1}, {4, -6, 1}, {4, -6, -10}},
                 {{0.1667f, 0}, {0.1667f, 0.55f}, {0.8333f, 0.55f}, {0.8333f, 0}});
    texturedQuad({{-6, -6, 10}, {-6, 0, 10}, {-4, 0, 10}, {-4, -6, 10}}, roofTex);
    texturedQuad({{4, -6, 10}, {4, 0, 10}, {6, 0, 10}, {6, -6, 10}}, roofTex);
    texturedQuad({{-6, 0, 10}, {-6, 6, 10}, {6, 6, 10}, {6, 0, 10}}, roofTex);
    for (float x : {-4.0f, 4.0f})
        texturedQuad({{x, -6, 1}, {x, -6, 10}, {x, 0, 10}, {x, 0, 1}}, roofTex);
    glEnd();
}

void entranceHatch() {
    glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[TEX_DOOR]);
    glBegin(GL_POLYGON);
    texturedQuad({{-4, -6, 1}, {-4, 0, 10}, {4, 0, 10}, {4, -6, 1}},
                 {{0, 0}, {0, 1}, {0.5f, 1}, {0.5f, 0}});
    glEnd();
}

void drawEntrance(const Portal& p) {
    registerPickable(PICK_TYPE_PORTAL, p.x, p.y, p.z, p.rotation, p.id);
    glPushMatrix();
    glTranslatef(float(p.x), float(p.y), float(p.z));
    if (p.rotation != 0.0f) glRotatef(p.rotation, 0, 0, 1);
    glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[TEX_DUNGEON_WALL_FIRST]);
    entranceWalls();
    entranceFront();
    entranceHatch();
    glPopMatrix();
}

} // namespace

void drawPortal(const Portal& p) {
    if (isPickedObject(PICK_TYPE_PORTAL, p.id)) {
        g_engine.addFloatText("Dungeon entrance", int(p.x), int(p.y), int(p.z + 10.0 + 1.0));
        glColor3f(1.0f, 0.8f, 0.8f);
    } else if (g_engine.lightEnabled) {
        glColor3f(p.light, p.light, p.light);
    } else {
        glColor3f(1.0f, 1.0f, 1.0f);
    }
    switch (p.type) {
    case PORTAL_DUNGEON_ENTRANCE:
        glPushAttrib(GL_ENABLE_BIT);
        // The doorway shows the inside of the walls.
        glDisable(GL_CULL_FACE);
        drawEntrance(p);
        glPopAttrib();
        break;
    case 1:
    case 2:
    case 3:
        break;
    default:
        g_log << "ERROR: Bad portal type!" << std::endl;
        break;
    }
}
