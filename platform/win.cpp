#include "platform/win.h"

#include <SDL2/SDL.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>

namespace win {
namespace {

struct Layer {
    bool videoReady = false;
    std::map<std::string, WNDPROC> classes;
    WNDPROC mainProc = nullptr;
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    bool dcHeld = false;
    bool fullscreenMode = false;
    int pixelFormat = 0;
    std::deque<MSG> queue;
    std::set<Step> failing;
    MessageBoxAnswerer answerer;
    std::function<void*(const char*)> procLookup;
    bool systemEvents = true;
    int cursorCount = 0;
    SDL_Cursor* crossCursor = nullptr;
    std::uint32_t lastTick = 0;
};

Layer& layer() {
    static Layer l;
    return l;
}

bool failing(Step s) {
    return layer().failing.count(s) != 0;
}

HWND handleOf(SDL_Window* w) {
    return static_cast<HWND>(w);
}

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
        push(w, WM_PAINT, 0, 0);
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
    // A second quick press arrives as a double click, as on Windows.
    if (down && e.clicks == 2 && e.button == SDL_BUTTON_LEFT) msg = WM_LBUTTONDBLCLK;
    push(windowOf(e.windowID), msg, mouseKeyState(), MAKELPARAM(e.x, e.y));
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
        push(windowOf(e.motion.windowID), WM_MOUSEMOVE, mouseKeyState(),
             MAKELPARAM(e.motion.x, e.motion.y));
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

// ---- video ------------------------------------------------------------------

bool InitVideo(std::string* why) {
    Layer& l = layer();
    if (l.videoReady) return true;
    // GLUT, which the game also uses, talks to X, so X is the display asked for.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_DEFAULT);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (why) *why = SDL_GetError();
        return false;
    }
    // SDL falls back to a driver without a screen when no display answers;
    // the game needs a real one.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) {
        if (why) *why = "no display is available (is DISPLAY set?)";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    l.videoReady = true;
    return true;
}

bool VideoReady() {
    return layer().videoReady;
}

// ---- message queue ------------------------------------------------------------

bool PeekMessage(MSG& msg) {
    Layer& l = layer();
    if (l.queue.empty() && l.systemEvents) pumpEvents();
    if (l.queue.empty()) return false;
    msg = l.queue.front();
    l.queue.pop_front();
    return true;
}

void TranslateMessage(const MSG&) {}

LRESULT DispatchMessage(const MSG& msg) {
    WNDPROC proc = layer().mainProc;
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

void SetSystemEvents(bool on) { layer().systemEvents = on; }

void FlushMessages() {
    pumpEvents();
    layer().queue.clear();
}

// ---- window class and window ----------------------------------------------------

bool RegisterClass(const char* className, WNDPROC proc) {
    if (failing(Step::RegisterClass) || !proc) return false;
    layer().classes[className] = proc;
    return true;
}

bool UnregisterClass(const char* className) {
    if (failing(Step::UnregisterClass)) return false;
    return layer().classes.erase(className) != 0;
}

bool ChangeDisplaySettings(int width, int height, int) {
    Layer& l = layer();
    if (failing(Step::DisplayMode) || !l.videoReady) return false;
    int modes = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < modes; ++i) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w == width && m.h == height) {
            l.fullscreenMode = true;
            return true;
        }
    }
    return false;
}

void RestoreDisplaySettings() {
    layer().fullscreenMode = false;
}

HWND CreateWindow(const char* className, const char* title, int x, int y, int width, int height,
                  bool fullscreen) {
    Layer& l = layer();
    auto cls = l.classes.find(className);
    if (cls == l.classes.end() || failing(Step::CreateWindow) || !l.videoReady) return nullptr;
    // The pixel format is fixed when an SDL window is made, so ask for it here.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    std::uint32_t flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullscreen && l.fullscreenMode) flags |= SDL_WINDOW_FULLSCREEN;
    l.window = SDL_CreateWindow(title, x, y, width, height, flags);
    if (!l.window) return nullptr;
    // The window's pointer is a crosshair, not the arrow.
    if (!l.crossCursor) l.crossCursor = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR);
    if (l.crossCursor) SDL_SetCursor(l.crossCursor);
    l.mainProc = cls->second;
    l.mainProc(handleOf(l.window), WM_CREATE, 0, 0);
    return handleOf(l.window);
}

bool DestroyWindow(HWND hwnd) {
    Layer& l = layer();
    if (failing(Step::DestroyWindow) || !hwnd || hwnd != handleOf(l.window)) return false;
    SDL_DestroyWindow(l.window);
    l.window = nullptr;
    l.mainProc = nullptr;
    return true;
}

