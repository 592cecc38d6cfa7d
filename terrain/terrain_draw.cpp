#include "terrain/terrain_draw.h"

#include "core/camera.h"
#include "core/settings.h"
#include "dungeon/portal_draw.h"
#include "render/engine.h"
#include "render/stream_draw.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>

long g_terrainTriangles = 0;

namespace {
constexpr double TWO_PI = 6.2831855;
constexpr double CONE_HALF_ANGLE = 1.1780972; // 3 pi / 8
constexpr int MAX_LOD_LEVEL = 5;
// Texture coordinates repeat every 16 cells; a light texture spans a page.
constexpr float TEXTURE_CELLS = 16.0f;
} // namespace

// ---- visibility and detail ----

ViewCone viewCone(float yaw, double eyeZ, float scale) {
    const double half = scale * eyeZ + CONE_HALF_ANGLE;
    double start = yaw - half;
    while (start < 0.0)
        start += TWO_PI;
    return {start, start + 2 * half};
}

double headingOf(double dx, double dy) {
    double a;
    if (dx != 0.0) {
        a = std::atan(dy / dx);
        if (dx < 0.0) a -= M_PI;
    } else if (dy > 0.0) {
        a = M_PI / 2;
    } else if (dy < 0.0) {
        a = 4.71238898;
    } else {
        a = 0.0;
    }
    if (a < 0.0) a += 2 * M_PI;
    return a;
}

bool coneHolds(const ViewCone& c, double a1, double a2) {
    if (a1 < a2) a1 += 2 * M_PI;
    auto in = [&](double a) { return c.start <= a && a <= c.end; };
    return in(a1) || in(a2) || in(a2 + 2 * M_PI);
}

void pageCornersToTest(int a, int b, int r, int x, int y, double corners[2][2]) {
    const int p = PAGE_SIZE;
    int c[2][2];
    if (a == r && b > r)
        c[0][0] = x, c[0][1] = y, c[1][0] = x + p, c[1][1] = y;
    else if (a == r && b < r)
        c[0][0] = x + p, c[0][1] = y + p, c[1][0] = x, c[1][1] = y + p;
    else if (b == r && a > r)
        c[0][0] = x, c[0][1] = y + p, c[1][0] = x, c[1][1] = y;
    else if (b == r && a < r)
        c[0][0] = x + p, c[0][1] = y, c[1][0] = x + p, c[1][1] = y + p;
    else if (a > r && b > r)
        c[0][0] = x, c[0][1] = y + p, c[1][0] = x + p, c[1][1] = y;
    else if (a > r && b < r)
        c[0][0] = x + p, c[0][1] = y + p, c[1][0] = x, c[1][1] = y;
    else if (a < r && b < r)
        c[0][0] = x + p, c[0][1] = y, c[1][0] = x, c[1][1] = y + p;
    else // a < r, b > r (the centre cell never gets here)
        c[0][0] = x, c[0][1] = y, c[1][0] = x + p, c[1][1] = y + p;
    for (int k = 0; k < 2; ++k)
        for (int e = 0; e < 2; ++e)
            corners[k][e] = c[k][e];
}

int lodLevelAt(double distance, int lodDistance) {
    const int level = int(distance / std::max(lodDistance, 1) + 1.0);
    return std::clamp(level, 1, MAX_LOD_LEVEL);
}

void bendEdge(float (&edge)[PAGE_VERTS], const float (&h)[PAGE_VERTS], int s, int d) {
    if (d <= 0 || s <= 0) return;
    const int k = 1 << d;
    for (int i = s; i < PAGE_VERTS; i += s) {
        const int m = (i / s) % k;
        if (m == 0) continue;
        const int lo = i - m * s, hi = std::min(i + (k - m) * s, PAGE_CELLS);
        edge[i] = float(m) / float(k) * (h[hi] - h[lo]) + h[lo];
    }
}

namespace {

bool pageInView(const ViewCone& cone, const double eye[3], int a, int b, int r,
                const TerrainPage& p) {
    if (std::abs(r - a) <= 1 && std::abs(r - b) <= 1) return true;
    double c[2][2];
    pageCornersToTest(a, b, r, p.originX, p.originY, c);
    const double a1 = headingOf(c[0][0] - eye[0], c[0][1] - eye[1]);
    const double a2 = headingOf(c[1][0] - eye[0], c[1][1] - eye[1]);
    return coneHolds(cone, a1, a2);
}

} // namespace

