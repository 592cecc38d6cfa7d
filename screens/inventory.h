// The inventory and loot slots with their move rules, and the text log.
// Plain data: the screens paint them and their clicks drive them.
#pragma once

#include <cstdint>

constexpr int INVENTORY_SLOT_COUNT = 41;
constexpr int BACKPACK_SLOT_COUNT = 28;  // slots 0..27, four rows of seven
constexpr int FIRST_EQUIPMENT_SLOT = 28; // slots 28..40
constexpr int LOOT_SLOT_COUNT = 12;
// Loot slots that hold items; the last one is the loot screen's close box.
constexpr int LOOT_ITEM_SLOT_COUNT = 11;
// selectedSlot when nothing is picked up.
constexpr int NO_SELECTION = 41;
constexpr int ITEM_NAME_SIZE = 20; // bytes, with the terminating zero

constexpr int TEXT_LOG_LINES = 7;
constexpr int TEXT_LINE_SIZE = 50; // bytes, with the terminating zero

struct ItemInfo {
    // The equipment slot (28..40) the item fits.
    std::int32_t slot = 0;
    char name[ITEM_NAME_SIZE] = {};
    std::int32_t tag = 0;
};

struct InventorySlot {
    bool empty = true;
    ItemInfo item;
};

class Inventory {
  public:
    InventorySlot slots[INVENTORY_SLOT_COUNT];
    InventorySlot loot[LOOT_SLOT_COUNT];
    int selectedSlot = NO_SELECTION;

    // Every slot empty, then the helm in backpack slot 0 and the sword in
    // loot slot 0; nothing selected.
    void setInitialContents();
    // A click on backpack slot 0..27: picks up its item, or drops the picked
    // item there (swapping with what it holds).
    void clickBackpackSlot(int target);
    // A click on equipment slot 28..40: as a backpack slot, but an item goes
    // only into the slot it fits and swaps only with an item of that slot.
    void clickEquipmentSlot(int target);
    // Moves loot slot 0..10's item into the first empty backpack slot; nothing
    // happens when the backpack is full.
    void takeLoot(int lootSlot);

  private:
    // Moves the selected item into the empty slot and ends the selection.
    void moveSelectedTo(int target);
    bool sameFit(int a, int b) const { return slots[a].item.slot == slots[b].item.slot; }
};

// The last seven lines of text, line 0 the oldest.
class TextLog {
  public:
    char lines[TEXT_LOG_LINES][TEXT_LINE_SIZE] = {};

    // Scrolls the lines up by one and puts the text (cut to 49 characters) last.
    void add(const char* text);
};
