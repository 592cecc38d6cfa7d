// The slot rules of the inventory and loot, and the text log.
#include "screens/inventory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

constexpr int SWORD_FITS = 36;

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
    int n = 0;
    for (const InventorySlot& s : inv.slots)
        n += s.empty ? 0 : 1;
    for (const InventorySlot& s : inv.loot)
        n += s.empty ? 0 : 1;
    return n;
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

struct ClickCase {
    const char* what;
    // Extra items placed before the clicks: slot, fits, name.
    std::vector<std::tuple<int, int, const char*>> setup;
    std::vector<int> clicks;
    // Expected afterwards: slot -> item name ("" empty), and the selection.
    std::vector<std::pair<int, std::string>> expect;
    int selected;
};

TEST(Inventory, ClicksFollowTheSlotRules) {
    const ClickCase cases[] = {
        {"helm worn in its own slot", {}, {0, 28}, {{0, ""}, {28, "helm"}}, NO_SELECTION},
        {"helm offered to the wrong slot stays picked up", {}, {0, 29}, {{0, "helm"}, {29, ""}}, 0},
        {"a click on an empty slot picks nothing up", {}, {3, 30}, {{0, "helm"}}, NO_SELECTION},
        {"backpack item moved to an empty backpack slot",
         {},
         {0, 9},
         {{0, ""}, {9, "helm"}},
         NO_SELECTION},
        {"two backpack items swap",
         {{4, 36, "sword"}},
         {0, 4},
         {{0, "sword"}, {4, "helm"}},
         NO_SELECTION},
        {"clicking the picked-up slot again puts it down", {}, {0, 0}, {{0, "helm"}}, NO_SELECTION},
        {"worn helm taken off into an empty backpack slot",
         {},
         {0, 28, 28, 12},
         {{28, ""}, {12, "helm"}},
         NO_SELECTION},
        {"worn helm and a backpack helm swap",
         {{3, 28, "cap"}},
         {0, 28, 28, 3},
         {{28, "cap"}, {3, "helm"}},
         NO_SELECTION},
        {"worn helm does not swap with a sword, selection ends",
         {{3, 36, "sword"}},
         {0, 28, 28, 3},
         {{28, "helm"}, {3, "sword"}},
         NO_SELECTION},
        {"backpack helm swaps with the worn one",
         {{28, 28, "cap"}},
         {0, 28},
         {{0, "cap"}, {28, "helm"}},
         NO_SELECTION},
        {"backpack sword against a worn helm: no swap, stays picked up",
         {{4, 36, "sword"}},
         {0, 28, 4, 28},
         {{4, "sword"}, {28, "helm"}},
         4},
        {"worn items of different slots do not swap, selection ends",
         {{36, 36, "sword"}},
         {0, 28, 36, 28},
         {{36, "sword"}, {28, "helm"}},
         NO_SELECTION},
        {"worn item moved to another equipment slot only where it fits",
         {},
         {0, 28, 28, 30},
         {{28, "helm"}, {30, ""}},
         28},
    };
    for (const ClickCase& c : cases) {
        Inventory inv = startingInventory();
        for (const auto& [slot, fits, name] : c.setup)
            put(inv.slots[slot], fits, name);
        int before = itemCount(inv);
        for (int slot : c.clicks)
            click(inv, slot);
        for (const auto& [slot, name] : c.expect)
            EXPECT_EQ(nameIn(inv.slots[slot]), name) << c.what << ", slot " << slot;
        EXPECT_EQ(inv.selectedSlot, c.selected) << c.what;
        EXPECT_EQ(itemCount(inv), before) << c.what;
    }
}

TEST(Inventory, TakenLootGoesToTheFirstEmptyBackpackSlotUnlessTheBackpackIsFull) {
    Inventory inv = startingInventory();
    EXPECT_EQ(inv.selectedSlot, NO_SELECTION);
    EXPECT_EQ(itemCount(inv), 2);
    inv.clickBackpackSlot(0);
    inv.clickEquipmentSlot(28); // backpack slot 0 is empty again
    inv.takeLoot(0);
    EXPECT_EQ(nameIn(inv.slots[0]), "sword");
    EXPECT_EQ(inv.slots[0].item.slot, SWORD_FITS);
    EXPECT_EQ(inv.slots[0].item.tag, 1);
    EXPECT_TRUE(inv.loot[0].empty);

    inv = startingInventory();
    put(inv.slots[1], 30, "boots");
    put(inv.loot[10], 37, "shield");
    put(inv.loot[11], 36, "axe"); // the close box, not a slot
    for (int l : {0, 10, 11, -1, 12, 1})
        inv.takeLoot(l);
    EXPECT_EQ(nameIn(inv.slots[2]), "sword");
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

TEST(TextLog, KeepsTheLastSevenLinesOldestFirst) {
    TextLog log;
    for (int i = 1; i <= 8; ++i)
        log.add(("line " + std::to_string(i)).c_str());
    for (int i = 0; i < TEXT_LOG_LINES; ++i)
        EXPECT_EQ(std::string(log.lines[i]), "line " + std::to_string(i + 2));

    std::string longLine(80, 'x');
    log.add(longLine.c_str());
    EXPECT_EQ(std::string(log.lines[6]), longLine.substr(0, TEXT_LINE_SIZE - 1));
    EXPECT_EQ(std::string(log.lines[5]), "line 8");
    log.add(nullptr);
    EXPECT_EQ(std::string(log.lines[6]), "");
}

} // namespace
