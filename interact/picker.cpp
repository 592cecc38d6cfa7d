#include "interact/picker.h"

#include "actor/controller.h"
#include "actor/creatures.h"
#include "actor/ground.h"
#include "render/engine.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

Picker g_picker;

namespace {

// True when a shape with these corners (in the current model space) lies
// wholly beyond one plane of the pick view, so that it cannot make a hit. The
// software GL keeps memory for every draw made in selection mode, so the pass
// draws only what may be hit: a few shapes near the cursor instead of every
// creature and door in the world each frame.
bool outsidePickView(const double (*corners)[3], int count) {
    double m[16], p[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    unsigned outsideAll = 0x3F;
    for (int c = 0; c < count && outsideAll; ++c) {
        double eye[4], clip[4];
        for (int r = 0; r < 4; ++r)
            eye[r] = m[r] * corners[c][0] + m[4 + r] * corners[c][1] + m[8 + r] * corners[c][2] +
                     m[12 + r];
        for (int r = 0; r < 4; ++r)
            clip[r] = p[r] * eye[0] + p[4 + r] * eye[1] + p[8 + r] * eye[2] + p[12 + r] * eye[3];
        unsigned outside = 0;
        for (int axis = 0; axis < 3; ++axis) {
            if (clip[axis] < -clip[3]) outside |= 1u << (2 * axis);
            if (clip[axis] > clip[3]) outside |= 2u << (2 * axis);
        }
        outsideAll &= outside;
    }
    return outsideAll != 0;
}

constexpr double kUnitCubeCorners[8][3] = {{-0.5, -0.5, -0.5}, {0.5, -0.5, -0.5}, {-0.5, 0.5, -0.5},
                                           {0.5, 0.5, -0.5},   {-0.5, -0.5, 0.5}, {0.5, -0.5, 0.5},
                                           {-0.5, 0.5, 0.5},   {0.5, 0.5, 0.5}};

// A unit cube scaled to (sx, sy, sz) at (x, y, z), between a push and a pop.
void drawBox(double x, double y, double z, double sx, double sy, double sz, float angle = 0.0f) {
    glPushMatrix();
    glTranslated(x, y, z);
    if (angle != 0.0f) glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glScaled(sx, sy, sz);
    if (!outsidePickView(kUnitCubeCorners, 8)) glutSolidCube(1.0);
    glPopMatrix();
}

template <class Mark> PickPosition findById(const Mark* marks, int count, int id) {
    for (int k = 0; k < count; ++k)
        if (marks[k].id == id) return {double(marks[k].x), double(marks[k].y)};
    return {};
}

} // namespace

void Picker::addBuildingDoor(double x, double y, double z, float rotZ, float rotY, int xOffset,
                             int width, int height, int id) {
    if (quadCount >= MAX_PICK_QUADS) return;
    quads[quadCount++] = {id, x, y, z, rotZ, rotY, xOffset, height, width};
}

void Picker::addPortal(double x, double y, double z, float angle, int id) {
    if (portalCount >= MAX_PICK_PORTALS) return;
    portals[portalCount++] = {x, y, z, angle, id};
}

void Picker::addDungeonDoor(int x, int y, int z, int id) {
    if (doorCount >= MAX_PICK_DOORS) return;
    doors[doorCount++] = {x + int(dungeon.cellSizeX / 2), y + int(dungeon.cellSizeY / 2),
                          z + int(dungeon.wallHeight / 2), id};
}

void Picker::addChest(int x, int y, int z, int id) {
    if (chestCount >= MAX_PICK_CHESTS) return;
    chests[chestCount++] = {x + dungeon.cellSizeX / 2, y + dungeon.cellSizeY / 2,
                            z + CHEST_PICK_SIZE[2] / 2, id};
}

void Picker::beginPass(const PickView& v) {
    glSelectBuffer(PICK_SELECT_WORDS, selectBuffer);
    glRenderMode(GL_SELECT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    GLint viewport[4] = {v.viewport[0], v.viewport[1], v.viewport[2], v.viewport[3]};
    gluPickMatrix(v.cursorX, viewport[3] - v.cursorY, PICK_REGION, PICK_REGION, viewport);
    gluPerspective(v.fov, v.aspect, 1.0, v.farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(v.eye[0], v.eye[1], v.eye[2], v.centre[0], v.centre[1], v.centre[2], 0.0, 0.0, 1.0);
    glInitNames();
}

void Picker::drawBuildingDoors() {
    glPushName(PickBuildingDoor);
    for (int k = 0; k < quadCount; ++k) {
        const QuadMark& q = quads[k];
        glPushName(GLuint(q.id));
        glPushMatrix();
        glTranslated(q.x, q.y, q.z);
        if (q.rotZ != 0.0f) glRotatef(q.rotZ, 0.0f, 0.0f, 1.0f);
        if (q.rotY != 0.0f) glRotatef(q.rotY, 0.0f, 1.0f, 0.0f);
        const double corners[4][3] = {{double(q.xOffset), 0, 0},
                                      {double(q.xOffset), 0, double(q.height)},
                                      {double(q.xOffset + q.width), 0, double(q.height)},
                                      {double(q.xOffset + q.width), 0, 0}};
        if (!outsidePickView(corners, 4)) {
            glBegin(GL_POLYGON);
            for (const auto& c : corners)
                glVertex3dv(c);
            glEnd();
        }
        glPopMatrix();
        glPopName();
    }
    quadCount = 0;
}

void Picker::drawCreatures() {
    glLoadName(PickCreature);
    glPushName(NO_PICK_ID);
    for (int c = 0; c < CREATURE_COUNT; ++c) {
        const ActorController& a = g_actors[c];
        if (!a.active) continue;
        const ModelSlot* slot = a.instance.slot;
        const double width = slot ? slot->pickWidth : ModelSlot{}.pickWidth;
        const double height = slot ? slot->pickHeight : ModelSlot{}.pickHeight;
        glLoadName(GLuint(a.instance.id));
        drawBox(a.position[0], a.position[1], a.position[2], width, width, height);
    }
    glPopName();
}

void Picker::drawDungeonObjects() {
    const DungeonPickSizes& d = dungeon;
    glLoadName(PickDungeonDoor);
    glPushName(NO_PICK_ID);
    for (int k = 0; k < doorCount; ++k) {
        glLoadName(GLuint(doors[k].id));
        drawBox(doors[k].x, doors[k].y, doors[k].z, d.cellSizeX, d.cellSizeY, d.wallHeight);
    }
    glPopName();
    lastDoorCount = doorCount;
    doorCount = 0;

    glLoadName(PickDungeonExit);
    drawBox(d.exitX + d.cellSizeX / 2, d.exitY + d.cellSizeY / 2, d.exitZ, d.cellSizeX, d.cellSizeY,
            d.wallHeight);

    glLoadName(PickChest);
    glPushName(NO_PICK_ID);
    for (int k = 0; k < chestCount; ++k) {
        const ChestMark& c = chests[k];
        glLoadName(GLuint(c.id));
        drawBox(c.x, c.y, c.z, CHEST_PICK_SIZE[0], CHEST_PICK_SIZE[1], CHEST_PICK_SIZE[2]);
    }
    glPopName();
    lastChestCount = chestCount;
    chestCount = 0;
}

void Picker::drawPortals() {
    glLoadName(PickPortal);
    glPushName(NO_PICK_ID);
    for (int k = 0; k < portalCount; ++k) {
        const PortalMark& p = portals[k];
        glLoadName(GLuint(p.id));
        drawBox(p.x, p.y, p.z, PORTAL_PICK_SIZE[0], PORTAL_PICK_SIZE[1], PORTAL_PICK_SIZE[2],
                p.angle);
    }
    glPopName();
    lastPortalCount = portalCount;
    portalCount = 0;
}

void Picker::drawPickables() {
    drawBuildingDoors();
    drawCreatures();
    glLoadName(PickNone);
    if (g_engine.inDungeon)
        drawDungeonObjects();
    else
        drawPortals();
    glPopName();
}

bool Picker::endPass() {
    hitCount = glRenderMode(GL_RENDER);
    return hitCount > 0;
}

void Picker::processHits() {
    // Each record: name count, minimum depth, maximum depth, then the names.
    // Only records that lie wholly inside the buffer are read. The first one
    // is kept even at the farthest depth; a later one replaces it only when
    // strictly nearer.
    long kept = -1;
    std::uint32_t nearest = 0;
    long at = 0;
    for (int h = 0; h < hitCount; ++h) {
        if (at + 3 > PICK_SELECT_WORDS) break;
        const long end = at + 3 + long(selectBuffer[at]);
        if (end > PICK_SELECT_WORDS) break;
        if (kept < 0 || selectBuffer[at + 1] < nearest) {
            nearest = selectBuffer[at + 1];
            kept = at;
        }
        at = end;
    }
    if (kept < 0) {
        picked = false;
        return;
    }
    const std::uint32_t names = selectBuffer[kept];
    hitType = names >= 1 ? selectBuffer[kept + 3] : PickNone;
    hitId = names >= 2 ? selectBuffer[kept + 4] : NO_PICK_ID;
    picked = true;
}

void Picker::runPass(const PickView& view) {
    beginPass(view);
    drawPickables();
    if (endPass())
        processHits();
    else
        picked = false;
}

bool Picker::isPicked(std::uint32_t type, std::uint32_t id) const {
    return picked && hitType == type && hitId == id;
}

bool Picker::isPickedType(std::uint32_t type) const {
    return picked && hitType == type;
}

PickPosition Picker::portalPosition(int id) const {
    return findById(portals, lastPortalCount, id);
}

PickPosition Picker::dungeonDoorPosition(int id) const {
    return findById(doors, lastDoorCount, id);
}

PickPosition Picker::chestPosition(int id) const {
    return findById(chests, lastChestCount, id);
}

PickPosition Picker::creaturePosition(int id) const {
    for (int c = 0; c < CREATURE_COUNT; ++c)
        if (g_actors[c].instance.id == id)
            return {g_actors[c].position[0], g_actors[c].position[1]};
    return {};
}

PickPosition Picker::dungeonExitPosition() const {
    return {dungeon.exitX + dungeon.cellSizeX / 2, dungeon.exitY + dungeon.cellSizeY / 2};
}

PickTarget Picker::clickTarget() const {
    if (!picked) return {};
    const int id = int(hitId);
    switch (hitType) {
    case PickDungeonDoor:
        return {hitType, hitId, dungeonDoorPosition(id)};
    case PickCreature:
        return {hitType, hitId, creaturePosition(id)};
    case PickPortal:
        return {hitType, hitId, portalPosition(id)};
    case PickDungeonExit:
        return {hitType, hitId, dungeonExitPosition()};
    case PickChest:
        return {hitType, hitId, chestPosition(id)};
    default:
        return {};
    }
}

void Picker::reset() {
    *this = Picker{};
}

bool approachPoint(double targetX, double targetY, double fromX, double fromY, double reach,
                   double& x, double& y) {
    const double dx = fromX - targetX, dy = fromY - targetY;
    const double length = std::sqrt(dx * dx + dy * dy);
    // Standing on the object's own point: any side will do, try +x.
    const double ux = length > 0.0 ? dx / length : 1.0, uy = length > 0.0 ? dy / length : 0.0;
    for (double s = 0.0; s <= reach; s += 1.0) {
        const double cx = targetX + s * ux, cy = targetY + s * uy;
        if (g_actorGround.isWalkable(cx, cy, 0.0)) {
            x = cx;
            y = cy;
            return true;
        }
    }
    return false;
}

bool isObjectPicked(int type, int id) {
    return g_picker.isPicked(std::uint32_t(type), std::uint32_t(id));
}
