#include "screens/screens.h"

using namespace win;

constinit GameScreens g_screens;

namespace {

// Screen windows stay above the 3D view, out of the task bar.
constexpr unsigned SCREEN_EX_STYLE = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE;

constexpr HWND GameScreens::*kWindows[SCREEN_COUNT] = {
    &GameScreens::characterScreen, &GameScreens::inventoryScreen, &GameScreens::textScreen,
    &GameScreens::queueScreen,     &GameScreens::actionScreen,    &GameScreens::menuScreen,
    &GameScreens::lootScreen,      &GameScreens::itemScreen,      &GameScreens::yesNoScreen,
    &GameScreens::dialogueScreen,  &GameScreens::questLogScreen,
};

// Makes one screen window with its region; the window takes a copy of the
// region, so it is released here. Every screen shares the main window's
// procedure.
HWND makeScreen(const ScreenWindow& s, int screen) {
    if (!RegisterClass(s.className, GetWindowProc(MainWindow()), GetStockObject(WHITE_BRUSH)))
        return nullptr;
    HWND hwnd = CreateWindowEx(SCREEN_EX_STYLE, s.className, s.title, WS_OVERLAPPED, s.x, s.y,
                               s.width, s.height);
    if (!hwnd) return nullptr;
    RECT r = windowRegion(screen);
    HRGN region = CreateRectRgn(r.left, r.top, r.right, r.bottom);
    SetWindowRgn(hwnd, region, true);
    DeleteObject(region);
    return hwnd;
}

} // namespace

HWND& GameScreens::window(int screen) {
    return this->*kWindows[screen];
}

int GameScreens::screenOf(HWND hwnd) const {
    if (!hwnd) return -1;
    for (int s = 0; s < SCREEN_COUNT; ++s)
        if (this->*kWindows[s] == hwnd) return s;
    return -1;
}

void GameScreens::createScreens() {
    for (int s = 0; s < SCREEN_COUNT; ++s) {
        window(s) = makeScreen(kScreenWindows[s], s);
        if (kScreenWindows[s].shown && window(s)) {
            ShowWindow(window(s), SW_SHOW);
            UpdateWindow(window(s));
        }
    }
}

void GameScreens::destroyScreens() {
    for (int s = 0; s < SCREEN_COUNT; ++s) {
        if (window(s)) DestroyWindow(window(s));
        window(s) = nullptr;
    }
}

void GameScreens::toggleInventory() {
    if (!inventoryScreen) createScreens();
    bool show = !inventoryInputEnabled;
    for (HWND hwnd : {inventoryScreen, lootScreen}) {
        ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
        if (show) UpdateWindow(hwnd);
    }
    inventoryInputEnabled = show;
    lootInputEnabled = show;
}

void GameScreens::addTextLine(const char* text) {
    textLog.add(text);
    InvalidateRect(textScreen, nullptr, true);
}

void GameScreens::repaintInventory() {
    InvalidateRect(inventoryScreen, nullptr, false);
}

void GameScreens::clickBackpackSlot(int slot) {
    inventory.clickBackpackSlot(slot);
    repaintInventory();
}

void GameScreens::clickEquipmentSlot(int slot) {
    inventory.clickEquipmentSlot(slot);
    repaintInventory();
}

void GameScreens::takeLoot(int lootSlot) {
    inventory.takeLoot(lootSlot);
    repaintInventory();
    // The loot screen shows the slot emptied too.
    InvalidateRect(lootScreen, nullptr, false);
}

void initInventory() {
    g_screens.inventory.setInitialContents();
}

void screenClick(HWND hwnd, LPARAM lParam) {
    g_screens.screenClick(hwnd, lParam);
}

void paintScreen(HWND hwnd) {
    g_screens.paintScreen(hwnd);
}

void addTextLine(const char* text) {
    g_screens.addTextLine(text);
}

void toggleGameScreens() {
    g_screens.toggleInventory();
}