void assignTerrainDetail(LocalTerrain& w, const double eye[3], float yaw) {
    const ViewCone cone = viewCone(yaw, eye[2], heightScale);
    const int n = LocalTerrain::windowPages(), r = LocalTerrain::windowRadius();
    // A free camera may fly anywhere; far off the map every page is far away.
    const long ex = long(std::clamp(eye[0], -1.0e9, 1.0e9));
    const long ey = long(std::clamp(eye[1], -1.0e9, 1.0e9));
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            TerrainPage* p = w.pages[a][b];
            if (!p) continue;
            p->visible = pageInView(cone, eye, a, b, r, *p) ? 1 : 0;
            if (!p->visible) {
                p->lodLevel = 0;
                p->lodStep = 1;
                continue;
            }
            const long dx = ex - p->centreX, dy = ey - p->centreY;
            const double d = std::sqrt(double(dx * dx + dy * dy));
            p->lodLevel = lodLevelAt(d, g_settings.terrainLodDistance);
            p->lodStep = lodStepOf(p->lodLevel);
        }
}

// ---- drawing ----

namespace {

// What the frame can use: texture units through the extension, the light
// texture on unit 2.
struct DrawSetup {
    bool units = false;        // glActiveTextureARB and glMultiTexCoord2fARB exist
    bool multitexture = false; // grass and rock blended on units 0 and 1
    bool lightTexture = false; // the page's light texture on lightUnit
    bool vertexLight = false;  // light type 1: vertex colours carry the light
    // The path texture blended in on unit 2 by the vertex colour, which is
    // free when it carries no light, instead of a second, blended pass.
    bool dirtOnUnit = false;
    GLenum lightUnit = GL_TEXTURE2_ARB;
    float lightScale = 1.0f / 64.0f;
    // The ground goes to GL through vertex arrays (see StripArrays).
    bool arrays = false;
};

void selectUnit(const DrawSetup& s, GLenum unit) {
    if (s.units) g_engine.glActiveTextureARB(unit);
}

void texCoord(const DrawSetup& s, GLenum unit, float u, float v) {
    if (s.units)
        g_engine.glMultiTexCoord2fARB(unit, u, v);
    else if (unit == GL_TEXTURE0_ARB)
        glTexCoord2f(u, v);
}

void disableUnit(const DrawSetup& s, GLenum unit) {
    if (!s.units) return;
    selectUnit(s, unit);
    glDisable(GL_TEXTURE_2D);
}

int textureUnits() {
    GLint units = 1;
    glGetIntegerv(GL_MAX_TEXTURE_UNITS_ARB, &units);
    return units;
}

void setUpTextures(const DrawSetup& s) {
    // Ground textures that have mipmaps are read from the nearest level:
    // blending two levels doubles the software rasteriser's sampling for a
    // difference that only shows along the lines where the level changes.
    selectUnit(s, GL_TEXTURE0_ARB);
    for (int t : {TEX_GRASS, TEX_ROCK, TEX_PATH}) {
        glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[t]);
        GLint filter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        if (filter == GL_LINEAR_MIPMAP_LINEAR)
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    }
    if (!s.multitexture) {
        glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[TEX_GRASS]);
        return;
    }
    selectUnit(s, GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[TEX_GRASS]);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    // The colour is white unless it carries the dirt weight.
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, s.dirtOnUnit ? GL_REPLACE : GL_MODULATE);
    // Rock over grass by the vertex alpha, which carries the slope.
    selectUnit(s, GL_TEXTURE1_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[TEX_ROCK]);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_INTERPOLATE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB_ARB, GL_PRIMARY_COLOR_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB_ARB, GL_SRC_ALPHA);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA_ARB, GL_INTERPOLATE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_ALPHA_ARB, GL_PRIMARY_COLOR_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_ALPHA_ARB, GL_SRC_ALPHA);
    if (!s.dirtOnUnit) return;
    // Path over the result by the vertex colour, which carries the dirt:
    // path x d + ground x (1 - d), then the light texture multiplies both, as
    // the light did when the path was blended over the lit ground.
    selectUnit(s, GL_TEXTURE2_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[TEX_PATH]);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_INTERPOLATE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_RGB_ARB, GL_TEXTURE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE1_RGB_ARB, GL_PREVIOUS_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE2_RGB_ARB, GL_PRIMARY_COLOR_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_OPERAND2_RGB_ARB, GL_SRC_COLOR);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_ALPHA_ARB, GL_REPLACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_SOURCE0_ALPHA_ARB, GL_PREVIOUS_ARB);
}

