// The game screens: eleven small top-most windows around the 3D view (the
// character sheet, inventory, text log, action queue and bar, menu, loot,
// item description, yes/no question, dialogue and quest log). They share the
// main window procedure, which hands them their paints and clicks.
#pragma once

#include "platform/win.h"
#include "screens/inventory.h"
#include "screens/layout.h"

class GameScreens {
  public:
    // Null until createScreens runs.
    win::HWND characterScreen = nullptr;
    win::HWND inventoryScreen = nullptr;
    win::HWND textScreen = nullptr;
    win::HWND queueScreen = nullptr;
    win::HWND actionScreen = nullptr;
    win::HWND menuScreen = nullptr;
    win::HWND lootScreen = nullptr;
    win::HWND itemScreen = nullptr;
    win::HWND yesNoScreen = nullptr;
    win::HWND dialogueScreen = nullptr;
    win::HWND questLogScreen = nullptr;

    Inventory inventory;
    TextLog textLog;

    // The click tests of these screens run only while their flag is set.
    bool menuInputEnabled = false;
    bool inventoryInputEnabled = false;
    bool lootInputEnabled = false;

    // Presses the key bound to a key-table action, as if it were held down;
    // set by the input layer, which owns the key table.
    void (*pressActionKey)(int action) = nullptr;

    // The window of a screen by its ScreenId.
    win::HWND& window(int screen);
    // Which screen a window is; -1 for any other window.
    int screenOf(win::HWND hwnd) const;

    // Registers the classes and makes the windows; the text, queue and
    // action screens are shown.
    void createScreens();
    // Destroys the windows (the classes stay registered).
    void destroyScreens();
    // The key that brings up the screens: makes them on first use, then shows
    // or hides the inventory and loot screens and their click tests with them.
    void toggleInventory();

    void paintScreens();
    // Paints one screen (on its WM_PAINT); nothing for other windows.
    void paintScreen(win::HWND hwnd);
    void addTextLine(const char* text);

    // The slot rules, each followed by a repaint of the inventory screen.
    void clickBackpackSlot(int slot);
    void clickEquipmentSlot(int slot);
    void takeLoot(int lootSlot);

    // A left-button release at lParam's client point over a window.
    void screenClick(win::HWND hwnd, win::LPARAM lParam);

  private:
    void paintCharacter();
    void paintText();
    void paintInventory();
    void paintLoot();
    void paintItem();
    void repaintInventory();
};

extern constinit GameScreens g_screens;

// The party leader's values the character screen writes after its labels;
// false before the party leader is made.
struct CharacterValues {
    int level = 0;
    int experience = 0;
    int health = 0;
    int mana = 0;
};
bool characterValues(CharacterValues& values);

// The calls the window procedure and the input layer make.
void initInventory();
void screenClick(win::HWND hwnd, win::LPARAM lParam);
void paintScreen(win::HWND hwnd);
void addTextLine(const char* text);
void toggleGameScreens();
