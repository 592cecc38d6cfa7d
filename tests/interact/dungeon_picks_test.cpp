#include "actor/controller.h"
#include "core/random.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_draw.h"
#include "interact/dungeon_picks.h"
#include "interact/picker.h"
#include "render/engine.h"

#include "../dungeon/support.h"
#include "../support/test_window.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using dungeontest::TextMap;

const TextMap kRoom = {
    "#########", //
    "#.......#", //
    "#.......#", //
    "#.......#", //
    "#.......#", //
    "#.......#", //
    "#.......#", //
    "####D####",
};

struct Found {
    int i = -1, j = -1;
};

Found findCode(const Dungeon& d, int code) {
    for (int i = 0; i < d.width; ++i)
        for (int j = 0; j < d.height; ++j)
            if (d.code(i, j) == code) return {i, j};
    return {};
}

TEST(Chests, OpeningSetsTheFlagOnceAndSaysSo) {
    dungeontest::LogCapture log;
    crt::srand(12);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const Found at = findCode(d, CELL_CHEST);
    ASSERT_GE(at.i, 0) << "the room holds a chest";
    ChestRecord& chest = *d.cell(at.i, at.j).chest;
    ASSERT_EQ(chest.opened, 0);

    EXPECT_EQ(openChest(d, chest.id), ChestOpening::Opened);
    EXPECT_EQ(chest.opened, 1);
    EXPECT_STREQ(g_engine.statusLine, "Chest opened");
    EXPECT_EQ(openChest(d, chest.id), ChestOpening::AlreadyOpen);
    EXPECT_STREQ(g_engine.statusLine, "The chest is empty");

    std::strcpy(g_engine.statusLine, "before");
    EXPECT_EQ(openChest(d, chest.id + 1000), ChestOpening::NotFound);
    EXPECT_STREQ(g_engine.statusLine, "before") << "no chest, no word";
}

// Brightness of the pixel over (x, y) with the dungeon drawn from straight
// above, the window's pixels one unit each.
int brightnessFromAbove(Dungeon& d, double x, double y) {
    glViewport(0, 0, 512, 512);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(x - 256, x + 256, y - 256, y + 256, -500, 500);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const double player[3] = {x, y, 0};
    drawDungeon(d, player);
    unsigned char rgb[3] = {};
    glReadPixels(256, 256, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return rgb[0] + rgb[1] + rgb[2];
}

TEST(Chests, AnOpenedChestShowsItsDarkInsideFromAbove) {
    ZEB_REQUIRE_GL_WINDOW(window);
    dungeontest::LogCapture log;
    crt::srand(12);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const Found at = findCode(d, CELL_CHEST);
    ASSERT_GE(at.i, 0);
    const ChestRecord& chest = *d.cell(at.i, at.j).chest;
    const bool lightWas = g_engine.lightEnabled;
    g_engine.lightEnabled = false;
    glDisable(GL_TEXTURE_2D);
    const int closed = brightnessFromAbove(d, chest.x + 6, chest.y + 4);
    openChest(d, chest.id);
    const int opened = brightnessFromAbove(d, chest.x + 6, chest.y + 4);
    glEnable(GL_TEXTURE_2D);
    g_engine.lightEnabled = lightWas;
    EXPECT_GT(closed, 200);
    EXPECT_LT(opened, closed / 4) << "the dark inside, not the lid";
    EXPECT_GT(opened, 0);
}

// The dungeon drawn and then picked from a camera looking down at `target`
// from a little to its -y side; the cursor sits in the window's centre.
class DungeonPicking : public ::testing::Test {
  protected:
    void SetUp() override {
        hookWas_ = g_pickRegistration.add;
        queryWas_ = g_modelQueries.isPicked;
        inDungeonWas_ = g_engine.inDungeon;
        g_pickRegistration.add = registerWithPicker;
        g_modelQueries.isPicked = isObjectPicked;
        g_engine.inDungeon = 1;
        for (int c = 0; c < PLAYER_INDEX; ++c) {
            activeWas_[c] = g_actors[c].active;
            g_actors[c].active = false;
        }
        g_picker.reset();
    }
    void TearDown() override {
        g_pickRegistration.add = hookWas_;
        g_modelQueries.isPicked = queryWas_;
        g_engine.inDungeon = inDungeonWas_;
        for (int c = 0; c < PLAYER_INDEX; ++c)
            g_actors[c].active = activeWas_[c];
        g_picker.reset();
    }
    void drawAndPick(Dungeon& d, double x, double y, double z) {
        PickView v;
        v.cursorX = 512;
        v.cursorY = 384;
        v.viewport[2] = 1024;
        v.viewport[3] = 768;
        v.fov = 60.0;
        v.farPlane = 2000.0;
        const double eye[3] = {x, y - 20.0, z + 120.0}, centre[3] = {x, y, z};
        for (int k = 0; k < 3; ++k) {
            v.eye[k] = eye[k];
            v.centre[k] = centre[k];
        }
        glViewport(0, 0, 1024, 768);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(v.fov, v.aspect, 1.0, v.farPlane);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(eye[0], eye[1], eye[2], x, y, z, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        pickInDungeon(d);
        drawDungeon(d, centre);
        g_picker.runPass(v);
    }

  private:
    void (*hookWas_)(int, double, double, double, float, int) = nullptr;
    bool (*queryWas_)(int, int) = nullptr;
    int inDungeonWas_ = 0;
    bool activeWas_[PLAYER_INDEX] = {};
};

TEST_F(DungeonPicking, ChestDoorAndStairsAreFoundUnderTheCursor) {
    ZEB_REQUIRE_GL_WINDOW(window);
    dungeontest::LogCapture log;
    crt::srand(12);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const double half = d.halfCellX;

    const Found chestAt = findCode(d, CELL_CHEST);
    ASSERT_GE(chestAt.i, 0);
    const DungeonCell& chestCell = d.cell(chestAt.i, chestAt.j);
    drawAndPick(d, chestCell.x + half, chestCell.y + half, 6);
    EXPECT_TRUE(g_picker.isPicked(PickChest, std::uint32_t(chestCell.chest->id)))
        << g_picker.hitType << " " << g_picker.hitId;
    const PickPosition chestPos = g_picker.chestPosition(chestCell.chest->id);
    EXPECT_EQ(chestPos.x, chestCell.x + half);
    EXPECT_EQ(chestPos.y, chestCell.y + half);

    const Found doorAt = findCode(d, CELL_DOOR);
    const DungeonCell& doorCell = d.cell(doorAt.i, doorAt.j);
    drawAndPick(d, doorCell.x + half, doorCell.y + half, d.halfWall);
    EXPECT_TRUE(g_picker.isPicked(PickDungeonDoor, std::uint32_t(doorCell.door->id)));
    EXPECT_EQ(g_picker.dungeonDoorPosition(doorCell.door->id).x, doorCell.x + half);

    // An open door is no longer offered to the picker.
    doorCell.door->state = DOOR_OPEN;
    drawAndPick(d, doorCell.x + half, doorCell.y + half, d.halfWall);
    EXPECT_FALSE(g_picker.isPickedType(PickDungeonDoor));
    EXPECT_EQ(g_picker.dungeonDoorPosition(doorCell.door->id).x, -1.0);

    drawAndPick(d, d.exitX + half, d.exitY + half, 2);
    EXPECT_TRUE(g_picker.isPicked(PickDungeonExit, NO_PICK_ID));
    EXPECT_EQ(g_picker.dungeonExitPosition().x, d.exitX + half);
}

} // namespace
