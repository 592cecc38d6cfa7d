// The game screens in the game as it ships: key I brings them up, and clicks
// on the inventory and loot move the helm and take the sword.
#include "tests/play/steps.h"

#include "platform/win.h"
#include "screens/screens.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

using win::HWND;

win::COLORREF pixel(HWND hwnd, int x, int y) {
    win::HDC dc = win::GetDC(hwnd);
    win::COLORREF c = win::GetPixel(dc, x, y);
    win::ReleaseDC(hwnd, dc);
    return c;
}

constexpr win::COLORREF GREEN = win::RGB(0, 255, 0);
constexpr win::COLORREF BLUE = win::RGB(0, 0, 255);
constexpr win::COLORREF BLACK = win::RGB(0, 0, 0);

TEST(ScreensPlay, KeyIBringsUpTheScreensWhereClicksWearTheHelmAndTakeTheSword) {
    play::Game& g = play::game();
    ASSERT_TRUE(g.ok()) << g.why;
    const double start[2] = {g.player().position[0], g.player().position[1]};

    g.press('I');
    g.runUntil([] { return g_screens.inventoryScreen != nullptr; }, 50);
    g.run(10);
    ASSERT_NE(g_screens.inventoryScreen, nullptr) << "the first press makes the screens";
    for (HWND hwnd : {g_screens.textScreen, g_screens.queueScreen, g_screens.actionScreen,
                      g_screens.inventoryScreen, g_screens.lootScreen})
        EXPECT_TRUE(win::IsWindowVisible(hwnd));
    EXPECT_FALSE(win::IsWindowVisible(g_screens.characterScreen));
    HWND inventory = g_screens.inventoryScreen;
    EXPECT_EQ(pixel(inventory, 17, 200), GREEN) << "the helm in backpack slot 0";

    // The game takes one message a pass: a click is handled within a few passes.
    play::clickOnWindow(inventory, 30, 200);
    ASSERT_GE(g.runUntil([] { return g_screens.inventory.selectedSlot == 0; }, 50), 0);
    g.run(3);
    EXPECT_EQ(pixel(inventory, 17, 200), BLUE) << "picked up";
    play::clickOnWindow(inventory, 110, 30);
    ASSERT_GE(g.runUntil([] { return g_screens.inventory.selectedSlot == NO_SELECTION; }, 50), 0);
    g.run(3);
    EXPECT_FALSE(g_screens.inventory.slots[28].empty);
    EXPECT_STREQ(g_screens.inventory.slots[28].item.name, "helm");
    EXPECT_EQ(pixel(inventory, 99, 20), GREEN) << "the helm worn in slot 28";
    EXPECT_EQ(pixel(inventory, 17, 200), BLACK) << "backpack slot 0 empty";

    play::clickOnWindow(g_screens.lootScreen, 20, 20);
    ASSERT_GE(g.runUntil([] { return g_screens.inventory.loot[0].empty; }, 50), 0);
    g.run(3);
    EXPECT_TRUE(g_screens.inventory.loot[0].empty);
    EXPECT_STREQ(g_screens.inventory.slots[0].item.name, "sword");
    EXPECT_EQ(pixel(inventory, 17, 200), GREEN) << "the sword in backpack slot 0";
    EXPECT_EQ(pixel(g_screens.lootScreen, 6, 10), BLACK) << "loot slot 0 empty";
    EXPECT_TRUE(g.boxes.empty());
    EXPECT_LT(std::hypot(g.player().position[0] - start[0], g.player().position[1] - start[1]), 1.0)
        << "clicks on the screens do not send the player walking";

    g.press('I');
    g.runUntil([] { return !g_screens.inventoryInputEnabled; }, 50);
    EXPECT_FALSE(win::IsWindowVisible(inventory));
    EXPECT_FALSE(win::IsWindowVisible(g_screens.lootScreen));
    EXPECT_TRUE(win::IsWindowVisible(g_screens.textScreen));
}

} // namespace
