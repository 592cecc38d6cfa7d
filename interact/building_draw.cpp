#include "interact/building.h"

#include "interact/picker.h"
#include "render/engine.h"
#include "render/stream_draw.h"

#include <GL/gl.h>

namespace {

// Every part of a building goes through this batch.
VertexBatch parts;

// Light of a corner or a wall middle, or full light with lighting off.
float lit(float value) {
    return g_engine.lightEnabled ? value : 1.0f;
}

void grey(float light) {
    parts.colour(light, light, light);
}

GLuint worldTexture(int index) {
    return g_engine.worldTextures[index];
}

// Geometry shared by the parts of one building, in its own frame.
struct Shape {
    const Building& b;
    int L, W, H, M, R;
    explicit Shape(const Building& building)
        : b(building), L(b.length), W(b.width), H(b.height), M(b.width / 2),
          R(b.height + b.height / 2) {}
    float corner(int k) const { return lit(b.cornerLight[k]); }
    float edge(int k) const { return lit(b.edgeLight[k]); }
    // Roof colour: the tint darkened by the light.
    void tinted(float light) const {
        parts.colour(float(b.tint[0] * light), float(b.tint[1] * light), float(b.tint[2] * light));
    }
};

// A gable roof of one strip, for the coarser details.
void drawThinRoof(const Shape& s) {
    parts.begin(GL_QUAD_STRIP);
    const struct {
        int x, y, z;
        float u, v, light;
    } points[6] = {
        {s.L, 0, s.H, 1, 0, s.corner(1)},   {0, 0, s.H, 0, 0, s.corner(0)},
        {s.L, s.M, s.R, 1, 1, s.edge(1)},   {0, s.M, s.R, 0, 1, s.edge(3)},
        {s.L, s.W, s.H, 1, 2, s.corner(2)}, {0, s.W, s.H, 0, 2, s.corner(3)},
    };
    for (const auto& p : points) {
        s.tinted(p.light);
        parts.texCoord(p.u, p.v);
        parts.vertex(p.x, p.y, p.z);
    }
    parts.end();
}

// The slab roof of the nearest detail: over the top and back underneath,
// overhanging the walls by one unit, then the two ends closed.
void drawSlabRoof(const Shape& s) {
    const float e = 1.0f / float(s.M + 1);
    const int L = s.L, W = s.W, H = s.H, M = s.M, R = s.R;
    // Light of a roof vertex by its place: ridge, or the corner it is over.
    auto lightAt = [&](int x, int y, int z) {
        const bool high = x > 0;
        if (y == M && z > H) return high ? s.edge(1) : s.edge(3);
        if (y <= 0) return high ? s.corner(1) : s.corner(0);
        return high ? s.corner(2) : s.corner(3);
    };
    const struct {
        int y, z;
        float v;
    } rows[7] = {{-1, H, 0}, {M, R + 1, 1}, {W + 1, H, 2}, {W, H, 2 + e},
                 {M, R, 3},  {0, H, 4 - e}, {-1, H, 4}};
    parts.begin(GL_QUAD_STRIP);
    for (const auto& r : rows) {
        s.tinted(lightAt(L + 1, r.y, r.z));
        parts.texCoord(1.0f, r.v);
        parts.vertex(L + 1, r.y, r.z);
        s.tinted(lightAt(-1, r.y, r.z));
        parts.texCoord(0.0f, r.v);
        parts.vertex(-1, r.y, r.z);
    }
    parts.end();
    const struct {
        int y, z;
        float u, v;
    } end[6] = {{0, H, e, 0},     {-1, H, 0, 0},    {M, R, 1, 1 - e},
                {M, R + 1, 1, 1}, {W, H, 2 - e, 0}, {W + 1, H, 2, 0}};
    for (int side = 0; side < 2; ++side) {
        const int x = side == 0 ? L + 1 : -1;
        parts.begin(GL_QUAD_STRIP);
        for (int k = 0; k < 6; ++k) {
            // The far end takes the pairs in reverse order, which turns its
            // faces outwards as well.
            const auto& p = end[side == 0 ? k : (4 - k / 2 * 2) + k % 2];
            s.tinted(lightAt(x, p.y, p.z));
            parts.texCoord(p.u, p.v);
            parts.vertex(x, p.y, p.z);
        }
        parts.end();
    }
}

void drawWalls(const Shape& s) {
    const int xs[5] = {0, s.L, s.L, 0, 0}, ys[5] = {0, 0, s.W, s.W, 0};
    parts.begin(GL_QUAD_STRIP);
    for (int k = 0; k < 5; ++k) {
        grey(s.corner(k % 4));
        parts.texCoord(float(k), 0.0f);
        parts.vertex(xs[k], ys[k], 0);
        parts.texCoord(float(k), 1.0f);
        parts.vertex(xs[k], ys[k], s.H);
    }
    parts.end();
}

void drawGables(const Shape& s) {
    parts.begin(GL_TRIANGLES);
    grey(s.corner(3));
    parts.texCoord(0.0f, 0.0f);
    parts.vertex(0, s.W, s.H);
    grey(s.edge(3));
    parts.texCoord(0.5f, 0.5f);
    parts.vertex(0, s.M, s.R);
    grey(s.corner(0));
    parts.texCoord(1.0f, 0.0f);
    parts.vertex(0, 0, s.H);
    grey(s.corner(1));
    parts.texCoord(0.0f, 0.0f);
    parts.vertex(s.L, 0, s.H);
    grey(s.edge(1));
    parts.texCoord(0.5f, 0.5f);
    parts.vertex(s.L, s.M, s.R);
    grey(s.corner(2));
    parts.texCoord(1.0f, 0.0f);
    parts.vertex(s.L, s.W, s.H);
    parts.end();
}

void drawFloor(const Shape& s) {
    const int xs[4] = {0, s.L, s.L, 0}, ys[4] = {0, 0, s.W, s.W};
    parts.begin(GL_POLYGON);
    for (int k = 0; k < 4; ++k) {
        grey(s.corner(k));
        parts.vertex(xs[k], ys[k], 0);
    }
    parts.end();
}

// The door, registered with the picker; the picked door keeps the floor's
// last colour and so stands out from the wall.
void drawDoor(const Shape& s) {
    const Building& b = s.b;
    if (!g_picker.isPicked(PickBuildingDoor, std::uint32_t(b.id))) grey(s.edge(0));
    g_picker.addBuildingDoor(b.x, b.y, b.z, b.rotation, b.tilt, b.doorOffset, b.doorWidth,
                             b.doorHeight, b.id);
    glBindTexture(GL_TEXTURE_2D, worldTexture(TEX_DOOR));
    const int x0 = b.doorOffset, x1 = b.doorOffset + b.doorWidth;
    // The door lies in the plane of the front wall; the offset keeps it in
    // front of the wall instead of fighting it for the same depth.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(-1.0f, -1.0f);
    parts.begin(GL_POLYGON);
    parts.texCoord(0.0f, 0.0f);
    parts.vertex(x0, 0, 0);
    parts.texCoord(0.0f, 1.0f);
    parts.vertex(x0, 0, b.doorHeight);
    parts.texCoord(0.5f, 1.0f);
    parts.vertex(x1, 0, b.doorHeight);
    parts.texCoord(0.5f, 0.0f);
    parts.vertex(x1, 0, 0);
    parts.end();
    glDisable(GL_POLYGON_OFFSET_FILL);
}

} // namespace

void drawBuilding(const Building& b, int detail) {
    const Shape s(b);
    glPushMatrix();
    glTranslated(b.x, b.y, b.z);
    if (b.rotation != 0.0f) glRotatef(b.rotation, 0.0f, 0.0f, 1.0f);
    if (b.tilt != 0.0f) glRotatef(b.tilt, 0.0f, 1.0f, 0.0f);
    glBindTexture(GL_TEXTURE_2D, worldTexture(TEX_ROOF));
    if (detail == 1)
        drawSlabRoof(s);
    else
        drawThinRoof(s);
    glBindTexture(GL_TEXTURE_2D, b.wallTexture);
    drawWalls(s);
    drawGables(s);
    if (detail < BUILDING_DETAIL_DOOR) {
        drawFloor(s);
        drawDoor(s);
    }
    glPopMatrix();
}
