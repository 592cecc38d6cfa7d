// Clicks on the game screens: the item under a left-button release acts.
#include "screens/screens.h"

#include <string>

using namespace win;

namespace {

// Whether the point lies in the rectangle, tested as a region made for the
// test and deleted after it.
bool hits(const RECT& r, int x, int y) {
    HRGN region = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    bool inside = PtInRegion(region, x, y);
    DeleteObject(region);
    return inside;
}

// Items without an action yet name themselves in a box.
void nameItem(HWND owner, const std::string& text) {
    MessageBox(owner, text, "", MB_OK);
}

} // namespace

void GameScreens::screenClick(HWND hwnd, LPARAM lParam) {
    int screen = screenOf(hwnd);
    if (screen < 0) return;
    // Client coordinates, each a signed 16-bit half of lParam.
    int x = short(LOWORD(std::uintptr_t(lParam)));
    int y = short(HIWORD(std::uintptr_t(lParam)));

    if (screen == MENU_SCREEN && menuInputEnabled) {
        for (int i = 0; i < MENU_ITEM_COUNT; ++i)
            if (hits(menuItemRect(i), x, y)) nameItem(hwnd, "Menu Item " + std::to_string(i));
    }
    if (screen == ACTION_SCREEN) {
        for (int i = 0; i < ACTION_ITEM_COUNT; ++i) {
            if (!hits(actionItemRect(i), x, y)) continue;
            if (i < FIRST_KEY_ACTION_ITEM)
                nameItem(hwnd, "Act Item " + std::to_string(i));
            else if (pressActionKey)
                pressActionKey(FIRST_SCREEN_KEY_ACTION + i - FIRST_KEY_ACTION_ITEM);
        }
    }
    if (screen == INVENTORY_SCREEN && inventoryInputEnabled) {
        for (int s = 0; s < INVENTORY_SLOT_COUNT; ++s) {
            if (!hits(inventorySlotRect(s), x, y)) continue;
            if (s < BACKPACK_SLOT_COUNT)
                clickBackpackSlot(s);
            else
                clickEquipmentSlot(s);
        }
        if (hits(trashCanRect(), x, y)) nameItem(hwnd, "Inv Item 41 ( trashcan )");
    }
    if (screen == LOOT_SCREEN && lootInputEnabled) {
        for (int s = 0; s < LOOT_ITEM_SLOT_COUNT; ++s)
            if (hits(lootSlotRect(s), x, y)) takeLoot(s);
        if (hits(lootSlotRect(LOOT_ITEM_SLOT_COUNT), x, y)) nameItem(hwnd, "close");
    }
}