// Seams: each edge of the page that meets a coarser neighbour follows it.
struct Seams {
    bool bent[4] = {};
};

Seams mendSeams(TerrainPage& p, LocalTerrain& w, int a, int b, int n) {
    Seams seams;
    auto coarser = [&](int na, int nb) {
        if (na < 0 || nb < 0 || na >= n || nb >= n || !w.pages[na][nb]) return 0;
        return std::max(w.pages[na][nb]->lodLevel - p.lodLevel, 0);
    };
    float line[PAGE_VERTS];
    auto bend = [&](int side, float(&edge)[PAGE_VERTS], int d, auto at) {
        if (d <= 0) return;
        for (int k = 0; k < PAGE_VERTS; ++k)
            line[k] = at(k);
        bendEdge(edge, line, p.lodStep, d);
        seams.bent[side] = true;
    };
    bend(0, p.edgeHighY, coarser(a, b + 1), [&](int k) { return p.height[k][PAGE_CELLS]; });
    bend(1, p.edgeLowY, coarser(a, b - 1), [&](int k) { return p.height[k][0]; });
    bend(2, p.edgeHighX, coarser(a + 1, b), [&](int k) { return p.height[PAGE_CELLS][k]; });
    bend(3, p.edgeLowX, coarser(a - 1, b), [&](int k) { return p.height[0][k]; });
    return seams;
}

void restoreSeams(TerrainPage& p, const Seams& s) {
    for (int k = 0; k < PAGE_VERTS; ++k) {
        if (s.bent[0]) p.edgeHighY[k] = p.height[k][PAGE_CELLS];
        if (s.bent[1]) p.edgeLowY[k] = p.height[k][0];
        if (s.bent[2]) p.edgeHighX[k] = p.height[PAGE_CELLS][k];
        if (s.bent[3]) p.edgeLowX[k] = p.height[0][k];
    }
}

// Height drawn at vertex (i, j): the (possibly bent) edges on the border.
float drawnHeight(const TerrainPage& p, int i, int j) {
    if (i == 0) return p.edgeLowX[j];
    if (i == PAGE_CELLS) return p.edgeHighX[j];
    if (j == 0) return p.edgeLowY[i];
    if (j == PAGE_CELLS) return p.edgeHighY[i];
    return p.height[i][j];
}

struct RowBuffers {
    double (*prevPos)[3];
    double (*curPos)[3];
    double (*prevTex)[3];
    double (*curTex)[3];
    void swap() {
        std::swap(prevPos, curPos);
        std::swap(prevTex, curTex);
    }
};

void fillRow(const TerrainPage& p, RowBuffers& rb, int j, int s, bool count) {
    for (int i = 0; i < PAGE_VERTS; i += s) {
        rb.curPos[i][0] = CELL_SIZE * i;
        rb.curPos[i][1] = CELL_SIZE * j;
        rb.curPos[i][2] = drawnHeight(p, i, j);
        rb.curTex[i][0] = i / TEXTURE_CELLS;
        rb.curTex[i][1] = j / TEXTURE_CELLS;
        if (count) g_terrainTriangles += 2;
    }
}

// Grey level of a multitextured ground vertex: the dirt weight when the path
// has a unit of its own (dirt is the page's dirt where its dirt is drawn,
// else null), otherwise its light. Its alpha is the slope.
float groundShade(const DrawSetup& s, const TerrainPage& p, int i, int row,
                  const float (*dirt)[PAGE_VERTS]) {
    if (s.dirtOnUnit) return dirt ? dirt[i][row] : 0.0f;
    return s.vertexLight ? p.light[i][row] : 1.0f;
}

