#include "dungeon/dungeon_draw.h"

#include "core/random.h"
#include "core/settings.h"
#include "model/slot.h"
#include "render/engine.h"
#include "render/particles.h"
#include "render/stream_draw.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <algorithm>
#include <cmath>

PickRegistration g_pickRegistration;

void registerPickable(int type, double x, double y, double z, float rotation, int id) {
    if (g_pickRegistration.add) g_pickRegistration.add(type, x, y, z, rotation, id);
}

bool isPickedObject(int type, int id) {
    return g_modelQueries.isPicked && g_modelQueries.isPicked(type, id);
}

namespace {

// Torchlight tint of every lit colour, and the highlight of a picked object.
constexpr float TINT[3] = {1.0f, 0.55f, 0.25f};
constexpr float PICKED[3] = {1.0f, 0.8f, 0.8f};
constexpr float TORCH_COLOUR[3] = {0.35f, 0.2f, 0.12f};
// A torch stick: a unit cube stretched to 8 high, leaning 40 degrees out of
// the wall, mounted at three quarters of the wall height. Its tip, where
// flames rise, is 4 units along the stick from its middle.
constexpr float TORCH_LENGTH = 8.0f;
constexpr float TORCH_TILT = 40.0f;
constexpr float TORCH_MOUNT = 0.75f;
constexpr double TORCH_TIP_OUT = 2.571;
constexpr double TORCH_TIP_UP = 3.064;
// A flame puff lives 50 time units (500 ms); torches keep at most half the
// pool alight between them.
constexpr int FLAME_LIFE_MS = 500;
constexpr int FLAME_SHARE = PARTICLE_POOL_SIZE / 2;
// Chest box: 12 along x, 8 along y, 12 high; its label floats above it.
constexpr float CHEST_X = 12.0f, CHEST_Y = 8.0f, CHEST_Z = 12.0f;
// An opened chest's inside: how much darker than the chest it is, and its
// depth below the rim.
constexpr float CHEST_INSIDE_SHADE = 0.15f;
constexpr float CHEST_RIM = 2.0f;
constexpr int STAIR_STEPS = 4;

// Every textured surface goes through this batch, one pass at a time.
VertexBatch quads;

// The torchlit colour of a lightness, darkened further by shade.
void tint(float lightness, float shade = 1.0f) {
    const float l = (g_engine.lightEnabled ? lightness : 1.0f) * shade;
    quads.colour(TINT[0] * l, TINT[1] * l, TINT[2] * l);
}

void pickedColour(float shade = 1.0f) {
    quads.colour(PICKED[0] * shade, PICKED[1] * shade, PICKED[2] * shade);
}

void bindWorldTexture(int index) {
    const GLuint name =
        index >= 0 && index < WORLD_TEXTURE_COUNT ? g_engine.worldTextures[index] : 0;
    glBindTexture(GL_TEXTURE_2D, name);
}

} // namespace

CellRange cellRangeAround(const Dungeon& d, double x, double y, int viewCells) {
    const int i = int(x / d.cellSizeX), j = int(y / d.cellSizeY);
    CellRange r;
    r.i0 = std::clamp(i - viewCells, 0, d.width);
    r.i1 = std::clamp(i + viewCells + 1, 0, d.width);
    r.j0 = std::clamp(j - viewCells, 0, d.height);
    r.j1 = std::clamp(j + viewCells + 1, 0, d.height);
    return r;
}

namespace {

// The player's light fades below full 0.05 short of its reach.
constexpr double PLAYER_LIGHT_DROP = 0.05;
// Each of the four cells around an inner corner, and which of its own
// corners that is: cells (i, j), (i + 1, j), (i, j + 1), (i + 1, j + 1).
constexpr int AROUND_DI[4] = {0, 1, 0, 1};
constexpr int AROUND_DJ[4] = {0, 0, 1, 1};
constexpr int AROUND_CORNER[4] = {CORNER_X1Y1, CORNER_X0Y1, CORNER_X1Y0, CORNER_X0Y0};

void lightInnerCorner(Dungeon& d, int i, int j, float (DungeonCell::*light)[4], double add) {
    const float flicker = float(randomCentered(d.flicker));
    for (int n = 0; n < 4; ++n) {
        DungeonCell& c = d.cell(i + AROUND_DI[n], j + AROUND_DJ[n]);
        const int k = AROUND_CORNER[n];
        (c.*light)[k] = flicker + c.cornerLight[k] + float(add);
    }
}

} // namespace

