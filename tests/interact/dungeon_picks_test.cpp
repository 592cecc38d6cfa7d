// Chests and doors of the dungeon as the player acts on them: a chest opens
// once and says so, shows its dark inside once open, and an open door is no
// longer offered to the picker. (The picking play-through points at and
// clicks a door, a chest and the stairs in the shipped game.)
#include "actor/controller.h"
#include "core/random.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_draw.h"
#include "interact/dungeon_picks.h"
#include "interact/picker.h"
#include "render/engine.h"

#include "../dungeon/support.h"
#include "../support/log_capture.h"
#include "../support/test_window.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

using dungeontest::findCode;
using dungeontest::kRoom;

TEST(Chests, OpeningSetsTheFlagOnceAndSaysSo) {
    testsupport::LogCapture log;
    crt::srand(12);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const auto [i, j] = findCode(d, CELL_CHEST);
    ASSERT_GE(i, 0) << "the room holds a chest";
    ChestRecord& chest = *d.cell(i, j).chest;
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
    testsupport::LogCapture log;
    crt::srand(12);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const auto [i, j] = findCode(d, CELL_CHEST);
    ASSERT_GE(i, 0);
    const ChestRecord& chest = *d.cell(i, j).chest;
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

TEST(DungeonPicking, AClosedDoorIsFoundUnderTheCursorAndAnOpenOneIsNot) {
    ZEB_REQUIRE_GL_WINDOW(window);
    testsupport::LogCapture log;
    const auto hookWas = g_pickRegistration.add;
    const auto queryWas = g_modelQueries.isPicked;
    g_pickRegistration.add = registerWithPicker;
    g_modelQueries.isPicked = isObjectPicked;
    g_engine.inDungeon = 1;
    for (int c = 0; c < PLAYER_INDEX; ++c)
        g_actors[c].active = false;
    crt::srand(12);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const auto [i, j] = findCode(d, CELL_DOOR);
    DoorRecord& door = *d.cell(i, j).door;
    // Looking down at the door's middle from a little to its -y side; the
    // cursor in the window's centre.
    const double centre[3] = {double(d.cell(i, j).x + d.halfCellX),
                              double(d.cell(i, j).y + d.halfCellY), double(d.halfWall)};
    const double eye[3] = {centre[0], centre[1] - 20, centre[2] + 120};
    const PickView v{512, 384,    {0, 0, 1024, 768},        60.0,
                     1.0, 2000.0, {eye[0], eye[1], eye[2]}, {centre[0], centre[1], centre[2]}};
    for (int state : {DOOR_CLOSED, DOOR_OPEN}) {
        door.state = state;
        glViewport(0, 0, 1024, 768);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(v.fov, v.aspect, 1.0, v.farPlane);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(eye[0], eye[1], eye[2], centre[0], centre[1], centre[2], 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        pickInDungeon(d);
        drawDungeon(d, centre);
        g_picker.runPass(v);
        EXPECT_EQ(g_picker.isPicked(PickDungeonDoor, std::uint32_t(door.id)), state == DOOR_CLOSED)
            << g_picker.hitType << " " << g_picker.hitId;
        EXPECT_EQ(g_picker.dungeonDoorPosition(door.id).x, state == DOOR_CLOSED ? centre[0] : -1.0);
    }
    g_pickRegistration.add = hookWas;
    g_modelQueries.isPicked = queryWas;
    g_engine.inDungeon = 0;
    g_picker.reset();
}

} // namespace
