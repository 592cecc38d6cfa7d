// The slot rules of the inventory and loot.
#include "screens/inventory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

void put(InventorySlot& slot, int fits, const char* name) {
    slot.empty = false;
    slot.item = ItemInfo{};
    slot.item.slot = fits;
    std::strncpy(slot.item.name, name, ITEM_NAME_SIZE - 1);
}

std::string nameIn(const InventorySlot& slot) {
    return slot.empty ? "" : slot.item.name;
}

// Counts the items in the inventory and loot together: moves never make or lose one.
int itemCount(const Inventory& inv) {
    auto held = [](const InventorySlot& s) { return !s.empty; };
    return int(std::count_if(std::begin(inv.slots), std::end(inv.slots), held) +
               std::count_if(std::begin(inv.loot), std::end(inv.loot), held));
}

Inventory startingInventory() {
    Inventory inv;
    inv.slots[5].empty = false; // left over from before: must be cleared
    inv.selectedSlot = 5;
    inv.setInitialContents();
    return inv;
}

// A click is a backpack slot (0..27) or an equipment slot (28..40).
void click(Inventory& inv, int slot) {
    if (slot < BACKPACK_SLOT_COUNT)
        inv.clickBackpackSlot(slot);
    else
        inv.clickEquipmentSlot(slot);
}

// Slots written "4=sword:36 9=": slot 4 holds a sword that fits slot 36,
// slot 9 is empty; each entry becomes (slot, name, fits).
std::vector<std::tuple<int, std::string, int>> slotsOf(const std::string& text) {
    std::vector<std::tuple<int, std::string, int>> out;
    std::istringstream in(text);
    for (std::string entry; in >> entry;) {
        const std::size_t eq = entry.find('='), colon = entry.find(':');
        const int fits = colon == std::string::npos ? 0 : std::stoi(entry.substr(colon + 1));
        out.emplace_back(std::stoi(entry.substr(0, eq)), entry.substr(eq + 1, colon - eq - 1),
                         fits);
    }
    return out;
}

TEST(Inventory, ClicksFollowTheSlotRules) {
    struct Case {
        const char* what;
        const char* setup; // extra items placed before the clicks
        std::vector<int> clicks;
        const char* expect; // afterwards
        int selected;
    };
    const int none = NO_SELECTION;
    const Case cases[] = {
        {"helm offered to the wrong slot stays picked up", "", {0, 29}, "0=helm 29=", 0},
        {"a click on an empty slot picks nothing up", "", {3, 30}, "0=helm", none},
        {"two backpack items swap", "4=sword:36", {0, 4}, "0=sword 4=helm", none},
        {"clicking the picked-up slot again puts it down", "", {0, 0}, "0=helm", none},
        {"worn helm taken off", "", {0, 28, 28, 12}, "28= 12=helm", none},
        {"worn helm and a sword: no swap", "3=sword:36", {0, 28, 28, 3}, "28=helm 3=sword", none},
        {"backpack helm for the worn one", "28=cap:28", {0, 28}, "0=cap 28=helm", none},
        // The sword stays picked up; worn items of different slots end the selection.
        {"backpack sword for a worn helm", "4=sword:36", {0, 28, 4, 28}, "4=sword 28=helm", 4},
        {"worn sword for a worn helm", "36=sword:36", {0, 28, 36, 28}, "36=sword 28=helm", none},
        {"worn item moved only where it fits", "", {0, 28, 28, 30}, "28=helm 30=", 28},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Inventory inv = startingInventory();
        for (const auto& [slot, name, fits] : slotsOf(c.setup))
            put(inv.slots[slot], fits, name.c_str());
        int before = itemCount(inv);
        for (int slot : c.clicks)
            click(inv, slot);
        for (const auto& [slot, name, fits] : slotsOf(c.expect))
            EXPECT_EQ(nameIn(inv.slots[slot]), name) << "slot " << slot;
        EXPECT_EQ(inv.selectedSlot, c.selected);
        EXPECT_EQ(itemCount(inv), before);
    }
}

TEST(Inventory, TakenLootGoesToTheFirstEmptyBackpackSlotUnlessTheBackpackIsFull) {
    Inventory inv = startingInventory();
    put(inv.slots[1], 30, "boots");
    put(inv.loot[10], 37, "shield");
    put(inv.loot[11], 36, "axe"); // the close box, not a slot
    for (int l : {0, 10, 11, -1, 12, 1})
        inv.takeLoot(l);
    EXPECT_EQ(nameIn(inv.slots[2]), "sword");
    EXPECT_EQ(inv.slots[2].item.slot, 36);
    EXPECT_EQ(inv.slots[2].item.tag, 1);
    EXPECT_TRUE(inv.loot[0].empty);
    EXPECT_EQ(nameIn(inv.slots[3]), "shield");
    EXPECT_EQ(nameIn(inv.loot[11]), "axe");
    EXPECT_EQ(itemCount(inv), 5);

    inv = startingInventory();
    for (int b = 1; b < BACKPACK_SLOT_COUNT; ++b)
        put(inv.slots[b], 30, "stone");
    inv.slots[28] = InventorySlot{}; // an empty equipment slot does not help
    inv.takeLoot(0);
    EXPECT_EQ(nameIn(inv.loot[0]), "sword");
}

} // namespace
