// Painting of the game screens: outlined rectangles and single lines of text.
#include "screens/screens.h"

#include <cstdio>
#include <initializer_list>

using namespace win;

namespace {

// A line of text: how far its rectangle's top moves down first, and the text.
struct TextLine {
    int down;
    const char* text;
};

// Text drawn into a rectangle that starts as the client rectangle and moves
// down line by line.
class TextColumn {
  public:
    TextColumn(HDC dc, HWND hwnd) : dc_(dc) { GetClientRect(hwnd, rect_); }
    TextColumn& left(int x) {
        rect_.left = x;
        return *this;
    }
    TextColumn& top(int y) {
        rect_.top = y;
        return *this;
    }
    TextColumn& down(int n) {
        rect_.top += n;
        return *this;
    }
    TextColumn& line(int n, const char* text) {
        down(n);
        DrawText(dc_, text, -1, &rect_, DT_SINGLELINE);
        return *this;
    }
    TextColumn& lines(std::initializer_list<TextLine> list) {
        for (const TextLine& l : list)
            line(l.down, l.text);
        return *this;
    }

  private:
    HDC dc_;
    RECT rect_;
};

void outline(HDC dc, const RECT& r) {
    Rectangle(dc, r.left, r.top, r.right, r.bottom);
}

// A rectangle outlined with its own solid pen, which is let go and deleted after.
void outline(HDC dc, const RECT& r, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ previous = SelectObject(dc, pen);
    outline(dc, r);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

void outlineAll(HWND hwnd, std::initializer_list<RECT> rects) {
    HDC dc = GetDC(hwnd);
    for (const RECT& r : rects)
        outline(dc, r);
    ReleaseDC(hwnd, dc);
}

constexpr COLORREF SELECTED_COLOUR = RGB(0, 0, 255);
constexpr COLORREF FULL_COLOUR = RGB(0, 255, 0);
constexpr COLORREF EMPTY_COLOUR = RGB(0, 0, 0);
constexpr COLORREF TRASH_COLOUR = RGB(255, 0, 0);

COLORREF slotColour(const InventorySlot& slot, bool selected) {
    if (selected) return SELECTED_COLOUR;
    return slot.empty ? EMPTY_COLOUR : FULL_COLOUR;
}

void paintMenu(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    for (int i = 0; i < MENU_ITEM_COUNT; ++i)
        outline(dc, menuItemRect(i));
    ReleaseDC(hwnd, dc);
}

void paintAction(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    for (int i = 0; i < ACTION_ITEM_COUNT; ++i)
        outline(dc, actionItemRect(i));
    ReleaseDC(hwnd, dc);
}

void paintYesNo(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    outline(dc, RECT{10, 30, 80, 65});
    outline(dc, RECT{95, 30, 165, 65});
    TextColumn(dc, hwnd).left(15).line(5, "really?");
    ReleaseDC(hwnd, dc);
}

void paintDialogue(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    for (int top : {200, 240, 280, 320})
        outline(dc, RECT{10, top, 308, top + 35});
    TextColumn text(dc, hwnd);
    text.left(15).line(5, "blahblahblahblahblah");
    text.top(202).line(0, "1. Yes").line(15, "   blah");
    text.top(242).line(0, "2. No").line(15, "   blah");
    text.top(282).line(0, "3. Maybe").line(15, "   blah");
    text.top(322).line(0, "4. Blank line").line(15, "   blah");
    ReleaseDC(hwnd, dc);
}

// One quest's title and summary lines, the first at the column's current top.
void questEntry(TextColumn& text, const char* title) {
    text.line(0, title).line(15, " short description, summary etc.. ");
    for (int i = 0; i < 4; ++i)
        text.line(15, " more short description, summary etc.. ");
}

void paintQuestLog(HWND hwnd) {
    HDC dc = GetDC(hwnd);
    for (const RECT& r : {RECT{10, 10, 308, 105}, RECT{10, 110, 308, 205}, RECT{10, 210, 308, 305},
                          RECT{268, 310, 308, 350}})
        outline(dc, r);
    TextColumn text(dc, hwnd);
    questEntry(text.left(15).down(12), "1. *quest title* ");
    questEntry(text.top(112), "2. *quest title* ");
    text.top(212).line(0, "blank slot ");
    ReleaseDC(hwnd, dc);
}

} // namespace

void GameScreens::paintCharacter() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(characterScreen, ps);
    TextColumn(dc, characterScreen)
        .left(12)
        .lines({{35, "NAME: "},
                {35, "CLASS: "},
                {25, "GENDER: "},
                {35, "STR: "},
                {25, "DEX: "},
                {25, "WIS: "},
                {25, "INT: "},
                {25, "CON: "},
                {25, "CHA: "}});
    // The record's values follow their labels once the game has a player character.
    CharacterValues v;
    bool known = characterValues(v);
    const struct {
        int down;
        const char* label;
        int value;
    } stats[] = {{70, "LV: ", v.level},
                 {25, "XP: ", v.experience},
                 {35, "HP: ", v.health},
                 {25, "MP: ", v.mana}};
    TextColumn right(dc, characterScreen);
    right.left(170);
    for (const auto& s : stats) {
        char text[32];
        if (known)
            std::snprintf(text, sizeof text, "%s%d", s.label, s.value);
        else
            std::snprintf(text, sizeof text, "%s", s.label);
        right.line(s.down, text);
    }
    EndPaint(characterScreen, ps);
}

