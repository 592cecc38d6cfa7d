#include "screens/inventory.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

bool isBackpackSlot(int slot) {
    return slot >= 0 && slot < BACKPACK_SLOT_COUNT;
}

bool isEquipmentSlot(int slot) {
    return slot >= FIRST_EQUIPMENT_SLOT && slot < INVENTORY_SLOT_COUNT;
}

void putItem(InventorySlot& slot, std::int32_t fits, const char* name, std::int32_t tag) {
    slot.empty = false;
    slot.item = ItemInfo{};
    slot.item.slot = fits;
    std::snprintf(slot.item.name, sizeof slot.item.name, "%s", name);
    slot.item.tag = tag;
}

} // namespace

void Inventory::setInitialContents() {
    for (InventorySlot& s : slots)
        s = InventorySlot{};
    for (InventorySlot& s : loot)
        s = InventorySlot{};
    // A selection left over would point at a slot that is now empty.
    selectedSlot = NO_SELECTION;
    putItem(slots[0], 28, "helm", 0);
    putItem(loot[0], 36, "sword", 1);
}

void Inventory::moveSelectedTo(int target) {
    slots[target].item = slots[selectedSlot].item;
    slots[target].empty = false;
    slots[selectedSlot].empty = true;
    selectedSlot = NO_SELECTION;
}

void Inventory::clickBackpackSlot(int target) {
    if (!isBackpackSlot(target)) return;
    if (selectedSlot == NO_SELECTION) {
        if (!slots[target].empty) selectedSlot = target;
        return;
    }
    if (slots[target].empty) {
        moveSelectedTo(target);
        return;
    }
    // Two backpack items always swap; worn gear swaps only with gear of its slot.
    if (isBackpackSlot(selectedSlot) || sameFit(selectedSlot, target))
        std::swap(slots[selectedSlot].item, slots[target].item);
    selectedSlot = NO_SELECTION;
}

void Inventory::clickEquipmentSlot(int target) {
    if (!isEquipmentSlot(target)) return;
    if (selectedSlot == NO_SELECTION) {
        if (!slots[target].empty) selectedSlot = target;
        return;
    }
    if (slots[target].empty) {
        // An item that does not fit here stays picked up.
        if (slots[selectedSlot].item.slot == target) moveSelectedTo(target);
        return;
    }
    bool swapped = sameFit(selectedSlot, target);
    if (swapped) std::swap(slots[selectedSlot].item, slots[target].item);
    // A backpack item that did not fit stays picked up.
    if (swapped || isEquipmentSlot(selectedSlot)) selectedSlot = NO_SELECTION;
}

void Inventory::takeLoot(int lootSlot) {
    if (lootSlot < 0 || lootSlot >= LOOT_ITEM_SLOT_COUNT || loot[lootSlot].empty) return;
    for (int b = 0; b < BACKPACK_SLOT_COUNT; ++b) {
        if (!slots[b].empty) continue;
        slots[b].item = loot[lootSlot].item;
        slots[b].empty = false;
        loot[lootSlot].empty = true;
        return;
    }
}

void TextLog::add(const char* text) {
    for (int i = 0; i + 1 < TEXT_LOG_LINES; ++i)
        std::memcpy(lines[i], lines[i + 1], TEXT_LINE_SIZE);
    std::snprintf(lines[TEXT_LOG_LINES - 1], TEXT_LINE_SIZE, "%s", text ? text : "");
}
