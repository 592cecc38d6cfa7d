#include "core/random.h"
#include "interact/building.h"
#include "interact/decor.h"
#include "interact/picker.h"
#include "model/md2.h"
#include "render/engine.h"
#include "terrain/terrain_build.h"
#include "terrain/terrain_draw.h"

#include "../support/test_window.h"
#include "../terrain/support.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <set>
#include <vector>

namespace {

struct FedVertex {
    float x, y, depth;
    float rgba[4];
};
using FedPolygon = std::vector<FedVertex>;

// Screen of 200 x 200 pixels over world x, y in -100..100: a vertex at
// (x, y, z) comes back at window (x + 100, y + 100), depth (1 - z / 100) / 2.
void setFlatView() {
    glViewport(0, 0, 200, 200);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-100, 100, -100, 100, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
}

// Runs draw in feedback mode and gives back the polygons GL was sent.
template <class Draw> std::vector<FedPolygon> feedback(Draw draw) {
    std::vector<GLfloat> buffer(1 << 16);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D_COLOR, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const GLint n = glRenderMode(GL_RENDER);
    std::vector<FedPolygon> out;
    for (GLint at = 0; at < n;) {
        const GLint token = GLint(buffer[at++]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const int count = int(buffer[at++]);
        FedPolygon p;
        for (int v = 0; v < count; ++v, at += 7)
            p.push_back({buffer[at],
                         buffer[at + 1],
                         buffer[at + 2],
                         {buffer[at + 3], buffer[at + 4], buffer[at + 5], buffer[at + 6]}});
        out.push_back(p);
    }
    return out;
}

bool sameColour(const float rgba[4], double r, double g, double b) {
    return std::fabs(rgba[0] - r) < 0.01 && std::fabs(rgba[1] - g) < 0.01 &&
           std::fabs(rgba[2] - b) < 0.01;
}

// Window depth of a building-frame height.
float depthOf(double z) {
    return float((1.0 - z / 100.0) / 2.0);
}

Building sampleBuilding() {
    Building b;
    b.id = 77;
    b.length = 30, b.width = 20, b.height = 20;
    b.doorOffset = 10;
    b.tint[0] = 0.2, b.tint[1] = 0.4, b.tint[2] = 0.6;
    for (int k = 0; k < 4; ++k) {
        b.cornerLight[k] = 0.1f * float(k + 1);
        b.edgeLight[k] = 0.5f + 0.1f * float(k);
    }
    return b;
}

TEST(BuildingDraw, DetailDecidesSlabFloorAndPickableDoorAndLightTheColours) {
    ZEB_REQUIRE_GL_WINDOW(window);
    setFlatView();
    g_picker.reset();
    const Building b = sampleBuilding();
    struct Seen {
        float maxX = -1e9f;
        int floors = 0, doors = 0, roof = 0, white = 0, other = 0;
        std::set<float> doorGreys;
    };
    auto look = [&](int detail) {
        Seen s;
        for (const FedPolygon& p : feedback([&] { drawBuilding(b, detail); })) {
            bool allGround = true, allDoor = true;
            for (const FedVertex& v : p) {
                s.maxX = std::max(s.maxX, v.x);
                allGround = allGround && std::fabs(v.depth - depthOf(0)) < 1e-4f;
                allDoor = allDoor && std::fabs(v.y - 100) < 0.01f &&
                          (std::fabs(v.x - 110) < 0.01f || std::fabs(v.x - 117) < 0.01f);
                const bool roof = sameColour(v.rgba, 0.2, 0.4, 0.6);
                const bool white = sameColour(v.rgba, 1, 1, 1);
                s.roof += roof;
                s.white += white;
                s.other += !roof && !white;
            }
            s.floors += allGround;
            if (allDoor) {
                ++s.doors;
                for (const FedVertex& v : p)
                    s.doorGreys.insert(v.rgba[0]);
            }
        }
        return s;
    };
    // Unlit, at every detail the walls are white and the roof is the tint.
    g_engine.lightEnabled = false;
    for (int detail : {1, 2, 4}) {
        const Seen unlit = look(detail);
        EXPECT_GT(unlit.roof, 0) << detail;
        EXPECT_GT(unlit.white, 0) << detail;
        EXPECT_EQ(unlit.other, 0) << detail;
    }
    g_engine.lightEnabled = true;
    g_picker.reset();
    const Seen near = look(1);
    EXPECT_FLOAT_EQ(near.maxX, 100 + 31) << "the slab overhangs the end walls";
    EXPECT_GT(near.floors, 0);
    EXPECT_GT(near.doors, 0);
    EXPECT_EQ(near.doorGreys, std::set<float>{0.5f}) << "the door takes the front wall's light";
    ASSERT_EQ(g_picker.quadCount, 1);
    const QuadMark& q = g_picker.quads[0];
    EXPECT_EQ(q.id, 77);
    EXPECT_EQ(q.xOffset, 10);
    EXPECT_EQ(q.width, 7);
    EXPECT_EQ(q.height, 14);

    const Seen middle = look(2);
    EXPECT_FLOAT_EQ(middle.maxX, 100 + 30) << "one thin roof strip";
    EXPECT_GT(middle.doors, 0);
    EXPECT_EQ(g_picker.quadCount, 2);

    g_picker.quadCount = 0;
    const Seen far = look(3);
    EXPECT_EQ(far.floors, 0);
    EXPECT_EQ(far.doors, 0);
    EXPECT_EQ(g_picker.quadCount, 0) << "no door to pick from afar";

    // The door under the cursor keeps the floor's last colour (corner 3).
    g_picker.picked = true;
    g_picker.hitType = PickBuildingDoor;
    g_picker.hitId = 77;
    EXPECT_EQ(look(1).doorGreys, std::set<float>{0.4f});
    g_picker.reset();
}

// A mesh of the given vertices (model units) and triangles.
FrameMesh meshOf(const std::vector<Vec3f>& vertices,
                 const std::vector<std::array<int, 3>>& triangles) {
    FrameMesh m;
    m.vertices = vertices;
    for (const auto& t : triangles) {
        Face face;
        for (int c = 0; c < 3; ++c)
            face.vertexIndex[c] = face.texCoordIndex[c] = t[c];
        m.faces.push_back(face);
    }
    m.vertexCount = int(m.vertices.size());
    m.faceCount = int(m.faces.size());
    return m;
}

// Ten separate triangles, face f lying at x = 8 f.
FrameMesh tenFaces() {
    std::vector<Vec3f> vertices;
    std::vector<std::array<int, 3>> triangles;
    for (int f = 0; f < 10; ++f) {
        vertices.insert(vertices.end(), {{8.0f * f, 0, 0}, {8.0f * f + 4, 0, 0}, {8.0f * f, 8, 8}});
        triangles.push_back({3 * f, 3 * f + 1, 3 * f + 2});
    }
    return meshOf(vertices, triangles);
}

TEST(DecorDraw, ReducedObjectsShowEveryThirdTriangleAndKindlessOnesNothing) {
    ZEB_REQUIRE_GL_WINDOW(window);
    setFlatView();
    const FrameMesh mesh = tenFaces();
    DecorKind kind;
    kind.mesh = &mesh;
    DecorObject d;
    d.kind = &kind;
    auto facesDrawn = [&](int reduced) {
        std::vector<int> faces;
        for (const FedPolygon& p : feedback([&] { drawDecor(d, reduced); })) {
            float minX = 1e9f;
            for (const FedVertex& v : p)
                minX = std::min(minX, v.x);
            // Scaled by 1/8: face f starts at world x = f.
            faces.push_back(int(std::lround(minX - 100)));
        }
        return faces;
    };
    EXPECT_EQ(facesDrawn(1), (std::vector<int>{0, 3, 6, 9}));
    EXPECT_EQ(facesDrawn(0).size(), 10u);

    // (That decor stands upright is seen from above in the page objects test.)
    kind.mesh = nullptr;
    EXPECT_TRUE(feedback([&] { drawDecor(d, 0); }).empty());
    d.kind = nullptr;
    EXPECT_TRUE(feedback([&] { drawDecor(d, 0); }).empty());
}

// ---- objects drawn where the walk map blocks the ground ----

// A decor stand-in as seen from above: a square 6 units on a side, 10 units
// up, centred over its standing point (y up, drawn at 1/8).
FrameMesh decorTop() {
    return meshOf({{-24, 80, -24}, {24, 80, -24}, {24, 80, 24}, {-24, 80, 24}},
                  {{0, 1, 2}, {0, 2, 3}});
}

// Three pixels a world unit, the page seen from straight above.
constexpr int PX = 3;

std::vector<bool> drawnFromAbove(const TerrainPage& page) {
    const int side = PAGE_SIZE * PX;
    glViewport(0, 0, side, side);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(page.originX, page.originX + PAGE_SIZE, page.originY, page.originY + PAGE_SIZE, -500,
            500);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_CULL_FACE);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawPageObjects(page, 0);
    std::vector<float> depth(std::size_t(side) * side);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, side, side, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    std::vector<bool> drawn(depth.size());
    for (std::size_t k = 0; k < depth.size(); ++k)
        drawn[k] = depth[k] < 1.0f;
    return drawn;
}

// True when anything is drawn in the pixels from (x0, y0) up to (x1, y1).
bool anyDrawn(const std::vector<bool>& drawn, int side, int x0, int y0, int x1, int y1) {
    for (int py = std::max(0, y0); py < std::min(side, y1); ++py)
        for (int px = std::max(0, x0); px < std::min(side, x1); ++px)
            if (drawn[std::size_t(py) * side + px]) return true;
    return false;
}

TEST(PageObjects, EveryBlockedCellShowsAnObjectAndEveryObjectStandsOnBlockedCells) {
    ZEB_REQUIRE_GL_WINDOW(window);
    const FrameMesh box = decorTop();
    for (DecorKind& kind : g_decorKinds) {
        kind.mesh = &box;
        kind.transparent = false;
    }
    // Pages that hold decor, buildings and a portal (one page in twenty has one).
    int checked = 0;
    for (unsigned seed = 1; seed < 2000 && checked < 3; ++seed) {
        auto list = terraintest::makeFlatList(1, 1);
        TerrainPage& page = *list->head;
        page.setOrigin(2 * PAGE_SIZE, 3 * PAGE_SIZE);
        page.lodLevel = 1;
        crt::srand(seed);
        placePageObjects(page, 1.0);
        if (page.decorCount == 0 || page.buildingCount == 0 || page.portalCount == 0 ||
            page.portals[0].type != PORTAL_DUNGEON_ENTRANCE)
            continue;
        ++checked;
        const std::vector<bool> drawn = drawnFromAbove(page);
        const int side = PAGE_SIZE * PX, cell = CELL_SIZE * PX;
        int stray = 0, bare = 0;
        for (int i = 0; i < PAGE_CELLS; ++i)
            for (int j = 0; j < PAGE_CELLS; ++j) {
                bool blockedNear = false; // this cell or a neighbour
                for (int a = std::max(0, i - 1); a <= std::min(PAGE_CELLS - 1, i + 1); ++a)
                    for (int b = std::max(0, j - 1); b <= std::min(PAGE_CELLS - 1, j + 1); ++b)
                        blockedNear = blockedNear || page.blocked[a][b];
                // Objects never stand on open ground (one cell of slack for the
                // roof's overhang and cells a wall only grazes) ...
                const int x0 = i * cell, y0 = j * cell;
                stray += !blockedNear && anyDrawn(drawn, side, x0, y0, x0 + cell, y0 + cell);
                // ... and every blocked cell has something drawn on it or at its edge.
                bare += page.blocked[i][j] &&
                        !anyDrawn(drawn, side, x0 - PX, y0 - PX, x0 + cell + PX, y0 + cell + PX);
            }
        EXPECT_EQ(stray, 0) << "seed " << seed << ": open cells with something drawn";
        EXPECT_EQ(bare, 0) << "seed " << seed << ": blocked cells with nothing drawn";
    }
    EXPECT_EQ(checked, 3);
    for (DecorKind& kind : g_decorKinds)
        kind = DecorKind();
}

} // namespace
