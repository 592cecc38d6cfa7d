// The extra top-level windows (the game screens) and their device contexts,
// shared by the window, painting and text pieces of the layer. Internal to
// platform/; the engine sees only platform/win.h.
#pragma once

#include "platform/win.h"

#include <SDL2/SDL.h>

#include <string>

namespace win::detail {

// One extra top-level window. Its SDL window shows the visible part of the
// client area: the frame (caption and border) is never drawn, and a window
// region cuts the client area further.
struct TopWindow {
    SDL_Window* sdl = nullptr;
    WNDPROC proc = nullptr;
    // The class brush's colour; without one the window is never cleared.
    bool hasBackground = false;
    COLORREF background = RGB(255, 255, 255);
    // Outer rectangle on the desktop, frame included.
    RECT outer;
    // Client size, and where the visible part starts inside the client area.
    int clientWidth = 0, clientHeight = 0;
    int visibleLeft = 0, visibleTop = 0;
    bool shown = false;
    // Pending update rectangle in client coordinates, and whether it is to be erased.
    bool updatePending = false;
    bool erasePending = false;
    RECT update;
};

TopWindow* topWindow(HWND hwnd);
bool isTopWindow(HWND hwnd);
bool destroyTopWindow(HWND hwnd);
void showTopWindow(HWND hwnd, int command);
// The procedure of any window of the layer, main or extra; null for an unknown handle.
WNDPROC procOf(HWND hwnd);
// A WM_PAINT for the first shown window with a pending update, if there is one.
bool nextPaintMessage(MSG& msg);
// Offset added to SDL window coordinates to give client coordinates.
void clientOffset(SDL_Window* sdl, int& dx, int& dy);
// Shows again what a screen window last drew when the display asks for it;
// false when the window is not one of the extra windows.
bool representWindow(SDL_Window* sdl);
// Copies the window's pixels to the display.
void presentWindow(TopWindow& w);
// Fills a client rectangle with a colour, cut to the visible part.
void fillClient(TopWindow& w, const RECT& r, COLORREF colour);

// GDI objects: the colour of a solid brush, the rectangle of a region.
bool brushColour(HBRUSH brush, COLORREF& colour);
bool regionRect(HRGN region, RECT& rect);

// Device contexts of the extra windows (painting). The main window's context
// is a marker that draws nothing.
HDC mainDC();
HDC openDC(HWND hwnd, const RECT& clip);
bool closeDC(HDC hdc);
// Forgets the device contexts still open on a window being destroyed.
void dropDCs(HWND hwnd);

// Text in the system font.
struct TextExtent {
    int width = 0, height = 0;
};
TextExtent measureText(const char* text, int count);
// Draws the text with its cell's top-left at (x, y) in client coordinates,
// inside clip, in colour over an opaque background when background is valid.
void drawTextAt(TopWindow& w, const RECT& clip, int x, int y, const char* text, int count,
                COLORREF colour, COLORREF background);

bool intersect(const RECT& a, const RECT& b, RECT& out);

} // namespace win::detail
