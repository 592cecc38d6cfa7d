// The game screens on the test display: what they paint, and what a
// left-button release over them does, through the main window procedure.
// Key I, the helm worn and the sword taken are played in the game (tests/play).
#include "app/input.h"
#include "render/engine.h"
#include "screens/screens.h"

#include "../support/test_window.h"

#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

using namespace win;

namespace {

constexpr COLORREF GREEN = RGB(0, 255, 0);
constexpr COLORREF BLACK = RGB(0, 0, 0);
constexpr COLORREF RED = RGB(255, 0, 0);
constexpr COLORREF WHITE = RGB(255, 255, 255);

void resetScreens() {
    g_screens.destroyScreens();
    g_screens.menuInputEnabled = g_screens.inventoryInputEnabled = g_screens.lootInputEnabled =
        false;
    g_screens.inventory.setInitialContents();
    g_screens.textLog = TextLog{};
}

// Hands out every waiting message (the paints among them) to its window.
void pumpMessages() {
    SetSystemEvents(false);
    MSG msg;
    for (int i = 0; i < 100 && PeekMessage(msg); ++i)
        DispatchMessage(msg);
    SetSystemEvents(true);
}

// A left-button release at a client point, as the window procedure gets it.
void release(HWND hwnd, int x, int y) {
    DispatchMessage(MSG{hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y)});
}

// Pixels darker than mid-grey in the client rows from top up to bottom.
int darkPixels(HWND hwnd, int top, int bottom) {
    RECT client;
    GetClientRect(hwnd, client);
    HDC dc = GetDC(hwnd);
    int count = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < client.right; ++x)
            if ((GetPixel(dc, x, y) & 0xFF) < 0x80) ++count;
    ReleaseDC(hwnd, dc);
    return count;
}

// The game window open and the screens made.
class Screens : public ::testing::Test {
  protected:
    testsupport::GlWindow mainWindow;
    void SetUp() override {
        ZEB_REQUIRE_OPEN_WINDOW(mainWindow);
        resetScreens();
        g_screens.createScreens();
    }
    void TearDown() override {
        resetScreens();
        g_input.reset();
        pumpMessages();
    }
};

// Reads the system's events for up to two seconds until the keyboard is where
// the check wants it.
template <class Check> bool keyboardReaches(Check check) {
    for (int i = 0; i < 200; ++i) {
        MSG msg;
        while (PeekMessage(msg))
            DispatchMessage(msg);
        if (check(GetFocus())) return true;
        usleep(10000);
    }
    return false;
}

// Shown, a screen takes the keyboard; hidden again, it must hand it back, or
// the game hears no further key (X without a window manager gives it to
// nobody).
TEST_F(Screens, HidingTheScreenThatHasTheKeyboardHandsItBackToTheMainWindow) {
    resetScreens(); // made and shown by key I, as in the game
    toggleGameScreens();
    ASSERT_TRUE(keyboardReaches([](HWND h) { return h != nullptr && h != MainWindow(); }));
    toggleGameScreens();
    EXPECT_TRUE(keyboardReaches([](HWND h) { return h == MainWindow(); }));
}

