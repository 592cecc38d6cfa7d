// The main window, its device context, pixel format and GL context, the video
// subsystem and the failure injection that tests use on every step.
#include "platform/layer.h"
#include "platform/top_window.h"

#include <cstring>

namespace win {
using namespace detail;

namespace detail {

Layer& layer() {
    static Layer l;
    return l;
}

bool failing(Step s) {
    return layer().failing.count(s) != 0;
}

} // namespace detail

// ---- video ------------------------------------------------------------------

bool InitVideo(std::string* why) {
    Layer& l = layer();
    if (l.videoReady) return true;
    // GLUT, which the game also uses, talks to X, so X is the display asked for.
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11", SDL_HINT_DEFAULT);
    // The screens' windows are painted in memory and shown with X's own
    // image calls. Left to itself, SDL would give each of them a GL renderer
    // of its own: another software GL context per window, about 15 MB each.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
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
    if (failing(Step::DestroyWindow) || !hwnd) return false;
    if (isTopWindow(hwnd)) return destroyTopWindow(hwnd);
    if (hwnd != handleOf(l.window)) return false;
    SDL_DestroyWindow(l.window);
    l.window = nullptr;
    l.mainProc = nullptr;
    return true;
}

HWND MainWindow() {
    return handleOf(layer().window);
}

void ShowWindow(HWND hwnd, int command) {
    Layer& l = layer();
    if (isTopWindow(hwnd)) {
        showTopWindow(hwnd, command);
        return;
    }
    if (!hwnd || hwnd != handleOf(l.window)) return;
    if (command == SW_HIDE) {
        SDL_HideWindow(l.window);
        return;
    }
    SDL_ShowWindow(l.window);
    SDL_RaiseWindow(l.window);
}

WNDPROC GetWindowProc(HWND hwnd) {
    if (isTopWindow(hwnd)) return procOf(hwnd);
    Layer& l = layer();
    return hwnd && hwnd == handleOf(l.window) ? l.mainProc : nullptr;
}

HDC GetDC(HWND hwnd) {
    Layer& l = layer();
    if (isTopWindow(hwnd)) {
        RECT client;
        GetClientRect(hwnd, client);
        return openDC(hwnd, client);
    }
    if (failing(Step::GetDC) || !hwnd || hwnd != handleOf(l.window)) return nullptr;
    l.dcHeld = true;
    return mainDC();
}

int ReleaseDC(HWND hwnd, HDC hdc) {
    Layer& l = layer();
    if (isTopWindow(hwnd)) return closeDC(hdc) ? 1 : 0;
    if (failing(Step::ReleaseDC) || !l.dcHeld) return 0;
    l.dcHeld = false;
    return 1;
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
    if (!l.context) return false;
    ++l.contextsMade;
    return true;
}

int ContextSerial() {
    return layer().contextsMade;
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
    if (l.window && l.context) {
        SDL_GL_SwapWindow(l.window);
    }
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