void refreshDungeonLight(Dungeon& d, double playerX, double playerY, double timeFactor) {
    d.refreshTimer += float(timeFactor);
    if (d.refreshTimer < d.refreshInterval) return;
    for (int i = 0; i < d.width - 1; ++i)
        for (int j = 0; j < d.height - 1; ++j) {
            const double dx = playerX - double((i + 1) * d.cellSizeX);
            const double dy = playerY - double((j + 1) * d.cellSizeY);
            const double distance = std::sqrt(dx * dx + dy * dy);
            const double own = std::min(PLAYER_LIGHT / distance, 1.0) - PLAYER_LIGHT_DROP;
            lightInnerCorner(d, i, j, &DungeonCell::floorLight, own);
            lightInnerCorner(d, i, j, &DungeonCell::upperLight, own);
        }
    d.refreshTimer = 0.0f;
}

int flameInterval(int torches, int detailInterval) {
    const int shared = (torches * FLAME_LIFE_MS + FLAME_SHARE - 1) / FLAME_SHARE;
    return std::max(detailInterval, shared);
}

void swingDoor(DoorRecord& door, double timeFactor) {
    if (door.state == DOOR_OPENING) door.angle += float(timeFactor);
    if (door.state == DOOR_CLOSING) door.angle -= float(timeFactor);
    if (door.angle >= 90.0f && door.state != DOOR_CLOSING) {
        door.angle = 90.0f;
        door.fullyOpen = 1;
        door.state = DOOR_OPEN;
    } else if (door.angle <= 0.0f && door.state != DOOR_OPENING) {
        // A door that has not moved yet on a frame without time keeps its
        // way: an opening door is not closed again, a closing one not opened.
        door.angle = 0.0f;
        door.fullyOpen = 0;
        door.state = DOOR_CLOSED;
    }
}

