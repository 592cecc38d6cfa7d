// Where the game screens stand on the 1024 x 768 desktop, and the rectangles
// of their slots and items in client coordinates (used for painting and for
// the click tests alike).
#pragma once

#include "platform/win.h"

enum ScreenId : int {
    CHARACTER_SCREEN,
    INVENTORY_SCREEN,
    TEXT_SCREEN,
    QUEUE_SCREEN,
    ACTION_SCREEN,
    MENU_SCREEN,
    LOOT_SCREEN,
    ITEM_SCREEN,
    YES_NO_SCREEN,
    DIALOGUE_SCREEN,
    QUEST_LOG_SCREEN,
    SCREEN_COUNT,
};

struct ScreenWindow {
    const char* className;
    const char* title;
    int x, y, width, height;
    // Shown as soon as the screens are made.
    bool shown;
};

extern const ScreenWindow kScreenWindows[SCREEN_COUNT];

constexpr int MENU_ITEM_COUNT = 5;
constexpr int ACTION_ITEM_COUNT = 10;
// Action items from this one on press keys instead of showing a box.
constexpr int FIRST_KEY_ACTION_ITEM = 7;
// The key-table action the first of those presses; the next ones follow.
constexpr int FIRST_SCREEN_KEY_ACTION = 28;

// The window region: hides the caption and the outer border.
win::RECT windowRegion(int screen);
// Inventory slot 0..40 (backpack 0..27, equipment 28..40).
win::RECT inventorySlotRect(int slot);
win::RECT trashCanRect();
// Loot slot 0..11 (11 is the close box).
win::RECT lootSlotRect(int slot);
win::RECT menuItemRect(int item);
win::RECT actionItemRect(int item);
