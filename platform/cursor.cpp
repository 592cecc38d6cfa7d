// The cursor and the tick count.
#include "platform/layer.h"

namespace win {
using namespace detail;

// ---- cursor and time --------------------------------------------------------------

bool GetCursorPos(POINT& p) {
    if (!layer().videoReady) return false;
    SDL_GetGlobalMouseState(&p.x, &p.y);
    return true;
}

bool SetCursorPos(int x, int y) {
    if (!layer().videoReady) return false;
    return SDL_WarpMouseGlobal(x, y) == 0;
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
