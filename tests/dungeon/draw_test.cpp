// Dungeon drawing: the light refresh, door swings and flame pacing without a
// display, then floors, walls, a door, a chest and the stairs on the test
// display, each in its own texture.
#include "core/random.h"
#include "core/settings.h"
#include "dungeon/dungeon_draw.h"
#include "model/slot.h"
#include "render/engine.h"
#include "render/particles.h"
#include "tests/support/test_window.h"

#include "support.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

using dungeontest::TextMap;

namespace {

const TextMap kRoom = {
    "#########", //
    "#.......#", //
    "#.......#", //
    "#...T...#", //
    "#.......#", //
    "####D####", //
};

TEST(DungeonLight, RefreshesEveryTenthOfASecondWithThePlayersLight) {
    crt::srand(3);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const double s = d.cellSizeX;
    // The player stands on the corner shared by cells (1,1), (2,1), (1,2), (2,2).
    const double px = 2 * s, py = 2 * s;
    refreshDungeonLight(d, px, py, 4.0);
    EXPECT_EQ(d.cell(1, 1).floorLight[CORNER_X1Y1], 0.0f) << "not yet due";
    refreshDungeonLight(d, px, py, 6.0);
    EXPECT_EQ(d.refreshTimer, 0.0f);
    const int around[4][3] = {
        {1, 1, CORNER_X1Y1}, {2, 1, CORNER_X0Y1}, {1, 2, CORNER_X1Y0}, {2, 2, CORNER_X0Y0}};
    // Full player light (capped at 1.0) less 0.05, the static light, and a
    // flicker within +-0.025 shared by the four cells.
    const float shared =
        d.cell(1, 1).floorLight[CORNER_X1Y1] - d.cell(1, 1).cornerLight[CORNER_X1Y1];
    EXPECT_NEAR(shared, 0.95f, 0.025f + 1e-6f);
    for (const auto& a : around) {
        const DungeonCell& c = d.cell(a[0], a[1]);
        EXPECT_FLOAT_EQ(c.floorLight[a[2]] - c.cornerLight[a[2]], shared);
        EXPECT_NEAR(c.upperLight[a[2]] - c.cornerLight[a[2]], 0.95f, 0.025f + 1e-6f);
    }
    // Far from the player only the static light and the flicker remain,
    // with a little of the player's light: 20 / d - 0.05.
    const DungeonCell& far = d.cell(4, 6);
    const double dx = px - 5 * s, dy = py - 7 * s;
    const double own = 20.0 / std::sqrt(dx * dx + dy * dy) - 0.05;
    EXPECT_NEAR(far.floorLight[CORNER_X1Y1] - far.cornerLight[CORNER_X1Y1], own, 0.025 + 1e-6);
    EXPECT_NEAR(d.dungeonLightAt(px, py), d.cell(2, 2).floorLight[CORNER_X0Y0], 1e-6);
}

TEST(DungeonDoor, SwingsOpenOverFramesAndSettles) {
    DoorRecord door;
    auto openDoorRecord = [](DoorRecord& r) { r.state = DOOR_OPENING; };
    swingDoor(door, 5.0);
    EXPECT_EQ(door.angle, 0.0f) << "a closed door stays";
    door.state = DOOR_OPENING;
    int frames = 0;
    float last = 0.0f;
    while (door.state == DOOR_OPENING && frames < 100) {
        swingDoor(door, 4.0);
        EXPECT_GT(door.angle, last);
        last = door.angle;
        ++frames;
    }
    EXPECT_EQ(frames, 23);
    EXPECT_EQ(door.angle, 90.0f);
    EXPECT_EQ(door.state, DOOR_OPEN);
    EXPECT_EQ(door.fullyOpen, 1);
    door.state = DOOR_CLOSING;
    for (int k = 0; k < 10; ++k)
        swingDoor(door, 10.0);
    EXPECT_EQ(door.angle, 0.0f);
    EXPECT_EQ(door.state, DOOR_CLOSED);
    EXPECT_EQ(door.fullyOpen, 0);

    // A frame without time passing does not undo the opening.
    openDoorRecord(door);
    swingDoor(door, 0.0);
    EXPECT_EQ(door.state, DOOR_OPENING);
}

TEST(DungeonTorches, FlamesShareHalfThePool) {
    // A puff lives 500 ms; n torches one flame each per interval keep
    // n x 500 / interval alight, which must stay within 256.
    for (int torches : {0, 1, 10, 50, 200, 1000}) {
        for (int detail : {3, 10, 200}) {
            const int interval = flameInterval(torches, detail);
            EXPECT_GE(interval, detail);
            if (interval > 0) {
                EXPECT_LE(torches * 500 / interval, PARTICLE_POOL_SIZE / 2) << torches;
            }
        }
    }
    EXPECT_EQ(flameInterval(1, 10), 10) << "a lone torch keeps the detail level's pace";
}

TEST(DungeonRange, CellsAroundThePlayerStayInsideTheMap) {
    crt::srand(3);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const double s = d.cellSizeX;
    const CellRange mid = cellRangeAround(d, 3.5 * s, 4.5 * s, 1);
    EXPECT_EQ(mid.i0, 2);
    EXPECT_EQ(mid.i1, 5);
    EXPECT_EQ(mid.j0, 3);
    EXPECT_EQ(mid.j1, 6);
    const CellRange wide = cellRangeAround(d, 3.5 * s, 4.5 * s, 30);
    EXPECT_EQ(wide.i0, 0);
    EXPECT_EQ(wide.i1, d.width);
    EXPECT_EQ(wide.j1, d.height);
    const CellRange away = cellRangeAround(d, -500.0, 5000.0, 2);
    EXPECT_EQ(away.i1, 0);
    EXPECT_EQ(away.j0, d.height);
}

// ---- pixels on the test display ----

GLuint solidTexture(unsigned char r, unsigned char g, unsigned char b) {
    unsigned char texels[4 * 4 * 3];
    for (int k = 0; k < 16; ++k)
        texels[3 * k] = r, texels[3 * k + 1] = g, texels[3 * k + 2] = b;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

struct Pixel {
    int r, g, b;
};
Pixel readPixel(int x, int y) {
    unsigned char p[4] = {};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

// Texture colours; with lighting off every surface is tinted (1, 0.55, 0.25).
enum Seen { FLOOR, WALL, DOOR, CHEST, STAIRS, BLACK, OTHER };
const char* const kSeenNames[] = {"floor", "wall", "door", "chest", "stairs", "black", "other"};
Seen classify(const Pixel& p) {
    if (p.r < 20 && p.g < 20 && p.b < 20) return BLACK;
    if (p.r > 200 && p.g < 20 && p.b < 20) return FLOOR;    // red
    if (p.r < 20 && p.g > 100 && p.b < 20) return WALL;     // green
    if (p.r < 20 && p.g < 20 && p.b > 40) return DOOR;      // blue
    if (p.r > 200 && p.g > 100 && p.b < 20) return CHEST;   // yellow
    if (p.r > 200 && p.g > 200 && p.b > 200) return STAIRS; // white, drawn untinted
    return OTHER;
}

class DungeonPixels : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!window_.ok()) {
            if (testsupport::displayExpected())
                FAIL() << "cannot open the test window: " << window_.why();
            GTEST_SKIP() << "no display for GL tests";
        }
        for (int k = 0; k < TEX_VARIANT_COUNT; ++k) {
            g_engine.worldTextures[TEX_DUNGEON_FLOOR_FIRST + k] = red_;
            g_engine.worldTextures[TEX_DUNGEON_WALL_FIRST + k] = green_;
        }
        g_engine.worldTextures[TEX_DOOR] = solidTexture(0, 0, 255);
        g_engine.worldTextures[TEX_CHEST] = solidTexture(255, 255, 0);
        g_engine.worldTextures[TEX_STAIRS] = solidTexture(255, 255, 255);
        g_engine.lightEnabled = false;
        g_settings.applyDetailLevel(3);
        g_settings.timeFactor = 1.0;
        glViewport(0, 0, 1024, 768);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glDisable(GL_FOG);
        glCullFace(GL_FRONT);
        glEnable(GL_CULL_FACE);
    }
    void TearDown() override { g_engine.lightEnabled = true; }

