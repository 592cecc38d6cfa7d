// Test support: pointer events pushed into SDL's queue as the display sends them.
#pragma once

#include <SDL2/SDL.h>

#include <cstdint>

namespace testsupport {

inline void pushMotion(SDL_Window* window, int x, int y) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(window);
    e.motion.x = x;
    e.motion.y = y;
    e.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

// A press or release; `clicks` is 2 for a quick second press.
inline void pushButton(SDL_Window* window, int button, bool down, int x, int y, int clicks = 1) {
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = SDL_GetWindowID(window);
    e.button.button = std::uint8_t(button);
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = std::uint8_t(clicks);
    e.button.x = x;
    e.button.y = y;
    e.common.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
}

} // namespace testsupport