void GameScreens::paintText() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(textScreen, ps);
    TextColumn text(dc, textScreen);
    for (int i = 0; i < TEXT_LOG_LINES; ++i)
        text.line(i == 0 ? 0 : 16, textLog.lines[i]);
    EndPaint(textScreen, ps);
}

void GameScreens::paintInventory() {
    HDC dc = GetDC(inventoryScreen);
    for (int s = 0; s < INVENTORY_SLOT_COUNT; ++s)
        outline(dc, inventorySlotRect(s),
                slotColour(inventory.slots[s], s == inventory.selectedSlot));
    outline(dc, trashCanRect(), TRASH_COLOUR);
    ReleaseDC(inventoryScreen, dc);
}

void GameScreens::paintLoot() {
    HDC dc = GetDC(lootScreen);
    for (int s = 0; s < LOOT_SLOT_COUNT; ++s)
        outline(dc, lootSlotRect(s), slotColour(inventory.loot[s], false));
    ReleaseDC(lootScreen, dc);
}

void GameScreens::paintItem() {
    outlineAll(itemScreen, {RECT{6, 6, 46, 46}});
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(itemScreen, ps);
    TextColumn text(dc, itemScreen);
    text.left(50).line(12, "The Item Name");
    text.left(10).line(34, " Type: ");
    for (int i = 0; i < 4; ++i)
        text.line(16, " Blah: ");
    EndPaint(itemScreen, ps);
}

void GameScreens::paintScreen(HWND hwnd) {
    switch (screenOf(hwnd)) {
    case CHARACTER_SCREEN:
        paintCharacter();
        break;
    case TEXT_SCREEN:
        paintText();
        break;
    case MENU_SCREEN:
        paintMenu(hwnd);
        break;
    case ACTION_SCREEN:
        paintAction(hwnd);
        break;
    case INVENTORY_SCREEN:
        paintInventory();
        break;
    case LOOT_SCREEN:
        paintLoot();
        break;
    case ITEM_SCREEN:
        paintItem();
        break;
    case YES_NO_SCREEN:
        paintYesNo(hwnd);
        break;
    case DIALOGUE_SCREEN:
        paintDialogue(hwnd);
        break;
    case QUEST_LOG_SCREEN:
        paintQuestLog(hwnd);
        break;
    default:
        // The queue screen has nothing to paint; other windows are not screens.
        break;
    }
    // Screens drawn through GetDC have painted their update too.
    ValidateRect(hwnd, nullptr);
}

void GameScreens::paintScreens() {
    // The order screens are painted in.
    static constexpr int kOrder[] = {CHARACTER_SCREEN, TEXT_SCREEN,     MENU_SCREEN, ACTION_SCREEN,
                                     INVENTORY_SCREEN, LOOT_SCREEN,     ITEM_SCREEN, YES_NO_SCREEN,
                                     DIALOGUE_SCREEN,  QUEST_LOG_SCREEN};
    for (int screen : kOrder)
        if (window(screen)) paintScreen(window(screen));
}
