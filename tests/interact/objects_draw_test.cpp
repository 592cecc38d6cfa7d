#include "core/random.h"
#include "interact/building.h"
#include "interact/decor.h"
#include "interact/picker.h"
#include "model/md2.h"
#include "render/engine.h"
#include "render/stream_draw.h"
#include "terrain/terrain_build.h"
#include "terrain/terrain_draw.h"

#include "../support/frame_compare.h"
#include "../support/test_window.h"
#include "../terrain/support.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace {

// Near buildings offer their door to the picker; far ones show none.
TEST(BuildingDraw, OnlyNearDetailsOfferTheDoorToThePicker) {
    ZEB_REQUIRE_GL_WINDOW(window);
    Building b;
    b.id = 77;
    b.length = 30, b.width = 20, b.height = 20;
    b.doorOffset = 10;
    for (auto [detail, offered] : {std::pair{1, true}, {2, true}, {3, false}, {4, false}}) {
        SCOPED_TRACE(detail);
        g_picker.reset();
        drawBuilding(b, detail);
        ASSERT_EQ(g_picker.quadCount, offered ? 1 : 0);
        if (!offered) continue;
        const QuadMark& q = g_picker.quads[0];
        EXPECT_EQ(q.id, 77);
        EXPECT_EQ(q.xOffset, 10);
        EXPECT_EQ(q.width, 7);
        EXPECT_EQ(q.height, 14);
    }
    g_picker.reset();
}

// Every detail of a lit, tinted, turned and tilted building, seen from the
// front and above, draws the same both ways.
TEST(BuildingDraw, VertexArraysDrawTheSamePixelsAsSingleVertices) {
    ZEB_REQUIRE_GL_WINDOW(window);
    Building b;
    b.length = 30, b.width = 20, b.height = 20;
    b.doorOffset = 10, b.doorWidth = 7, b.doorHeight = 14;
    b.rotation = 20.0f, b.tilt = 4.0f;
    for (int k = 0; k < 4; ++k) {
        b.cornerLight[k] = 0.4f + 0.15f * k;
        b.edgeLight[k] = 0.9f - 0.1f * k;
    }
    b.tint[0] = 0.9, b.tint[1] = 0.6, b.tint[2] = 0.3;
    b.wallTexture = testsupport::stripedTexture(0, 255, 0);
    g_engine.worldTextures[TEX_ROOF] = testsupport::stripedTexture(255, 0, 0);
    g_engine.worldTextures[TEX_DOOR] = testsupport::stripedTexture(0, 0, 255);
    glViewport(0, 0, 256, 192);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(50.0, 256.0 / 192.0, 1.0, 500.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(-25, -55, 45, 15, 10, 10, 0, 0, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    auto frame = [&](int detail) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        g_picker.reset();
        drawBuilding(b, detail);
        return testsupport::readFrame(256, 192);
    };
    for (int detail = 1; detail <= 4; ++detail) {
        g_sendVertexArrays = false;
        const std::vector<unsigned char> single = frame(detail);
        g_sendVertexArrays = true;
        EXPECT_EQ(testsupport::differingPixels(single, frame(detail)), 0) << detail;
        EXPECT_GT(testsupport::pixelsOtherThan(single, 0, 0, 0), 5000) << detail;
    }
    g_picker.reset();
    glDisable(GL_TEXTURE_2D);
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
