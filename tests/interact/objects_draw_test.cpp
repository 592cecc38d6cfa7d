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

class BuildingDraw : public ::testing::Test {
  protected:
    void SetUp() override {
        lightWas_ = g_engine.lightEnabled;
        g_picker.reset();
    }
    void TearDown() override {
        g_engine.lightEnabled = lightWas_;
        g_picker.reset();
    }
    bool lightWas_ = true;
};

TEST_F(BuildingDraw, UnlitWallsAreWhiteAndTheRoofIsTheTint) {
    ZEB_REQUIRE_GL_WINDOW(window);
    setFlatView();
    g_engine.lightEnabled = false;
    const Building b = sampleBuilding();
    for (int detail : {1, 2, 4}) {
        int roof = 0, white = 0;
        for (const FedPolygon& p : feedback([&] { drawBuilding(b, detail); }))
            for (const FedVertex& v : p) {
                if (sameColour(v.rgba, 0.2, 0.4, 0.6))
                    ++roof;
                else if (sameColour(v.rgba, 1, 1, 1))
                    ++white;
                else
                    ADD_FAILURE() << "detail " << detail << ": colour " << v.rgba[0] << ","
                                  << v.rgba[1] << "," << v.rgba[2];
            }
        EXPECT_GT(roof, 0) << detail;
        EXPECT_GT(white, 0) << detail;
    }
}

TEST_F(BuildingDraw, NearBuildingsHaveSlabRoofFloorAndAPickableDoor) {
    ZEB_REQUIRE_GL_WINDOW(window);
    setFlatView();
    g_engine.lightEnabled = true;
    const Building b = sampleBuilding();
    struct Seen {
        float maxX = -1e9f;
        int floors = 0, doors = 0;
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
}

// A mesh of ten separate triangles, face f lying at x = 8 f (model units).
FrameMesh tenFaces() {
    FrameMesh m;
    for (int f = 0; f < 10; ++f) {
        m.vertices.push_back({8.0f * f, 0, 0});
        m.vertices.push_back({8.0f * f + 4, 0, 0});
        m.vertices.push_back({8.0f * f, 8, 8});
        Face face;
        for (int c = 0; c < 3; ++c)
            face.vertexIndex[c] = face.texCoordIndex[c] = 3 * f + c;
        m.faces.push_back(face);
    }
    m.vertexCount = int(m.vertices.size());
    m.faceCount = 10;
    return m;
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

    // Stood upright: model y (height) becomes world z.
    const std::vector<FedPolygon> upright = feedback([&] { drawDecor(d, 0); });
    ASSERT_FALSE(upright.empty());
    EXPECT_NEAR(upright[0][2].depth, depthOf(1.0), 1e-4);

    kind.mesh = nullptr;
    EXPECT_TRUE(feedback([&] { drawDecor(d, 0); }).empty());
    d.kind = nullptr;
    EXPECT_TRUE(feedback([&] { drawDecor(d, 0); }).empty());
}

// ---- objects drawn where the walk map blocks the ground ----

// A decor stand-in: an upright box 6 units wide and 10 high, centred on its
// standing point, in model units (y up, drawn at 1/8).
FrameMesh decorBox() {
    FrameMesh m;
    for (int k = 0; k < 8; ++k)
        m.vertices.push_back(
            {k & 1 ? 24.0f : -24.0f, k & 2 ? 80.0f : 0.0f, k & 4 ? 24.0f : -24.0f});
    // Two triangles for each side of the box.
    const int quads[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
    for (const auto& q : quads)
        for (const auto& tri : {std::array<int, 3>{q[0], q[1], q[2]}, {q[0], q[2], q[3]}}) {
            Face f;
            for (int c = 0; c < 3; ++c)
                f.vertexIndex[c] = tri[c];
            m.faces.push_back(f);
        }
    m.vertexCount = 8;
    m.faceCount = int(m.faces.size());
    return m;
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

TEST(PageObjects, EveryBlockedCellShowsAnObjectAndEveryObjectStandsOnBlockedCells) {
    ZEB_REQUIRE_GL_WINDOW(window);
    const FrameMesh box = decorBox();
    const FrameMesh* savedMeshes[DECOR_KIND_COUNT];
    bool savedTransparent[DECOR_KIND_COUNT];
    for (int k = 0; k < DECOR_KIND_COUNT; ++k) {
        savedMeshes[k] = g_decorKinds[k].mesh;
        savedTransparent[k] = g_decorKinds[k].transparent;
        g_decorKinds[k].mesh = &box;
        g_decorKinds[k].transparent = false;
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
        const int side = PAGE_SIZE * PX;
        auto blockedNear = [&](int i, int j, int margin) {
            for (int a = i - margin; a <= i + margin; ++a)
                for (int b = j - margin; b <= j + margin; ++b)
                    if (a >= 0 && b >= 0 && a < PAGE_CELLS && b < PAGE_CELLS && page.blocked[a][b])
                        return true;
            return false;
        };
        // Objects never stand on open ground (one cell of slack for the
        // roof's overhang and cells a wall only grazes).
        int stray = 0;
        for (int py = 0; py < side; ++py)
            for (int px = 0; px < side; ++px)
                if (drawn[std::size_t(py) * side + px] &&
                    !blockedNear(px / PX / CELL_SIZE, py / PX / CELL_SIZE, 1))
                    ++stray;
        EXPECT_EQ(stray, 0) << "seed " << seed;
        // Every blocked cell has something drawn on it or at its edge.
        int bare = 0;
        for (int i = 0; i < PAGE_CELLS; ++i)
            for (int j = 0; j < PAGE_CELLS; ++j) {
                if (!page.blocked[i][j]) continue;
                bool seen = false;
                const int x0 = i * CELL_SIZE * PX - PX, y0 = j * CELL_SIZE * PX - PX;
                const int span = CELL_SIZE * PX + 2 * PX;
                for (int py = std::max(0, y0); py < std::min(side, y0 + span) && !seen; ++py)
                    for (int px = std::max(0, x0); px < std::min(side, x0 + span) && !seen; ++px)
                        seen = drawn[std::size_t(py) * side + px];
                bare += !seen;
            }
        EXPECT_EQ(bare, 0) << "seed " << seed << ": blocked cells with nothing drawn";
    }
    EXPECT_EQ(checked, 3);
    for (int k = 0; k < DECOR_KIND_COUNT; ++k) {
        g_decorKinds[k].mesh = savedMeshes[k];
        g_decorKinds[k].transparent = savedTransparent[k];
    }
}

} // namespace
