// Extra top-level windows: creation, showing and hiding, window regions, and
// the pending update that brings WM_PAINT and BeginPaint/EndPaint.
#include "platform/layer.h"
#include "platform/top_window.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace win {
using namespace detail;

namespace {

// The frame a tool window has around its client area: a one-pixel border and
// a 17-pixel caption above. It is never drawn; it only places the client area.
constexpr int FRAME_LEFT = 1;
constexpr int FRAME_TOP = 18;
constexpr int FRAME_RIGHT = 1;
constexpr int FRAME_BOTTOM = 1;

struct Registry {
    // Class name -> background colour; classes without a brush are absent.
    std::map<std::string, COLORREF> backgrounds;
    // In creation order, which is also the order WM_PAINT is handed out in.
    std::vector<std::unique_ptr<TopWindow>> windows;
};

Registry& registry() {
    static Registry r;
    return r;
}

RECT clientRect(const TopWindow& w) {
    return RECT{0, 0, w.clientWidth, w.clientHeight};
}

RECT unite(const RECT& a, const RECT& b) {
    return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

bool covers(const RECT& outer, const RECT& inner) {
    return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
           outer.bottom >= inner.bottom;
}

// Clears the whole client area with the class brush, as the system does for
// a window that appears or changes shape, and asks for a paint.
void clearAndInvalidate(TopWindow& w, HWND hwnd) {
    if (w.hasBackground) fillClient(w, clientRect(w), w.background);
    presentWindow(w);
    InvalidateRect(hwnd, nullptr, false);
}

} // namespace

namespace detail {

bool intersect(const RECT& a, const RECT& b, RECT& out) {
    out = RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
    return out.left < out.right && out.top < out.bottom;
}

TopWindow* topWindow(HWND hwnd) {
    if (!hwnd) return nullptr;
    for (auto& w : registry().windows)
        if (handleOf(w->sdl) == hwnd) return w.get();
    return nullptr;
}

WNDPROC procOf(HWND hwnd) {
    if (TopWindow* w = topWindow(hwnd)) return w->proc;
    return layer().mainProc;
}

bool nextPaintMessage(MSG& msg) {
    for (auto& w : registry().windows) {
        if (w->shown && w->updatePending) {
            msg = MSG{handleOf(w->sdl), WM_PAINT, 0, 0};
            return true;
        }
    }
    return false;
}

void clientOffset(SDL_Window* sdl, int& dx, int& dy) {
    dx = dy = 0;
    if (TopWindow* w = topWindow(handleOf(sdl))) {
        dx = w->visibleLeft;
        dy = w->visibleTop;
    }
}

bool representWindow(SDL_Window* sdl) {
    TopWindow* w = topWindow(handleOf(sdl));
    if (!w) return false;
    presentWindow(*w);
    return true;
}

void presentWindow(TopWindow& w) {
    if (w.shown) SDL_UpdateWindowSurface(w.sdl);
}

bool isTopWindow(HWND hwnd) {
    return topWindow(hwnd) != nullptr;
}

bool destroyTopWindow(HWND hwnd) {
    auto& windows = registry().windows;
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        if (handleOf((*it)->sdl) != hwnd) continue;
        (*it)->proc(hwnd, WM_DESTROY, 0, 0);
        dropDCs(hwnd);
        SDL_DestroyWindow((*it)->sdl);
        windows.erase(it);
        return true;
    }
    return false;
}

// Hiding the window that has the keyboard hands the keyboard back to the main
// window, as hiding the active window does on Windows. X alone would leave no
// window with the keyboard when no window manager steps in, and the game
// would hear no further key.
static void hideKeepingKeyboard(TopWindow& w) {
    const bool hadKeyboard = SDL_GetKeyboardFocus() == w.sdl;
    SDL_HideWindow(w.sdl);
    SDL_Window* main = layer().window;
    if (hadKeyboard && main && (SDL_GetWindowFlags(main) & SDL_WINDOW_SHOWN))
        SDL_SetWindowInputFocus(main);
}

void showTopWindow(HWND hwnd, int command) {
    TopWindow* w = topWindow(hwnd);
    if (!w) return;
    if (command == SW_HIDE) {
        if (w->shown) hideKeepingKeyboard(*w);
        w->shown = false;
        return;
    }
    if (w->shown) return;
    SDL_ShowWindow(w->sdl);
    w->shown = true;
    clearAndInvalidate(*w, hwnd);
}

} // namespace detail

// ---- classes and windows ------------------------------------------------------

bool RegisterClass(const char* className, WNDPROC proc, HBRUSH background) {
    if (!RegisterClass(className, proc)) return false;
    COLORREF colour = 0;
    if (brushColour(background, colour))
        registry().backgrounds[className] = colour;
    else
        registry().backgrounds.erase(className);
    return true;
}

