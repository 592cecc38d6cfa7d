#include "screens/layout.h"

#include "screens/inventory.h"

using win::RECT;

const ScreenWindow kScreenWindows[SCREEN_COUNT] = {
    {"UI_character_screen", "Character Screen", 10, 125, 325, 380, false},
    {"UI_inventory_screen", "Inventory Screen", 689, 125, 325, 380, false},
    {"UI_text_screen", "Text Screen", 0, 633, 459, 135, true},
    {"UI_queue_screen", "Queue Screen", 458, 633, 566, 77, true},
    {"UI_action_screen", "Action Screen", 458, 691, 566, 77, true},
    {"UI_menu_screen", "Menu Screen", 422, 232, 180, 220, false},
    {"UI_loot_screen", "Loot Screen", 421, 450, 181, 150, false},
    {"UI_item_screen", "Item Description Screen", 833, 487, 181, 150, false},
    {"UI_yesno_screen", "Yes/No Screen", 422, 150, 181, 100, false},
    {"UI_dialogue_screen", "Dialogue Screen", 10, 125, 325, 380, false},
    {"UI_quest_log_screen", "Quest Log Screen", 689, 125, 325, 380, false},
};

namespace {

constexpr int SLOT_SIZE = 40;

RECT square(int left, int top) {
    return RECT{left, top, left + SLOT_SIZE, top + SLOT_SIZE};
}

// Equipment slots 28..40.
constexpr RECT kEquipmentSlots[INVENTORY_SLOT_COUNT - FIRST_EQUIPMENT_SLOT] = {
    {99, 10, 139, 50},    {99, 51, 139, 91},   {99, 92, 139, 131}, {99, 132, 139, 172},
    {58, 51, 98, 91},     {140, 51, 180, 91},  {58, 92, 98, 132},  {140, 92, 180, 132},
    {17, 72, 57, 112},    {181, 72, 221, 112}, {263, 30, 303, 70}, {263, 71, 303, 111},
    {263, 112, 303, 152},
};

// Left and right edges of the action items; they all run from 0 to 55 down.
constexpr int kActionItemEdges[ACTION_ITEM_COUNT][2] = {
    {0, 55},    {57, 112},  {113, 168}, {169, 224}, {225, 280},
    {281, 336}, {337, 392}, {393, 448}, {449, 504}, {505, 560},
};

} // namespace

RECT windowRegion(int screen) {
    if (screen == MENU_SCREEN) return RECT{1, 18, 179, 221};
    const ScreenWindow& w = kScreenWindows[screen];
    return RECT{1, 18, w.width - 1, w.height - 1};
}

RECT inventorySlotRect(int slot) {
    if (slot >= FIRST_EQUIPMENT_SLOT) return kEquipmentSlots[slot - FIRST_EQUIPMENT_SLOT];
    // Backpack: four rows of seven, 41 pixels apart.
    return square(17 + 41 * (slot % 7), 190 + 41 * (slot / 7));
}

RECT trashCanRect() {
    return square(17, 140);
}

RECT lootSlotRect(int slot) {
    // Three rows of four, 41 pixels apart.
    return square(6 + 41 * (slot % 4), 3 + 41 * (slot / 4));
}

RECT menuItemRect(int item) {
    return RECT{0, 40 * item, 174, 40 * item + 38};
}

RECT actionItemRect(int item) {
    return RECT{kActionItemEdges[item][0], 0, kActionItemEdges[item][1], 55};
}