void vertex(const DrawSetup& s, const TerrainPage& p, const double (*pos)[3],
            const double (*tex)[3], int i, int row, const float (*dirt)[PAGE_VERTS]) {
    const float u = float(tex[i][0]), v = float(tex[i][1]);
    if (!s.multitexture) {
        if (s.vertexLight) glColor3f(p.light[i][row], p.light[i][row], p.light[i][row]);
        texCoord(s, GL_TEXTURE0_ARB, u, v);
    } else {
        const float c = groundShade(s, p, i, row, dirt);
        glColor4f(c, c, c, p.slope[i][row]);
        texCoord(s, GL_TEXTURE0_ARB, u, v);
        texCoord(s, GL_TEXTURE1_ARB, u, v);
        if (s.dirtOnUnit) texCoord(s, GL_TEXTURE2_ARB, u, v);
        if (s.lightTexture) texCoord(s, s.lightUnit, i * s.lightScale, row * s.lightScale);
    }
    glVertex3d(pos[i][0], pos[i][1], pos[i][2]);
}

// The quad strips of a page gathered into vertex arrays, so that all the
// strips of one quad class reach GL in one call instead of six calls a
// vertex. The strips, their vertices and their order are those drawn vertex
// by vertex, so the pictures are the same. The ground units 0 to 2 share one
// set of texture coordinates.
struct StripArrays {
    // Every quad a strip of its own: four vertices a quad.
    static constexpr int MAX_STRIPS = PAGE_CELLS * PAGE_CELLS;
    static constexpr int MAX_VERTICES = 4 * MAX_STRIPS;
    float position[MAX_VERTICES][3];
    float colour[MAX_VERTICES][4];
    float ground[MAX_VERTICES][2];
    float light[MAX_VERTICES][2];
    GLint first[MAX_STRIPS];
    GLsizei count[MAX_STRIPS];
    int vertices = 0, strips = 0;

    void beginStrip() {
        first[strips] = vertices;
        count[strips] = 0;
    }
    void endStrip() { ++strips; }
    void add(const float rgba[4], float u, float v, float lu, float lv, double x, double y,
             double z) {
        float* c = colour[vertices];
        c[0] = rgba[0], c[1] = rgba[1], c[2] = rgba[2], c[3] = rgba[3];
        ground[vertices][0] = u, ground[vertices][1] = v;
        light[vertices][0] = lu, light[vertices][1] = lv;
        position[vertices][0] = float(x), position[vertices][1] = float(y);
        position[vertices][2] = float(z);
        ++vertices;
        ++count[strips];
    }
    // Sends the strips gathered since the last flush and starts again.
    void flush() {
        if (strips > 0) g_engine.glMultiDrawArrays(GL_QUAD_STRIP, first, count, strips);
        vertices = strips = 0;
    }
};
StripArrays* g_stripArrays = nullptr;

// A quad strip begun and ended, and the gathered strips sent, on whichever
// path the set-up takes.
void beginStrip(const DrawSetup& s) {
    if (s.arrays)
        g_stripArrays->beginStrip();
    else
        glBegin(GL_QUAD_STRIP);
}

void endStrip(const DrawSetup& s) {
    if (s.arrays)
        g_stripArrays->endStrip();
    else
        glEnd();
}

void sendStrips(const DrawSetup& s) {
    if (s.arrays) g_stripArrays->flush();
}

void addVertex(const DrawSetup& s, const TerrainPage& p, const double (*pos)[3],
               const double (*tex)[3], int i, int row, const float (*dirt)[PAGE_VERTS]) {
    // A single unit takes the light as its colour (opaque), or no colour of
    // its own when the light is not in the vertices (the colour array is off).
    const float c = s.multitexture ? groundShade(s, p, i, row, dirt) : p.light[i][row];
    const float rgba[4] = {c, c, c, s.multitexture ? p.slope[i][row] : 1.0f};
    g_stripArrays->add(rgba, float(tex[i][0]), float(tex[i][1]), i * s.lightScale,
                       row * s.lightScale, pos[i][0], pos[i][1], pos[i][2]);
}

