// State shared by the pieces of the Win32-like layer: the one SDL window, the
// GL context, the message queue, the registered classes and the test hooks.
// Internal to platform/; the engine sees only platform/win.h.
#pragma once

#include "platform/win.h"

#include <SDL2/SDL.h>

#include <deque>
#include <map>
#include <set>
#include <string>

namespace win::detail {

struct Layer {
    bool videoReady = false;
    std::map<std::string, WNDPROC> classes;
    WNDPROC mainProc = nullptr;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    int contextsMade = 0;
    bool dcHeld = false;
    bool fullscreenMode = false;
    int pixelFormat = 0;
    std::deque<MSG> queue;
    std::set<Step> failing;
    MessageBoxAnswerer answerer;
    std::function<void*(const char*)> procLookup;
    bool systemEvents = true;
    int cursorCount = 0;
    // The pointer in screen coordinates, as the layer last saw it: from the
    // window's motion and button events and from its own warps. SDL's global
    // pointer state is not used, since X11 refreshes it only on raw device
    // events and a warp leaves it stale.
    POINT pointer;
    bool pointerKnown = false;
    SDL_Cursor* crossCursor = nullptr;
    std::uint32_t lastTick = 0;
};

Layer& layer();
bool failing(Step s);
inline HWND handleOf(SDL_Window* w) {
    return static_cast<HWND>(w);
}
// Records the pointer at client point (x, y) of window w, in screen coordinates.
void trackPointer(SDL_Window* w, int x, int y);

} // namespace win::detail
