// The cursor and the tick count.
#include "platform/layer.h"

namespace win {
using namespace detail;

// ---- cursor and time --------------------------------------------------------------

void detail::trackPointer(SDL_Window* w, int x, int y) {
    int left = 0, top = 0;
    if (w) SDL_GetWindowPosition(w, &left, &top);
    Layer& l = layer();
    l.pointer = POINT{left + x, top + y};
    l.pointerKnown = true;
}

bool GetCursorPos(POINT& p) {
    Layer& l = layer();
    if (!l.videoReady) return false;
    // Until the window has seen the pointer, ask the display where it is.
    if (!l.pointerKnown)
        SDL_GetGlobalMouseState(&p.x, &p.y);
    else
        p = l.pointer;
    return true;
}

bool SetCursorPos(int x, int y) {
    Layer& l = layer();
    if (!l.videoReady || SDL_WarpMouseGlobal(x, y) != 0) return false;
    // The motion event of the warp comes later; the pointer is there now.
    l.pointer = POINT{x, y};
    l.pointerKnown = true;
    return true;
}

int ShowCursor(bool show) {
    Layer& l = layer();
    l.cursorCount += show ? 1 : -1;
    if (l.videoReady) SDL_ShowCursor(l.cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return l.cursorCount;
}

std::uint32_t GetTickCount() {
    Layer& l = layer();
    std::uint32_t now = std::uint32_t(SDL_GetTicks64());
    if (now > l.lastTick) l.lastTick = now;
    return l.lastTick;
}

} // namespace win