void clientUnit(GLenum unit, const float (*coords)[2]) {
    g_engine.glClientActiveTextureARB(unit);
    glTexCoordPointer(2, GL_FLOAT, 0, coords);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

// Whether the ground's vertices carry a colour: with one unit and the light
// not in the vertices, the ground takes the current colour, which the dirt
// pass of the page before leaves behind.
bool groundColours(const DrawSetup& s) {
    return s.multitexture || s.vertexLight;
}

void enableStripArrays(const DrawSetup& s) {
    if (!g_stripArrays) g_stripArrays = new StripArrays();
    StripArrays& a = *g_stripArrays;
    glVertexPointer(3, GL_FLOAT, 0, a.position);
    glEnableClientState(GL_VERTEX_ARRAY);
    glColorPointer(4, GL_FLOAT, 0, a.colour);
    if (groundColours(s)) glEnableClientState(GL_COLOR_ARRAY);
    clientUnit(GL_TEXTURE0_ARB, a.ground);
    if (s.multitexture) clientUnit(GL_TEXTURE1_ARB, a.ground);
    if (s.dirtOnUnit) clientUnit(GL_TEXTURE2_ARB, a.ground);
    if (s.lightTexture) clientUnit(s.lightUnit, a.light);
}

void disableStripArrays() {
    const int units = std::min(textureUnits(), 4);
    for (int k = 0; k < units; ++k) {
        g_engine.glClientActiveTextureARB(GL_TEXTURE0_ARB + GLenum(k));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    g_engine.glClientActiveTextureARB(GL_TEXTURE0_ARB);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}

void bindLightTexture(const DrawSetup& s, const TerrainPage& p) {
    selectUnit(s, s.lightUnit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, p.lightTexture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE_ARB);
    glTexEnvi(GL_TEXTURE_ENV, GL_COMBINE_RGB_ARB, GL_MODULATE);
}

// Grass on unit 0 and the page's light texture on its unit.
void beginGround(const DrawSetup& s, const TerrainPage& p) {
    // Grass again on unit 0, also with a single unit, where the dirt pass of
    // the page before left the path bound.
    selectUnit(s, GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[TEX_GRASS]);
    if (s.lightTexture)
        bindLightTexture(s, p);
    else if (s.multitexture)
        disableUnit(s, s.lightUnit);
}

bool dirtAt(const TerrainPage& p, int i0, int j0, int i1, int j1) {
    return p.dirt[i0][j0] != 0.0f || p.dirt[i0][j1] != 0.0f || p.dirt[i1][j0] != 0.0f ||
           p.dirt[i1][j1] != 0.0f;
}

// A quad whose four corners carry a dirt weight of 1 or more is painted over
// completely by the dirt pass (alpha 1 replaces what lies below it, and the
// dirt quad writes the same depth), so the ground need not be drawn there.
bool fullDirtAt(const TerrainPage& p, int i0, int j0, int i1, int j1) {
    return p.dirt[i0][j0] >= 1.0f && p.dirt[i0][j1] >= 1.0f && p.dirt[i1][j0] >= 1.0f &&
           p.dirt[i1][j1] >= 1.0f;
}

// What a quad of the ground needs beyond grass and light: rock where a
// corner is steep, the path where a corner has dirt (when the dirt has a
// unit of its own). Where no corner needs it, the unit's weight is 0 over the
// whole quad and leaving the unit off gives the same colour for less work.
enum : int { QUAD_ROCK = 1, QUAD_DIRT = 2, QUAD_CLASSES = 4, QUAD_SKIPPED = -1 };

int quadClass(const DrawSetup& s, const TerrainPage& p, int i0, int j0, int i1, int j1,
              bool dirtPass) {
    // Under full dirt a separate dirt pass paints over the quad entirely.
    if (dirtPass && !s.dirtOnUnit && fullDirtAt(p, i0, j0, i1, j1)) return QUAD_SKIPPED;
    int c = 0;
    if (s.multitexture && (p.slope[i0][j0] > 0.0f || p.slope[i0][j1] > 0.0f ||
                           p.slope[i1][j0] > 0.0f || p.slope[i1][j1] > 0.0f))
        c |= QUAD_ROCK;
    if (dirtPass && s.dirtOnUnit && dirtAt(p, i0, j0, i1, j1)) c |= QUAD_DIRT;
    return c;
}

// The quads of one class in a row, as quad strips over each run of them;
// every quad keeps its own corners and their order.
void drawStrip(const DrawSetup& s, const TerrainPage& p, const RowBuffers& rb, int j, int step,
               const signed char* classes, int wanted, bool dirtPass) {
    const int r0 = j - step;
    const float(*dirt)[PAGE_VERTS] = dirtPass ? p.dirt : nullptr;
    auto emit = [&](int i) {
        if (s.arrays) {
            addVertex(s, p, rb.prevPos, rb.prevTex, i, r0, dirt);
            addVertex(s, p, rb.curPos, rb.curTex, i, j, dirt);
        } else {
            vertex(s, p, rb.prevPos, rb.prevTex, i, r0, dirt);
            vertex(s, p, rb.curPos, rb.curTex, i, j, dirt);
        }
    };
    int i = 0;
    while (i + step < PAGE_VERTS) {
        if (classes[i / step] != wanted) {
            i += step;
            continue;
        }
        beginStrip(s);
        emit(i);
        do {
            i += step;
            emit(i);
        } while (i + step < PAGE_VERTS && classes[i / step] == wanted);
        endStrip(s);
    }
}

void enableUnitIf(const DrawSetup& s, GLenum unit, bool on) {
    selectUnit(s, unit);
    if (on)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
}

void useQuadClass(const DrawSetup& s, int c) {
    if (s.multitexture) enableUnitIf(s, GL_TEXTURE1_ARB, (c & QUAD_ROCK) != 0);
    if (s.dirtOnUnit) enableUnitIf(s, GL_TEXTURE2_ARB, (c & QUAD_DIRT) != 0);
}

// Class of every quad drawn at the page's step, by row; returns the set of
// classes that occur (bit c for class c).
using QuadClasses = signed char[PAGE_CELLS][PAGE_CELLS];
int classifyQuads(const DrawSetup& s, const TerrainPage& p, int step, bool dirtPass,
                  QuadClasses& out) {
    int present = 0;
    for (int j = step; j < PAGE_VERTS; j += step)
        for (int i = 0; i + step < PAGE_VERTS; i += step) {
            const int c = quadClass(s, p, i, j - step, i + step, j, dirtPass);
            out[j / step - 1][i / step] = (signed char)c;
            if (c >= 0) present |= 1 << c;
        }
    return present;
}

// The ground of a page, one class of quads after the other so that the
// texture units change at most four times a page.
void drawGround(const DrawSetup& s, const TerrainPage& p, bool dirtPass) {
    const int step = p.lodStep;
    QuadClasses classes;
    const int present = classifyQuads(s, p, step, dirtPass, classes);
    RowBuffers rb{g_terrainRows->rows[0], g_terrainRows->rows[1], g_terrainRows->rows[2],
                  g_terrainRows->rows[3]};
    bool counted = false;
    for (int c = 0; c < QUAD_CLASSES; ++c) {
        if (!(present & (1 << c))) continue;
        useQuadClass(s, c);
        for (int j = 0; j < PAGE_VERTS; j += step) {
            fillRow(p, rb, j, step, !counted);
            if (j > 0) drawStrip(s, p, rb, j, step, classes[j / step - 1], c, dirtPass);
            rb.swap();
        }
        sendStrips(s);
        counted = true;
    }
    // A page drawn entirely by its dirt pass still counts its strips.
    for (int j = 0; j < PAGE_VERTS && !counted; j += step)
        fillRow(p, rb, j, step, true);
}

// Path texture blended in by the dirt weight over the page's quads that have
// dirt at a corner, after all its ground strips: one change of texture state
// per page. Each quad repeats the vertices and the corner order of its strip,
// so it lies exactly on the ground drawn there.
void drawDirt(const DrawSetup& s, const TerrainPage& p, int step) {
    bool any = false;
    for (int j = step; j < PAGE_VERTS && !any; j += step)
        for (int i = 0; i + step < PAGE_VERTS && !any; i += step)
            any = dirtAt(p, i, j - step, i + step, j);
    if (!any) return;
    disableUnit(s, GL_TEXTURE1_ARB);
    disableUnit(s, GL_TEXTURE2_ARB);
    disableUnit(s, GL_TEXTURE3_ARB);
    selectUnit(s, GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, g_engine.worldTextures[TEX_PATH]);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (int j = step; j < PAGE_VERTS; j += step) {
        const int r0 = j - step;
        for (int i = 0; i + step < PAGE_VERTS; i += step) {
            const int i1 = i + step;
            if (!dirtAt(p, i, r0, i1, j)) continue;
            beginStrip(s);
            for (int e = 0; e < 4; ++e) {
                const int ci = e < 2 ? i : i1, row = (e % 2 == 0) ? r0 : j;
                const float l = g_engine.lightEnabled ? p.light[ci][row] : 1.0f;
                const float rgba[4] = {l, l, l, p.dirt[ci][row]};
                const float u = ci / TEXTURE_CELLS, v = row / TEXTURE_CELLS;
                const double x = CELL_SIZE * ci, y = CELL_SIZE * row, z = drawnHeight(p, ci, row);
                if (s.arrays) {
                    g_stripArrays->add(rgba, u, v, 0.0f, 0.0f, x, y, z);
                    continue;
                }
                glColor4fv(rgba);
                texCoord(s, GL_TEXTURE0_ARB, u, v);
                glVertex3d(x, y, z);
            }
            endStrip(s);
        }
    }
    if (s.arrays) {
        // Drawn vertex by vertex, the pass leaves its last colour current, and
        // the next page's single-unit ground is drawn in it.
        float last[4];
        std::copy_n(g_stripArrays->colour[g_stripArrays->vertices - 1], 4, last);
        glEnableClientState(GL_COLOR_ARRAY);
        sendStrips(s);
        if (!groundColours(s)) glDisableClientState(GL_COLOR_ARRAY);
        glColor4fv(last);
    }
    glDisable(GL_BLEND);
}

// The blocked cells of a page as red quads, sent as one vertex array: drawn
// vertex by vertex, a page at fine detail filled several of the driver's
// begin/end vertex buffers a frame, and Mesa's software rasteriser kept tens
// of megabytes of those buffers for good once the map had been shown.
void drawWalkMap(const DrawSetup& s, const TerrainPage& p) {
    static float corners[4 * PAGE_CELLS * PAGE_CELLS][3];
    int count = 0;
    auto corner = [&](double x, double y, double z) {
        corners[count][0] = float(x), corners[count][1] = float(y), corners[count][2] = float(z);
        ++count;
    };
    for (int i = 0; i < PAGE_CELLS; ++i)
        for (int j = 0; j < PAGE_CELLS; ++j) {
            if (!p.blocked[i][j]) continue;
            const double x = p.originX + CELL_SIZE * i, y = p.originY + CELL_SIZE * j;
            corner(x, y, p.height[i][j] + 1.0);
            corner(x, y + CELL_SIZE, p.height[i][j + 1] + 1.0);
            corner(x + CELL_SIZE, y + CELL_SIZE, p.height[i + 1][j + 1] + 1.0);
            corner(x + CELL_SIZE, y, p.height[i + 1][j] + 1.0);
        }
    disableUnit(s, GL_TEXTURE1_ARB);
    disableUnit(s, GL_TEXTURE2_ARB);
    disableUnit(s, GL_TEXTURE3_ARB);
    selectUnit(s, GL_TEXTURE0_ARB);
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.0f, 0.0f, 0.0f, 0.5f);
    // The ground's arrays may be on: only the positions are wanted here.
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, corners);
    glEnableClientState(GL_VERTEX_ARRAY);
    if (count > 0) glDrawArrays(GL_QUADS, 0, count);
    glPopClientAttrib();
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
}