    // Looks straight down on the dungeon: one world unit is four pixels,
    // world (x, y) at pixel (4 x, 4 y).
    void drawFromAbove(Dungeon& d, const double player[3]) {
        glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 256, 0, 192, -1000, 1000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        drawDungeon(d, player);
        glFinish();
    }
    Seen seenAt(double x, double y) { return classify(readPixel(int(4 * x), int(4 * y))); }

    testsupport::GlWindow window_;
    GLuint red_ = 0, green_ = 0;

  public:
    DungeonPixels() {
        if (window_.ok()) {
            red_ = solidTexture(255, 0, 0);
            green_ = solidTexture(0, 255, 0);
        }
    }
};

// A room with a chest in the middle of its open floor, found from above.
const TextMap kChestRoom = {
    "#######", //
    "#.....#", //
    "#.....#", //
    "#.....#", //
    "#.....#", //
    "#.....#", //
    "###D###",
};

TEST_F(DungeonPixels, FromAboveFloorsWallTopsChestAndStairs) {
    crt::srand(12);
    Dungeon d(kChestRoom.data(), kChestRoom.width, kChestRoom.height);
    const double s = d.cellSizeX, half = s / 2;
    const double player[3] = {3 * s + half, 3 * s + half, 0};
    drawFromAbove(d, player);
    EXPECT_EQ(seenAt(half, half), BLACK) << "the lid of a wall block";
    int chests = 0, floors = 0, stairs = 0;
    for (int i = 1; i < 6; ++i)
        for (int j = 1; j < 6; ++j) {
            const DungeonCell& c = d.cell(i, j);
            const int code = d.code(i, j);
            if (code == CELL_CHEST) {
                // The box covers 12 x 8 units from the chest's corner.
                const Seen seen = seenAt(c.chest->x + 6, c.chest->y + 4);
                EXPECT_EQ(seen, CHEST) << kSeenNames[seen];
                ++chests;
            } else if (code == CELL_STAIRS) {
                // The top step, seen from above.
                const Seen seen = seenAt(c.x + half, c.y + s * 7 / 8);
                EXPECT_EQ(seen, STAIRS) << kSeenNames[seen];
                ++stairs;
            } else if (code == CELL_FLOOR) {
                const Seen seen = seenAt(c.x + half, c.y + half);
                EXPECT_EQ(seen, FLOOR) << i << "," << j << " " << kSeenNames[seen];
                ++floors;
            }
        }
    EXPECT_GE(chests, 1);
    EXPECT_EQ(stairs, 1);
    EXPECT_GT(floors, 10);
}