HWND CreateWindowEx(unsigned exStyle, const char* className, const char* title, unsigned, int x,
                    int y, int width, int height) {
    Layer& l = layer();
    auto cls = l.classes.find(className);
    if (cls == l.classes.end() || !l.videoReady) return nullptr;
    auto w = std::make_unique<TopWindow>();
    w->proc = cls->second;
    auto bg = registry().backgrounds.find(className);
    w->hasBackground = bg != registry().backgrounds.end();
    if (w->hasBackground) w->background = bg->second;
    w->outer = RECT{x, y, x + width, y + height};
    w->clientWidth = std::max(1, width - FRAME_LEFT - FRAME_RIGHT);
    w->clientHeight = std::max(1, height - FRAME_TOP - FRAME_BOTTOM);

    std::uint32_t flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS;
    if (exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    if (exStyle & WS_EX_TOOLWINDOW) flags |= SDL_WINDOW_UTILITY | SDL_WINDOW_SKIP_TASKBAR;
    w->sdl = SDL_CreateWindow(title, x + FRAME_LEFT, y + FRAME_TOP, w->clientWidth, w->clientHeight,
                              flags);
    if (!w->sdl) return nullptr;
    HWND hwnd = handleOf(w->sdl);
    WNDPROC proc = w->proc;
    registry().windows.push_back(std::move(w));
    proc(hwnd, WM_CREATE, 0, 0);
    return hwnd;
}

HWND GetFocus() {
    SDL_Window* focus = SDL_GetKeyboardFocus();
    return focus ? handleOf(focus) : nullptr;
}

bool IsWindowVisible(HWND hwnd) {
    if (TopWindow* w = topWindow(hwnd)) return w->shown;
    Layer& l = layer();
    return hwnd && hwnd == handleOf(l.window) &&
           (SDL_GetWindowFlags(l.window) & SDL_WINDOW_SHOWN) != 0;
}

bool GetClientRect(HWND hwnd, RECT& rect) {
    TopWindow* w = topWindow(hwnd);
    if (!w) return false;
    rect = clientRect(*w);
    return true;
}

bool GetWindowRect(HWND hwnd, RECT& rect) {
    TopWindow* w = topWindow(hwnd);
    if (!w) return false;
    rect = w->outer;
    return true;
}

int SetWindowRgn(HWND hwnd, HRGN region, bool redraw) {
    TopWindow* w = topWindow(hwnd);
    if (!w) return 0;
    // The client area in window coordinates; a region shows only what it covers.
    RECT client{FRAME_LEFT, FRAME_TOP, FRAME_LEFT + w->clientWidth, FRAME_TOP + w->clientHeight};
    RECT shape = client;
    if (region && !regionRect(region, shape)) return 0;
    RECT visible;
    if (!intersect(shape, client, visible)) return 0;
    w->visibleLeft = visible.left - FRAME_LEFT;
    w->visibleTop = visible.top - FRAME_TOP;
    SDL_SetWindowPosition(w->sdl, w->outer.left + visible.left, w->outer.top + visible.top);
    SDL_SetWindowSize(w->sdl, visible.right - visible.left, visible.bottom - visible.top);
    if (redraw) clearAndInvalidate(*w, hwnd);
    return 1;
}

// ---- the pending update --------------------------------------------------------

bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase) {
    TopWindow* w = topWindow(hwnd);
    if (!w) return hwnd != nullptr && hwnd == handleOf(layer().window);
    RECT area;
    if (!intersect(rect ? *rect : clientRect(*w), clientRect(*w), area)) return true;
    w->update = w->updatePending ? unite(w->update, area) : area;
    w->updatePending = true;
    w->erasePending = w->erasePending || erase;
    return true;
}

bool ValidateRect(HWND hwnd, const RECT* rect) {
    TopWindow* w = topWindow(hwnd);
    if (!w) return false;
    // The update is kept as one rectangle: it goes only when wholly covered.
    if (!rect || covers(*rect, w->update)) {
        w->updatePending = false;
        w->erasePending = false;
    }
    return true;
}

bool GetUpdateRect(HWND hwnd, RECT& rect) {
    TopWindow* w = topWindow(hwnd);
    if (!w || !w->updatePending) return false;
    rect = w->update;
    return true;
}

bool UpdateWindow(HWND hwnd) {
    TopWindow* w = topWindow(hwnd);
    if (!w) return false;
    if (w->shown && w->updatePending) w->proc(hwnd, WM_PAINT, 0, 0);
    return true;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT& paint) {
    paint = PAINTSTRUCT{};
    TopWindow* w = topWindow(hwnd);
    if (!w) return nullptr;
    if (w->updatePending) paint.rcPaint = w->update;
    bool erase = w->updatePending && w->erasePending;
    if (erase && w->hasBackground) fillClient(*w, paint.rcPaint, w->background);
    // The caller erases when the class has no brush to do it.
    paint.fErase = erase && !w->hasBackground;
    w->updatePending = false;
    w->erasePending = false;
    paint.hdc = openDC(hwnd, paint.rcPaint);
    return paint.hdc;
}

bool EndPaint(HWND, const PAINTSTRUCT& paint) {
    return closeDC(paint.hdc);
}

} // namespace win
