// Door swings and flame pacing, then the dungeon's surfaces and an entrance on the display.
#include "core/random.h"
#include "core/settings.h"
#include "dungeon/dungeon_draw.h"
#include "dungeon/layout.h"
#include "dungeon/portal_draw.h"
#include "render/engine.h"
#include "render/particles.h"
#include "render/stream_draw.h"
#include "tests/support/frame_compare.h"
#include "tests/support/log_capture.h"
#include "tests/support/test_window.h"

#include "support.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

using dungeontest::kRoom;

namespace {

TEST(DungeonDoor, AFrameWithoutTimeDoesNotCloseAnOpeningDoor) {
    DoorRecord door;
    door.state = DOOR_OPENING;
    swingDoor(door, 0.0);
    EXPECT_EQ(door.state, DOOR_OPENING);
}

TEST(DungeonTorches, FlamesShareHalfThePool) {
    // A puff lives 500 ms: n torches flaming once per interval keep n x 500 / interval alight.
    for (int torches : {1, 10, 50, 1000})
        EXPECT_LE(torches * 500 / flameInterval(torches, 3), PARTICLE_POOL_SIZE / 2) << torches;
    EXPECT_EQ(flameInterval(1, 10), 10) << "a lone torch keeps the detail level's pace";
}

// What a pixel shows. Lighting off tints every surface (1, 0.55, 0.25): the
// red floor stays red, green walls, blue door and yellow chest darken; the
// stairs are drawn untinted white.
enum Seen { FLOOR, WALL, DOOR, CHEST, STAIRS, BLACK, OTHER };
Seen seenAt(int x, int y) {
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    const bool r = p[0] > 200, g = p[1] > 100, b = p[2] > 40, g2 = p[1] > 200;
    if (p[0] < 20 && p[1] < 20 && p[2] < 20) return BLACK;
    if (r && !g && !b) return FLOOR;
    if (!r && g && !b && p[0] < 20) return WALL;
    if (p[0] < 20 && p[1] < 20 && b) return DOOR;
    if (r && g && !g2 && !b) return CHEST;
    if (r && g2 && p[2] > 200) return STAIRS;
    return OTHER;
}

class DungeonPixels : public ::testing::Test {
  protected:
    void SetUp() override {
        ZEB_REQUIRE_OPEN_WINDOW(window_);
        const GLuint red = testsupport::solidTexture(255, 0, 0),
                     green = testsupport::solidTexture(0, 255, 0);
        for (int k = 0; k < TEX_VARIANT_COUNT; ++k) {
            g_engine.worldTextures[TEX_DUNGEON_FLOOR_FIRST + k] = red;
            g_engine.worldTextures[TEX_DUNGEON_WALL_FIRST + k] = green;
        }
        g_engine.worldTextures[TEX_DOOR] = testsupport::solidTexture(0, 0, 255);
        g_engine.worldTextures[TEX_CHEST] = testsupport::solidTexture(255, 255, 0);
        g_engine.worldTextures[TEX_STAIRS] = testsupport::solidTexture(255, 255, 255);
        g_engine.lightEnabled = false;
        g_settings.applyDetailLevel(3);
        g_settings.timeFactor = 1.0;
        glViewport(0, 0, 1024, 768);
        glEnable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_FOG);
        glCullFace(GL_FRONT);
        glEnable(GL_CULL_FACE);
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    }
    void TearDown() override { g_engine.lightEnabled = true; }

    // Clears and sets the view: from above, world (x, y) at pixel (4 x, 4 y);
    // otherwise from `eye` toward y = 0.
    void view(const double* eye) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        if (eye)
            gluPerspective(60.0, 1.0, 0.5, 1000.0);
        else
            glOrtho(0, 256, 0, 192, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        if (eye) gluLookAt(eye[0], eye[1], eye[2], eye[0], 0.0, eye[2], 0, 0, 1);
    }
    void draw(Dungeon& d, const double player[3], const double* eye = nullptr) {
        view(eye);
        drawDungeon(d, player);
        glFinish();
    }
    Seen above(double x, double y) { return seenAt(int(4 * x), int(4 * y)); }

    testsupport::GlWindow window_;
};