HWND MainWindow() {
    return handleOf(layer().window);
}

void ShowWindow(HWND hwnd) {
    Layer& l = layer();
    if (!hwnd || hwnd != handleOf(l.window)) return;
    SDL_ShowWindow(l.window);
    SDL_RaiseWindow(l.window);
}

bool GetDC(HWND hwnd) {
    Layer& l = layer();
    if (failing(Step::GetDC) || !hwnd || hwnd != handleOf(l.window)) return false;
    l.dcHeld = true;
    return true;
}

bool ReleaseDC(HWND) {
    Layer& l = layer();
    if (failing(Step::ReleaseDC) || !l.dcHeld) return false;
    l.dcHeld = false;
    return true;
}

int ChoosePixelFormat(int colourBits, int depthBits, bool doubleBuffer) {
    if (failing(Step::ChoosePixelFormat) || !layer().dcHeld) return 0;
    if (colourBits <= 0 || depthBits <= 0 || !doubleBuffer) return 0;
    return 1;
}

bool SetPixelFormat(int format) {
    if (failing(Step::SetPixelFormat) || format == 0) return false;
    layer().pixelFormat = format;
    return true;
}

bool CreateContext() {
    Layer& l = layer();
    if (failing(Step::CreateContext) || !l.window || l.pixelFormat == 0) return false;
    l.context = SDL_GL_CreateContext(l.window);
    return l.context != nullptr;
}

bool MakeCurrent(bool current) {
    Layer& l = layer();
    if (current) {
        if (failing(Step::MakeCurrent) || !l.context) return false;
        return SDL_GL_MakeCurrent(l.window, l.context) == 0;
    }
    if (failing(Step::ReleaseCurrent)) return false;
    return SDL_GL_MakeCurrent(l.window, nullptr) == 0;
}

bool DeleteContext() {
    Layer& l = layer();
    if (failing(Step::DeleteContext) || !l.context) return false;
    SDL_GL_DeleteContext(l.context);
    l.context = nullptr;
    return true;
}

bool HasContext() {
    return layer().context != nullptr;
}

void SwapBuffers() {
    Layer& l = layer();
    if (l.window && l.context) SDL_GL_SwapWindow(l.window);
}

void* GetProcAddress(const char* name) {
    Layer& l = layer();
    if (l.procLookup) return l.procLookup(name);
    if (!l.videoReady) return nullptr;
    return SDL_GL_GetProcAddress(name);
}

void SetProcAddressLookup(std::function<void*(const char*)> lookup) {
    layer().procLookup = std::move(lookup);
}

void GetClientSize(int& width, int& height) {
    width = height = 0;
    if (layer().window) SDL_GL_GetDrawableSize(layer().window, &width, &height);
}

// ---- message boxes ----------------------------------------------------------

int MessageBox(const std::string& text, const std::string& title, unsigned style) {
    Layer& l = layer();
    bool question = (style & 0x0F) == MB_YESNO;
    if (l.answerer) return l.answerer(MessageBoxRecord{text, title, style});

    if (l.videoReady) {
        SDL_MessageBoxButtonData yesNo[2] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
            {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"},
        };
        SDL_MessageBoxButtonData ok[1] = {
            {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
             IDOK, "OK"},
        };
        unsigned icon = style & 0xF0;
        std::uint32_t kind = icon == MB_ICONSTOP          ? SDL_MESSAGEBOX_ERROR
                             : icon == MB_ICONINFORMATION ? SDL_MESSAGEBOX_INFORMATION
                                                          : SDL_MESSAGEBOX_WARNING;
        SDL_MessageBoxData data{};
        data.flags = kind;
        data.window = nullptr;
        data.title = title.c_str();
        data.message = text.c_str();
        data.numbuttons = question ? 2 : 1;
        data.buttons = question ? yesNo : ok;
        int answer = 0;
        if (SDL_ShowMessageBox(&data, &answer) == 0 && answer > 0) return answer;
    }
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    return question ? IDNO : IDOK;
}

void SetMessageBoxAnswerer(MessageBoxAnswerer answerer) {
    layer().answerer = std::move(answerer);
}

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

// ---- failure injection --------------------------------------------------------------

void FailStep(Step step, bool fail) {
    if (fail)
        layer().failing.insert(step);
    else
        layer().failing.erase(step);
}

void ClearFailures() {
    layer().failing.clear();
}

} // namespace win