namespace {

struct Vertex {
    double x, y, z;
};

void corner(const DungeonCell& c, int k, int sizeX, int sizeY, double& x, double& y) {
    int dx = 0, dy = 0;
    cornerOffset(k, sizeX, sizeY, dx, dy);
    x = c.x + dx;
    y = c.y + dy;
}

// Floors with their uneven corners, and a black lid on every wall block.
void drawFloors(const Dungeon& d, const CellRange& r) {
    static const float tex[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    bindWorldTexture(d.floorTexture);
    quads.begin(GL_QUADS);
    for (int i = r.i0; i < r.i1; ++i)
        for (int j = r.j0; j < r.j1; ++j) {
            const DungeonCell& c = d.cell(i, j);
            if (c.floor) {
                for (int k = 0; k < 4; ++k) {
                    double x = 0, y = 0;
                    corner(c, k, d.cellSizeX, d.cellSizeY, x, y);
                    tint(c.floorLight[k]);
                    quads.texCoord(tex[k][0], tex[k][1]);
                    quads.vertex(x, y, c.z + c.cornerHeight[k]);
                }
            }
            if (c.solid) {
                quads.colour(0.0f, 0.0f, 0.0f);
                for (int k = 0; k < 4; ++k) {
                    double x = 0, y = 0;
                    corner(c, k, d.cellSizeX, d.cellSizeY, x, y);
                    quads.vertex(x, y, c.z + d.wallHeight);
                }
            }
        }
    quads.end();
}

// One upright wall face of a cell, from its bottom-right corner a to its
// bottom-left corner b as seen from inside the cell.
void wallFace(const Dungeon& d, const DungeonCell& c, int a, int b) {
    const double top = int(c.z + d.wallHeight);
    double ax = 0, ay = 0, bx = 0, by = 0;
    corner(c, a, d.cellSizeX, d.cellSizeY, ax, ay);
    corner(c, b, d.cellSizeX, d.cellSizeY, bx, by);
    tint(c.floorLight[a]);
    quads.texCoord(1, 0);
    quads.vertex(ax, ay, 0.0);
    tint(c.floorLight[b]);
    quads.texCoord(0, 0);
    quads.vertex(bx, by, 0.0);
    tint(c.upperLight[b]);
    quads.texCoord(0, 1);
    quads.vertex(bx, by, top);
    tint(c.upperLight[a]);
    quads.texCoord(1, 1);
    quads.vertex(ax, ay, top);
}

void drawWalls(const Dungeon& d, const CellRange& r) {
    bindWorldTexture(d.wallTexture);
    quads.begin(GL_QUADS);
    for (int i = r.i0; i < r.i1; ++i)
        for (int j = r.j0; j < r.j1; ++j) {
            const DungeonCell& c = d.cell(i, j);
            if (c.wallPlusY) wallFace(d, c, CORNER_X1Y1, CORNER_X0Y1);
            if (c.wallMinusY) wallFace(d, c, CORNER_X0Y0, CORNER_X1Y0);
            if (c.wallPlusX) wallFace(d, c, CORNER_X1Y0, CORNER_X1Y1);
            if (c.wallMinusX) wallFace(d, c, CORNER_X0Y1, CORNER_X0Y0);
        }
    quads.end();
}

// Places points of a door slab: its hinge swing, its turn along x and the
// cell centre.
struct DoorFrame {
    double cx, cy, cz;
    double hingeY;
    double swingCos, swingSin;
    double turnCos, turnSin;

    Vertex place(double x, double y, double z) const {
        // Swing about the hinge at (0.5, hingeY).
        const double hx = x - 0.5, hy = y - hingeY;
        const double sx = hx * swingCos - hy * swingSin + 0.5;
        const double sy = hx * swingSin + hy * swingCos + hingeY;
        // Turn into the cell's direction, then move to its centre.
        return {cx + sx * turnCos - sy * turnSin, cy + sx * turnSin + sy * turnCos, cz + z};
    }
};

void emit(const DoorFrame& f, double x, double y, double z, float s, float t) {
    const Vertex v = f.place(x, y, z);
    quads.texCoord(s, t);
    quads.vertex(v.x, v.y, v.z);
}

// A slab 1 thick, 2h long and a wall high; its broad faces carry the whole
// door image, its edges a sliver of it.
void doorSlab(const DoorFrame& f, double h, double height) {
    const float e = 0.05f;
    for (int side = -1; side <= 1; side += 2) {
        const double x = 0.5 * side;
        emit(f, x, -h, 0, 0, 0);
        emit(f, x, h, 0, 1, 0);
        emit(f, x, h, height, 1, 1);
        emit(f, x, -h, height, 0, 1);
        const double y = h * side;
        emit(f, -0.5, y, 0, 0, 0);
        emit(f, 0.5, y, 0, e, 0);
        emit(f, 0.5, y, height, e, 1);
        emit(f, -0.5, y, height, 0, 1);
    }
    emit(f, -0.5, -h, height, 0, 0);
    emit(f, 0.5, -h, height, e, 0);
    emit(f, 0.5, h, height, e, 1);
    emit(f, -0.5, h, height, 0, 1);
}

void drawDoors(const Dungeon& d, const CellRange& r) {
    bindWorldTexture(TEX_DOOR);
    quads.begin(GL_QUADS);
    for (int i = r.i0; i < r.i1; ++i)
        for (int j = r.j0; j < r.j1; ++j) {
            const DungeonCell& c = d.cell(i, j);
            DoorRecord* door = c.door.get();
            if (!door || d.code(i, j) != CELL_DOOR) continue;
            if (door->state == DOOR_CLOSED)
                registerPickable(PICK_TYPE_DOOR, c.x, c.y, c.z, 0.0f, door->id);
            swingDoor(*door, g_settings.timeFactor);
            if (isPickedObject(PICK_TYPE_DOOR, door->id))
                pickedColour();
            else
                tint(door->light);
            const double h = door->alongX ? d.halfCellY : d.halfCellX;
            const double swing = door->angle * M_PI / 180.0;
            const double turn = door->alongX ? M_PI / 2.0 : 0.0;
            const DoorFrame f{double(c.x + d.halfCellX),
                              double(c.y + d.halfCellY),
                              double(c.z),
                              h,
                              std::cos(swing),
                              std::sin(swing),
                              std::cos(turn),
                              std::sin(turn)};
            doorSlab(f, h, d.wallHeight);
        }
    quads.end();
}

// A box over (x0, y0, z0)..(x1, y1, z1): four sides and, when it has one,
// a top.
void box(double x0, double y0, double z0, double x1, double y1, double z1, bool top = true) {
    const double xs[5] = {x0, x1, x1, x0, x0};
    const double ys[5] = {y0, y0, y1, y1, y0};
    for (int side = 0; side < 4; ++side) {
        const float s0 = side * 0.25f, s1 = (side + 1) * 0.25f;
        quads.texCoord(s0, 0);
        quads.vertex(xs[side], ys[side], z0);
        quads.texCoord(s1, 0);
        quads.vertex(xs[side + 1], ys[side + 1], z0);
        quads.texCoord(s1, 1);
        quads.vertex(xs[side + 1], ys[side + 1], z1);
        quads.texCoord(s0, 1);
        quads.vertex(xs[side], ys[side], z1);
    }
    if (!top) return;
    quads.texCoord(0, 0);
    quads.vertex(x0, y0, z1);
    quads.texCoord(1, 0);
    quads.vertex(x1, y0, z1);
    quads.texCoord(1, 1);
    quads.vertex(x1, y1, z1);
    quads.texCoord(0, 1);
    quads.vertex(x0, y1, z1);
}

// An opened chest has no lid: its empty inside, in the current colour,
// shows a little below the rim.
void emptyInside(double x0, double y0, double x1, double y1, double z) {
    quads.vertex(x0, y0, z);
    quads.vertex(x1, y0, z);
    quads.vertex(x1, y1, z);
    quads.vertex(x0, y1, z);
}

void drawChests(const Dungeon& d, const CellRange& r) {
    bindWorldTexture(TEX_CHEST);
    quads.begin(GL_QUADS);
    for (int i = r.i0; i < r.i1; ++i)
        for (int j = r.j0; j < r.j1; ++j) {
            const DungeonCell& c = d.cell(i, j);
            const ChestRecord* chest = c.chest.get();
            if (!chest || d.code(i, j) != CELL_CHEST) continue;
            registerPickable(PICK_TYPE_CHEST, c.x, c.y, c.z, 0.0f, chest->id);
            const bool picked = isPickedObject(PICK_TYPE_CHEST, chest->id);
            const float light = c.cornerLight[CORNER_X0Y0];
            if (picked) {
                // The label is projected at once, so it may be queued inside
                // the quads block.
                g_engine.addFloatText("Odd looking chest", int(chest->x), int(chest->y),
                                      int(c.z + 1 + CHEST_Z));
                pickedColour();
            } else {
                tint(light);
            }
            const double x1 = chest->x + CHEST_X, y1 = chest->y + CHEST_Y;
            box(chest->x, chest->y, c.z, x1, y1, c.z + CHEST_Z, !chest->opened);
            if (!chest->opened) continue;
            if (picked)
                pickedColour(CHEST_INSIDE_SHADE);
            else
                tint(light, CHEST_INSIDE_SHADE);
            emptyInside(chest->x, chest->y, x1, y1, c.z + CHEST_Z - CHEST_RIM);
        }
    quads.end();
}

// Which wall of a torch cell holds the torch (+y, +x, -y, -x first), with the
// middle of that wall and the turn about z that faces the stick into the
// cell; false when the cell has no wall.
bool torchMount(const Dungeon& d, const DungeonCell& c, double& x, double& y, float& turn) {
    const double x0 = c.x, y0 = c.y, x1 = c.x + d.cellSizeX, y1 = c.y + d.cellSizeY;
    const double mx = c.x + d.halfCellX, my = c.y + d.halfCellY;
    if (c.wallPlusY) {
        x = mx, y = y1, turn = 180.0f;
    } else if (c.wallPlusX) {
        x = x1, y = my, turn = 90.0f;
    } else if (c.wallMinusY) {
        x = mx, y = y0, turn = 0.0f;
    } else if (c.wallMinusX) {
        x = x0, y = my, turn = 270.0f;
    } else {
        return false;
    }
    return true;
}

bool torchFlames(const DungeonCell& c, const double player[3], const Dungeon& d) {
    const double dx = std::fabs(c.x + d.halfCellX - player[0]);
    const double dy = std::fabs(c.y + d.halfCellY - player[1]);
    return dx + dy <= g_settings.dungeonDrawLimit;
}

int countFlamingTorches(const Dungeon& d, const CellRange& r, const double player[3]) {
    int count = 0;
    for (int i = r.i0; i < r.i1; ++i)
        for (int j = r.j0; j < r.j1; ++j)
            if (d.code(i, j) == CELL_TORCH && torchFlames(d.cell(i, j), player, d)) ++count;
    return count;
}

void drawTorches(Dungeon& d, const CellRange& r, const double player[3]) {
    glDisable(GL_TEXTURE_2D);
    glColor3f(TORCH_COLOUR[0], TORCH_COLOUR[1], TORCH_COLOUR[2]);
    const int interval =
        flameInterval(countFlamingTorches(d, r, player), g_settings.dungeonDetailFactor);
    const float now = float(g_settings.totalTime);
    for (int i = r.i0; i < r.i1; ++i)
        for (int j = r.j0; j < r.j1; ++j) {
            if (d.code(i, j) != CELL_TORCH) continue;
            DungeonCell& c = d.cell(i, j);
            double x = 0, y = 0;
            float turn = 0;
            if (!torchMount(d, c, x, y, turn)) continue;
            const double z = c.z + TORCH_MOUNT * d.wallHeight;
            glPushMatrix();
            glTranslated(x, y, z);
            glRotatef(turn, 0, 0, 1);
            glRotatef(-TORCH_TILT, 1, 0, 0);
            glScalef(1.0f, 1.0f, TORCH_LENGTH);
            glutSolidCube(1.0);
            glPopMatrix();
            if (!torchFlames(c, player, d) || now - c.lastFlame < interval) continue;
            c.lastFlame = now;
            // Out of the wall is the turned +y direction.
            const double a = turn * M_PI / 180.0;
            g_particles.spawnParticle(PARTICLE_PUFF, float(x - std::sin(a) * TORCH_TIP_OUT),
                                      float(y + std::cos(a) * TORCH_TIP_OUT),
                                      float(z + TORCH_TIP_UP));
        }
    glEnable(GL_TEXTURE_2D);
}

void quad(const Vertex (&v)[4], const float (&t)[4][2]) {
    for (int k = 0; k < 4; ++k) {
        quads.texCoord(t[k][0], t[k][1]);
        quads.vertex(v[k].x, v[k].y, v[k].z);
    }
}

// Four steps rising along +y and a back wall, in the stairs' own frame.
void stairsGeometry(double w, double depth) {
    const double q = depth / STAIR_STEPS;
    for (int k = 0; k < STAIR_STEPS; ++k) {
        const double y0 = k * q, y1 = (k + 1) * q, low = k * q, top = (k + 1) * q;
        const float t0 = float(k) / STAIR_STEPS, t1 = float(k + 1) / STAIR_STEPS;
        const float flat[4][2] = {{0, t0}, {1, t0}, {1, t1}, {0, t1}};
        quad({{0, y0, low}, {w, y0, low}, {w, y0, top}, {0, y0, top}}, flat);
        quad({{0, y0, top}, {w, y0, top}, {w, y1, top}, {0, y1, top}}, flat);
        const float side[4][2] = {{t0, 0}, {t1, 0}, {t1, t1}, {t0, t1}};
        quad({{0, y0, 0}, {0, y1, 0}, {0, y1, top}, {0, y0, top}}, side);
        quad({{w, y0, 0}, {w, y1, 0}, {w, y1, top}, {w, y0, top}}, side);
    }
    const float back[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    quad({{0, depth, 0}, {w, depth, 0}, {w, depth, depth}, {0, depth, depth}}, back);
}

// The picker reads the exit from the dungeon itself; only its highlight is here.
void drawStairs(const Dungeon& d) {
    if (d.code(d.stairsRow, d.stairsColumn) != CELL_STAIRS) return;
    bindWorldTexture(TEX_STAIRS);
    glPushMatrix();
    glTranslated(d.exitX, d.exitY, d.exitZ);
    quads.begin(GL_QUADS);
    if (isPickedObject(PICK_TYPE_EXIT, -1)) {
        g_engine.addFloatText("Leave dungeon", d.halfCellX, d.halfCellY, d.cellSizeX + 1);
        pickedColour();
    } else {
        quads.colour(1.0f, 1.0f, 1.0f);
    }
    stairsGeometry(d.cellSizeX, d.cellSizeY);
    quads.end();
    glPopMatrix();
}

} // namespace

void drawDungeon(Dungeon& d, const double player[3]) {
    const CellRange r = cellRangeAround(d, player[0], player[1], g_settings.dungeonViewCells);
    refreshDungeonLight(d, player[0], player[1], g_settings.timeFactor);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glEnable(GL_TEXTURE_2D);
    drawFloors(d, r);
    drawWalls(d, r);
    // Doors, chests and stairs are seen from every side.
    glDisable(GL_CULL_FACE);
    drawDoors(d, r);
    drawChests(d, r);
    drawTorches(d, r, player);
    drawStairs(d);
    glPopAttrib();
}