TEST_F(DungeonPixels, FloorsWallsChestStairsAndADoorSwingingOpen) {
    crt::srand(12);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const double s = d.cellSizeX, half = s / 2;
    const double player[3] = {3 * s + half, 3 * s + half, 0};
    draw(d, player);
    EXPECT_EQ(above(half, half), BLACK) << "the lid of a wall block";
    int chests = 0, floors = 0, stairs = 0, checked = 0;
    for (int i = 1; i < 6; ++i)
        for (int j = 1; j < 8; ++j) {
            const DungeonCell& c = d.cell(i, j);
            const int code = d.code(i, j);
            // A chest box covers 12 x 8 units from its corner; the stairs show their top step.
            if (code == CELL_CHEST) chests += above(c.chest->x + 6, c.chest->y + 4) == CHEST;
            if (code == CELL_STAIRS) stairs += above(c.x + half, c.y + s * 7 / 8) == STAIRS;
            if (code == CELL_FLOOR) floors += above(c.x + half, c.y + half) == FLOOR;
            checked += (code == CELL_CHEST || code == CELL_STAIRS || code == CELL_FLOOR);
        }
    EXPECT_GE(chests, 1);
    EXPECT_EQ(stairs, 1);
    EXPECT_GT(floors, 10);
    EXPECT_EQ(chests + stairs + floors, checked) << "every cell in its own texture";

    // Closed, the slab runs along y through the cell's middle; opened, it turns
    // about its hinge at the +y end over the frames and lies along +x.
    const DungeonCell& door = d.cell(6, 4);
    ASSERT_EQ(door.door->alongX, 0);
    const double cx = door.x + d.halfCellX, cy = door.y + d.halfCellY, h = d.halfCellY;
    EXPECT_EQ(above(cx, cy - s / 4), DOOR);
    d.openDoor(door.door->id);
    g_settings.timeFactor = 10.0;
    draw(d, player);
    EXPECT_EQ(door.door->angle, 10.0f);
    for (int frame = 0; frame < 8; ++frame)
        draw(d, player);
    EXPECT_EQ(door.door->state, DOOR_OPEN);
    EXPECT_NE(above(cx, cy - s / 4), DOOR);
    EXPECT_EQ(above(cx + h, cy + h - 0.5), DOOR);

    // From cell (3, 1) at half the wall height toward -y: walls face into the room.
    const double eye[3] = {3.5 * s, 1.5 * d.cellSizeY, d.wallHeight / 2.0};
    draw(d, eye, eye);
    EXPECT_EQ(seenAt(512, 384), WALL);
}

TEST_F(DungeonPixels, AnEntrancePortalShowsItsWallsAndHatchAndOtherTypesNothing) {
    testsupport::LogCapture log;
    Portal portal;
    // From the doorway side, 40 units out: the hatch above the middle, the front wall beside.
    const double eye[3] = {0.0, -40.0, 0.0};
    for (int type : {int(PORTAL_DUNGEON_ENTRANCE), 2, 7}) {
        portal.type = type;
        view(eye);
        drawPortal(portal);
        glFinish();
        const bool entrance = type == PORTAL_DUNGEON_ENTRANCE;
        EXPECT_EQ(seenAt(512, 384 + 60) == DOOR, entrance) << type;
        EXPECT_EQ(seenAt(512 + 70, 384) == WALL, entrance) << type;
    }
    EXPECT_NE(log.text().find("ERROR: Bad portal type!"), std::string::npos);
}

} // namespace

namespace {

TEST_F(DungeonPixels, VertexArraysDrawTheSamePixelsAsSingleVertices) {
    using testsupport::stripedTexture;
    for (int k = 0; k < TEX_VARIANT_COUNT; ++k) {
        g_engine.worldTextures[TEX_DUNGEON_FLOOR_FIRST + k] = stripedTexture(255, 0, 0);
        g_engine.worldTextures[TEX_DUNGEON_WALL_FIRST + k] = stripedTexture(0, 255, 0);
    }
    g_engine.worldTextures[TEX_DOOR] = stripedTexture(0, 0, 255);
    g_engine.worldTextures[TEX_CHEST] = stripedTexture(255, 255, 0);
    g_engine.worldTextures[TEX_STAIRS] = stripedTexture(255, 255, 255);
    crt::srand(5);
    DungeonMonster monsters[DUNGEON_MONSTERS];
    int count = 0, width = 0, height = 0;
    const CellMap map =
        generateDungeonMap(DUNGEON_GRID_HALF, DUNGEON_MONSTERS, monsters, count, width, height);
    Dungeon d(map.codes.get(), width, height);
    const double player[3] = {double(d.exitX), double(d.exitY), double(d.exitZ)};
    // Doors caught mid-swing, then frames without time, which change nothing
    // between the two ways of drawing.
    for (int i = 0; i < d.width; ++i)
        for (int j = 0; j < d.height; ++j)
            if (d.code(i, j) == CELL_DOOR) d.openDoor(d.cell(i, j).door->id);
    g_settings.applyDetailLevel(4);
    g_settings.timeFactor = 30.0;
    g_engine.lightEnabled = true;
    draw(d, player);
    g_settings.timeFactor = 0.0;
    auto frame = [&](const double eye[3]) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 4.0 / 3.0, 0.5, 5000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(eye[0], eye[1], eye[2], player[0], player[1], player[2], 0, 0, 1);
        drawDungeon(d, player);
        return testsupport::readFrame(1024, 768);
    };
    const double s = d.cellSizeX;
    const double eyes[2][3] = {{player[0] - 6 * s, player[1] - 4 * s, 8.0 * s},
                               {player[0] + 0.5, player[1] - 1.5 * s, d.wallHeight * 0.8}};
    for (const auto& eye : eyes) {
        g_sendVertexArrays = false;
        const std::vector<unsigned char> single = frame(eye);
        g_sendVertexArrays = true;
        EXPECT_EQ(testsupport::differingPixels(single, frame(eye)), 0) << "eye at " << eye[2];
        EXPECT_GT(testsupport::pixelsOtherThan(single, 127, 127, 127), 1024 * 768 / 4)
            << "the dungeon fills the view";
    }
}

} // namespace