// Slot edges, the far slots and the trash can; the helm and sword themselves
// are read back in the play-through.
TEST_F(Screens, InventoryAndLootPaintTheirSlotsByState) {
    toggleGameScreens();
    pumpMessages();
    HWND inv = g_screens.inventoryScreen;
    struct Probe {
        const char* what;
        int x, y;
        COLORREF colour;
    };
    const Probe probes[] = {
        {"slot 0's bottom edge", 30, 229, GREEN},     {"slot 0's inside", 37, 210, WHITE},
        {"past slot 0's right edge", 57, 210, WHITE}, {"empty slot 1", 58, 200, BLACK},
        {"empty slot 27", 302, 340, BLACK},           {"empty equipment slot 40", 280, 151, BLACK},
        {"the trash can's right edge", 56, 160, RED},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(testsupport::pixelOf(inv, p.x, p.y), p.colour) << p.what;
    EXPECT_EQ(testsupport::pixelOf(g_screens.lootScreen, 129, 100), BLACK) << "the close box";
    EXPECT_EQ(GdiObjectCount(), 0) << "pens and regions are all deleted";
    EXPECT_EQ(DeviceContextCount(), 0) << "contexts are all released";
}

TEST_F(Screens, StatusLinesScrollThroughTheTextScreen) {
    pumpMessages();
    HWND text = g_screens.textScreen;
    EXPECT_EQ(darkPixels(text, 0, 116), 0) << "an empty log paints nothing";

    g_engine.postStatus("Killed! %d", 3);
    pumpMessages();
    EXPECT_STREQ(g_screens.textLog.lines[6], "Killed! 3");
    EXPECT_GT(darkPixels(text, 96, 112), 10) << "the newest line is written last";
    EXPECT_EQ(darkPixels(text, 0, 96), 0);
    for (int i = 0; i < 6; ++i)
        addTextLine("filler");
    pumpMessages();
    EXPECT_GT(darkPixels(text, 0, 16), 10) << "the oldest line is written first";
    // An eighth line drops the oldest; a long one is cut to its field.
    const std::string longLine(80, 'x');
    addTextLine(longLine.c_str());
    EXPECT_STREQ(g_screens.textLog.lines[0], "filler");
    EXPECT_EQ(std::string(g_screens.textLog.lines[6]), longLine.substr(0, TEXT_LINE_SIZE - 1));
}

TEST_F(Screens, ReleasesOverItemsNameThemInBoxes) {
    g_screens.menuInputEnabled = g_screens.inventoryInputEnabled = g_screens.lootInputEnabled =
        true;
    struct Case {
        HWND GameScreens::*screen;
        int x, y;
        const char* box; // null: no box
    };
    const Case cases[] = {
        {&GameScreens::menuScreen, 10, 90, "Menu Item 2"},
        {&GameScreens::menuScreen, 10, 39, nullptr}, // between items 0 and 1
        {&GameScreens::actionScreen, 54, 54, "Act Item 0"},
        {&GameScreens::actionScreen, 56, 20, nullptr},
        {&GameScreens::actionScreen, 57, 20, "Act Item 1"},
        {&GameScreens::actionScreen, 200, 55, nullptr}, // below the items
        {&GameScreens::inventoryScreen, 20, 170, "Inv Item 41 ( trashcan )"},
        {&GameScreens::lootScreen, 150, 100, "close"},
        {&GameScreens::queueScreen, 20, 20, nullptr},
    };
    for (const Case& c : cases) {
        testsupport::BoxRecorder boxes;
        HWND hwnd = g_screens.*c.screen;
        release(hwnd, c.x, c.y);
        if (!c.box) {
            EXPECT_TRUE(boxes.shown.empty()) << c.x << "," << c.y << ": " << boxes.shown[0].text;
            continue;
        }
        ASSERT_EQ(boxes.shown.size(), 1u) << c.box;
        EXPECT_EQ(boxes.shown[0].text, c.box);
        EXPECT_EQ(boxes.shown[0].title, "");
        EXPECT_EQ(boxes.shown[0].style, unsigned(MB_OK));
        EXPECT_EQ(boxes.shown[0].owner, hwnd) << c.box;
    }
    EXPECT_EQ(GdiObjectCount(), 0) << "every hit region is deleted";
}

TEST_F(Screens, InventoryAndLootReleasesMoveItemsOnlyWhileTheirInputIsOn) {
    testsupport::BoxRecorder boxes;
    // Before the screens exist no window is a screen, not even a missing one.
    g_screens.destroyScreens();
    release(nullptr, 30, 200);
    g_screens.createScreens();
    // Without their flags the menu, inventory and loot ignore releases, and
    // so does the GL window at the same points.
    for (HWND hwnd :
         {g_screens.menuScreen, g_screens.inventoryScreen, g_screens.lootScreen, MainWindow()})
        for (POINT p : {POINT{30, 200}, POINT{110, 30}, POINT{20, 170}, POINT{10, 10}})
            release(hwnd, p.x, p.y);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(g_screens.inventory.selectedSlot, NO_SELECTION);
    EXPECT_FALSE(g_screens.inventory.loot[0].empty);

    // The slots' last and first pixels count.
    g_screens.inventoryInputEnabled = g_screens.lootInputEnabled = true;
    release(g_screens.inventoryScreen, 30, 200);
    release(g_screens.inventoryScreen, 138, 49); // slot 28's last pixel
    EXPECT_STREQ(g_screens.inventory.slots[28].item.name, "helm");
    release(g_screens.lootScreen, 150, 100); // the close box moves nothing
    EXPECT_FALSE(g_screens.inventory.loot[0].empty);
    release(g_screens.lootScreen, 6, 3); // loot slot 0's first pixel
    EXPECT_TRUE(g_screens.inventory.loot[0].empty);
    EXPECT_EQ(boxes.shown.size(), 1u);
}

} // namespace
