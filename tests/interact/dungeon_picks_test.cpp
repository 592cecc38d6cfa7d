// Chests and doors of the dungeon as the player acts on them: a chest opens
// once and says so, and an open door is no longer offered to the picker.
// (The whole-game play-through points at and clicks a door and a chest.)
#include "core/random.h"
#include "dungeon/dungeon.h"
#include "dungeon/dungeon_draw.h"
#include "interact/dungeon_picks.h"
#include "interact/picker.h"
#include "render/engine.h"

#include "../dungeon/support.h"
#include "../support/log_capture.h"
#include "../support/test_window.h"

#include <gtest/gtest.h>

#include <algorithm>
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

TEST(DungeonPicking, OnlyAClosedDoorIsOfferedToThePicker) {
    ZEB_REQUIRE_GL_WINDOW(window);
    testsupport::LogCapture log;
    const auto hookWas = g_pickRegistration.add;
    g_pickRegistration.add = registerWithPicker;
    crt::srand(12);
    Dungeon d(kRoom.data(), kRoom.width, kRoom.height);
    const auto [i, j] = findCode(d, CELL_DOOR);
    DoorRecord& door = *d.cell(i, j).door;
    const double centre[3] = {double(d.cell(i, j).x), double(d.cell(i, j).y), 0.0};
    for (int state : {DOOR_CLOSED, DOOR_OPEN}) {
        door.state = state;
        g_picker.reset();
        drawDungeon(d, centre);
        const CellMark *begin = g_picker.doors, *end = begin + g_picker.doorCount;
        const bool offered =
            std::find_if(begin, end, [&](const CellMark& m) { return m.id == door.id; }) != end;
        EXPECT_EQ(offered, state == DOOR_CLOSED) << "door state " << state;
    }
    g_pickRegistration.add = hookWas;
    g_picker.reset();
}

} // namespace