// Distance from the eye to the farthest corner of the box around the page.
double farthestCorner(const TerrainPage& p, const double eye[3]) {
    auto farther = [](double lo, double hi, double at) {
        return std::max(std::abs(lo - at), std::abs(hi - at));
    };
    const double dx = farther(p.originX, p.originX + PAGE_SIZE, eye[0]);
    const double dy = farther(p.originY, p.originY + PAGE_SIZE, eye[1]);
    const double dz = farther(p.originZ + p.lowest, p.originZ + p.highest, eye[2]);
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// Fog switched off for the pages that lie wholly where it changes nothing:
// the rasteriser then skips working it out for every fragment of theirs.
struct FogSwitch {
    double clearWithin = 0.0; // from Engine::fogFreeDistance
    bool off = false;
    void set(bool wantOff) {
        if (wantOff == off) return;
        off = wantOff;
        if (off)
            glDisable(GL_FOG);
        else
            glEnable(GL_FOG);
    }
};

void drawPage(const DrawSetup& s, TerrainPage& p, LocalTerrain& w, int a, int b, int n,
              FogSwitch& fog) {
    if (fog.clearWithin > 0.0) fog.set(farthestCorner(p, g_camera.eye) < fog.clearWithin);
    const Seams seams = mendSeams(p, w, a, b, n);
    glPushMatrix();
    glTranslated(p.originX, p.originY, p.originZ);
    DrawSetup ps = s;
    ps.lightTexture = s.lightTexture && p.lightTexture != 0;
    const bool dirtPass = p.lodLevel <= g_settings.terrainDetail;
    beginGround(ps, p);
    drawGround(ps, p, dirtPass);
    if (dirtPass && !s.dirtOnUnit) drawDirt(ps, p, p.lodStep);
    restoreSeams(p, seams);
    glPopMatrix();
    if (g_engine.showWalkMap && p.lodLevel < 3) drawWalkMap(s, p);
}

// The visible pages of the window, nearest first, so that the rasteriser's
// depth test rejects the hidden parts of farther pages before they are
// textured.
struct VisiblePages {
    struct Cell {
        int a, b;
        double distance2;
    };
    Cell cells[MAX_WINDOW_PAGES * MAX_WINDOW_PAGES];
    int count = 0;
};

void orderFrontToBack(const LocalTerrain& w, const double eye[3], VisiblePages& out) {
    const int n = LocalTerrain::windowPages();
    out.count = 0;
    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            const TerrainPage* p = w.pages[a][b];
            if (!p || !p->visible) continue;
            const double dx = p->originX + PAGE_SIZE / 2 - eye[0];
            const double dy = p->originY + PAGE_SIZE / 2 - eye[1];
            out.cells[out.count++] = {a, b, dx * dx + dy * dy};
        }
    std::stable_sort(out.cells, out.cells + out.count,
                     [](const VisiblePages::Cell& x, const VisiblePages::Cell& y) {
                         return x.distance2 < y.distance2;
                     });
}

} // namespace

