// SDL events turned into window messages, and the message queue.
#include "platform/layer.h"
#include "platform/top_window.h"

#include <cstring>

namespace win {
using namespace detail;

namespace {

int virtualKey(SDL_Keycode k) {
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return VK_F1 + (k - SDLK_F1);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (k - SDLK_KP_1);
    switch (k) {
    case SDLK_KP_0:
        return VK_NUMPAD0;
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_CAPSLOCK:
        return VK_CAPITAL;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    case SDLK_KP_MULTIPLY:
        return VK_MULTIPLY;
    case SDLK_KP_PLUS:
        return VK_ADD;
    case SDLK_KP_MINUS:
        return VK_SUBTRACT;
    case SDLK_KP_PERIOD:
        return VK_DECIMAL;
    case SDLK_KP_DIVIDE:
        return VK_DIVIDE;
    case SDLK_SEMICOLON:
        return VK_OEM_1;
    case SDLK_EQUALS:
        return VK_OEM_PLUS;
    case SDLK_COMMA:
        return VK_OEM_COMMA;
    case SDLK_MINUS:
        return VK_OEM_MINUS;
    case SDLK_PERIOD:
        return VK_OEM_PERIOD;
    case SDLK_SLASH:
        return VK_OEM_2;
    case SDLK_BACKQUOTE:
        return VK_OEM_3;
    case SDLK_LEFTBRACKET:
        return VK_OEM_4;
    case SDLK_BACKSLASH:
        return VK_OEM_5;
    case SDLK_RIGHTBRACKET:
        return VK_OEM_6;
    case SDLK_QUOTE:
        return VK_OEM_7;
    default:
        return 0;
    }
}

WPARAM mouseKeyState() {
    std::uint32_t b = SDL_GetMouseState(nullptr, nullptr);
    WPARAM w = 0;
    if (b & SDL_BUTTON_LMASK) w |= MK_LBUTTON;
    if (b & SDL_BUTTON_RMASK) w |= MK_RBUTTON;
    if (b & SDL_BUTTON_MMASK) w |= MK_MBUTTON;
    return w;
}

void push(SDL_Window* w, unsigned message, WPARAM wParam, LPARAM lParam) {
    layer().queue.push_back(MSG{handleOf(w), message, wParam, lParam});
}

SDL_Window* windowOf(std::uint32_t id) {
    SDL_Window* w = SDL_GetWindowFromID(id);
    return w ? w : layer().window;
}

void translateWindowEvent(const SDL_WindowEvent& e) {
    SDL_Window* w = windowOf(e.windowID);
    switch (e.event) {
    case SDL_WINDOWEVENT_MINIMIZED:
        push(w, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 1), 0);
        break;
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_FOCUS_GAINED:
        push(w, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), 0);
        break;
    case SDL_WINDOWEVENT_EXPOSED:
        // An extra window keeps its pixels and only shows them again.
        if (!representWindow(w)) push(w, WM_PAINT, 0, 0);
        break;
    case SDL_WINDOWEVENT_CLOSE:
        push(w, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}

void translateButton(const SDL_MouseButtonEvent& e) {
    bool down = e.type == SDL_MOUSEBUTTONDOWN;
    unsigned msg = 0;
    switch (e.button) {
    case SDL_BUTTON_LEFT:
        msg = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        break;
    case SDL_BUTTON_MIDDLE:
        msg = down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        break;
    case SDL_BUTTON_RIGHT:
        msg = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        break;
    default:
        return;
    }
    // The main window's class asks for no double clicks, so a quick second
    // press is a plain button-down like the first (SDL's click count is not used).
    SDL_Window* w = windowOf(e.windowID);
    trackPointer(w, e.x, e.y);
    int dx = 0, dy = 0;
    clientOffset(w, dx, dy);
    push(w, msg, mouseKeyState(), MAKELPARAM(e.x + dx, e.y + dy));
}

// Moves are merged as Windows merges them: while the last queued message is a
// move of the same window, a new move only updates its position, so a moving
// mouse never queues more than one move ahead of a click or a key.
void translateMotion(const SDL_MouseMotionEvent& e) {
    SDL_Window* w = windowOf(e.windowID);
    trackPointer(w, e.x, e.y);
    int dx = 0, dy = 0;
    clientOffset(w, dx, dy);
    const LPARAM at = MAKELPARAM(e.x + dx, e.y + dy);
    std::deque<MSG>& queue = layer().queue;
    if (!queue.empty() && queue.back().message == WM_MOUSEMOVE &&
        queue.back().hwnd == handleOf(w)) {
        queue.back().wParam = mouseKeyState();
        queue.back().lParam = at;
        return;
    }
    push(w, WM_MOUSEMOVE, mouseKeyState(), at);
}

void translate(const SDL_Event& e) {
    switch (e.type) {
    case SDL_QUIT:
        push(layer().window, WM_CLOSE, 0, 0);
        break;
    case SDL_WINDOWEVENT:
        translateWindowEvent(e.window);
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int vk = virtualKey(e.key.keysym.sym);
        if (vk == 0) break;
        // Auto-repeat comes as further key-down messages.
        push(windowOf(e.key.windowID), e.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP, WPARAM(vk),
             1);
        break;
    }
    case SDL_MOUSEMOTION:
        translateMotion(e.motion);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        translateButton(e.button);
        break;
    case SDL_MOUSEWHEEL: {
        int delta = e.wheel.y * 120;
        if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
        if (delta == 0) break;
        push(windowOf(e.wheel.windowID), WM_MOUSEWHEEL,
             MAKEWPARAM(mouseKeyState(), unsigned(delta)), 0);
        break;
    }
    default:
        break;
    }
}

void pumpEvents() {
    if (!layer().videoReady) return;
    SDL_Event e;
    while (SDL_PollEvent(&e))
        translate(e);
}

} // namespace

// ---- message queue ------------------------------------------------------------

bool PeekMessage(MSG& msg) {
    Layer& l = layer();
    if (l.queue.empty() && l.systemEvents) pumpEvents();
    // As on Windows, a window's paint comes only when no other message waits.
    if (l.queue.empty()) return nextPaintMessage(msg);
    msg = l.queue.front();
    l.queue.pop_front();
    return true;
}

void TranslateMessage(const MSG&) {}

LRESULT DispatchMessage(const MSG& msg) {
    WNDPROC proc = procOf(msg.hwnd);
    if (!proc) return 0;
    return proc(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

void PostMessage(HWND hwnd, unsigned message, WPARAM wParam, LPARAM lParam) {
    layer().queue.push_back(MSG{hwnd, message, wParam, lParam});
}

void PostQuitMessage(int exitCode) {
    layer().queue.push_back(MSG{nullptr, WM_QUIT, WPARAM(exitCode), 0});
}

LRESULT DefWindowProc(HWND, unsigned, WPARAM, LPARAM) {
    return 0;
}

void SetSystemEvents(bool on) {
    layer().systemEvents = on;
}

void FlushMessages() {
    pumpEvents();
    layer().queue.clear();
}

} // namespace win