TEST_F(DungeonPixels, ADoorSwingsOpenOverFrames) {
    crt::srand(12);
    Dungeon d(kChestRoom.data(), kChestRoom.width, kChestRoom.height);
    const double s = d.cellSizeX;
    const DungeonCell& cell = d.cell(6, 3);
    ASSERT_NE(cell.door, nullptr);
    ASSERT_EQ(cell.door->alongX, 0);
    const double player[3] = {3 * s, 3 * s, 0};
    // Closed, the slab runs along y through the cell's middle; a point a
    // quarter cell along it shows the door.
    const double cx = cell.x + d.halfCellX, cy = cell.y + d.halfCellY;
    const double h = d.halfCellY;
    drawFromAbove(d, player);
    EXPECT_EQ(seenAt(cx, cy + s / 4), DOOR);
    d.openDoor(cell.door->id);
    g_settings.timeFactor = 10.0;
    for (int frame = 0; frame < 9; ++frame)
        drawFromAbove(d, player);
    EXPECT_EQ(cell.door->state, DOOR_OPEN);
    // Open, it has turned a quarter about its hinge at the +y end and lies
    // along +x from there.
    EXPECT_NE(seenAt(cx, cy - s / 4), DOOR);
    EXPECT_EQ(seenAt(cx + h, cy + h - 0.5), DOOR);
}

TEST_F(DungeonPixels, WallsFaceIntoTheRoom) {
    crt::srand(12);
    Dungeon d(kChestRoom.data(), kChestRoom.width, kChestRoom.height);
    const double s = d.cellSizeX;
    // Standing in cell (3, 1) at half the wall height, looking toward -y at
    // the wall of cell (3, 0).
    const double eye[3] = {3.5 * s, 1.5 * s, d.wallHeight / 2.0};
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.5, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], eye[0], 0.0, eye[2], 0, 0, 1);
    drawDungeon(d, eye);
    glFinish();
    const Seen seen = classify(readPixel(512, 384));
    EXPECT_EQ(seen, WALL) << kSeenNames[seen];
    // Turned round toward +y, the floor runs to the far wall.
    glLoadIdentity();
    gluLookAt(eye[0], eye[1], eye[2], eye[0], 10 * s, eye[2] - 2 * s, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawDungeon(d, eye);
    glFinish();
    const Seen ahead = classify(readPixel(512, 200));
    EXPECT_TRUE(ahead == FLOOR || ahead == CHEST || ahead == STAIRS) << kSeenNames[ahead];
}

} // namespace