// The objects standing on a near page: portals, buildings at the page's
// detail, and decor, reduced to every third triangle on the coarsest pages
// that show it.
void drawPageObjects(const TerrainPage& p, int reduced) {
    for (int k = 0; k < p.portalCount && k < MAX_PORTALS; ++k)
        drawPortal(p.portals[k]);
    for (int k = 0; k < p.buildingCount; ++k)
        drawBuilding(p.buildings[k], p.lodLevel);
    for (int k = 0; k < p.decorCount; ++k)
        drawDecor(p.decor[k], reduced);
}

void drawTerrain(LocalTerrain& w) {
    if (!g_terrainRows) g_terrainRows = new TerrainRowBuffers();
    g_terrainTriangles = 0;
    assignTerrainDetail(w, g_camera.eye, g_camera.yaw);

    DrawSetup s;
    s.units = g_engine.glActiveTextureARB && g_engine.glMultiTexCoord2fARB;
    s.multitexture = s.units && g_engine.multitexture;
    s.lightTexture = s.multitexture && g_engine.lightEnabled &&
                     (g_engine.lightType == 2 || g_engine.lightType == 3);
    s.vertexLight = g_engine.lightEnabled && g_engine.lightType == 1;
    s.lightScale = g_engine.lightType == 3 ? 1.0f / 128.0f : 1.0f / 64.0f;
    s.dirtOnUnit = s.multitexture && !s.vertexLight && textureUnits() >= 4;
    if (s.dirtOnUnit) s.lightUnit = GL_TEXTURE3_ARB;
    s.arrays = g_sendVertexArrays && s.units && g_engine.glClientActiveTextureARB &&
               g_engine.glMultiDrawArrays;

    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    setUpTextures(s);
    if (s.arrays) enableStripArrays(s);
    const int n = LocalTerrain::windowPages();
    VisiblePages order;
    orderFrontToBack(w, g_camera.eye, order);
    FogSwitch fog;
    fog.clearWithin = g_engine.fogFreeDistance();
    for (int k = 0; k < order.count; ++k) {
        const int a = order.cells[k].a, b = order.cells[k].b;
        drawPage(s, *w.pages[a][b], w, a, b, n, fog);
    }
    fog.set(false);
    if (s.arrays) disableStripArrays();
    disableUnit(s, GL_TEXTURE1_ARB);
    disableUnit(s, GL_TEXTURE2_ARB);
    disableUnit(s, GL_TEXTURE3_ARB);
    selectUnit(s, GL_TEXTURE0_ARB);
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    for (int a = 0; a < n; ++a)
        for (int b = 0; b < n; ++b) {
            const TerrainPage* p = w.pages[a][b];
            if (!p || !p->visible || p->lodLevel > g_settings.terrainLodSteps) continue;
            drawPageObjects(*p, p->lodLevel == g_settings.terrainLodSteps ? 1 : 0);
        }
}
