#include "app/window.h"

#include "app/input.h"
#include "core/log.h"
#include "render/engine.h"

using namespace win;

WindowHandles g_window;

namespace {

constexpr const char* kClassName = "OpenGL";

void exclamation(const char* text) {
    MessageBox(text, "ERROR", MB_OK | MB_ICONEXCLAMATION);
}

void shutdownBox(const char* text) {
    MessageBox(text, "SHUTDOWN ERROR", MB_OK | MB_ICONINFORMATION);
}

// Fullscreen when the display offers the mode; otherwise the user may take a
// window instead. False when the program must close.
bool chooseDisplayMode(int width, int height, int bits) {
    if (!g_engine.fullscreen || ChangeDisplaySettings(width, height, bits)) return true;
    int answer = MessageBox("The Requested Fullscreen Mode Is Not Supported By\nYour Video Card. "
                            "Use Windowed Mode Instead?",
                            "Orlo GL", MB_YESNO | MB_ICONEXCLAMATION);
    if (answer == IDYES) {
        g_engine.fullscreen = false;
        return true;
    }
    MessageBox("Program Will Now Close.", "ERROR", MB_OK | MB_ICONSTOP);
    return false;
}

} // namespace

LRESULT mainWndProc(HWND hwnd, unsigned message, WPARAM wParam, LPARAM lParam) {
    return g_input.handleMessage(hwnd, message, wParam, lParam);
}

bool openGLWindow(const char* title, int width, int height, int bits, bool fullscreen) {
    g_engine.fullscreen = fullscreen;
    g_window.instance = true;
    if (!RegisterClass(kClassName, mainWndProc)) {
        exclamation("Failed To Register The Window Class.");
        return false;
    }
    if (!chooseDisplayMode(width, height, bits)) return false;

    g_window.window = CreateWindow(kClassName, title, 0, 0, width, height, g_engine.fullscreen);
    if (!g_window.window) {
        closeGLWindow();
        exclamation("Window Creation Error.");
        return false;
    }
    if (!GetDC(g_window.window)) return showErrorBox("Can't Create A GL Device Context.");
    g_window.deviceContext = true;
    int format = ChoosePixelFormat(bits, 16, true);
    if (format == 0) return showErrorBox("Can't Find A Suitable PixelFormat.");
    if (!SetPixelFormat(format)) return showErrorBox("Can't Set The PixelFormat.");
    if (!CreateContext()) return showErrorBox("Can't Create A GL Rendering Context.");
    g_window.renderingContext = true;
    if (!MakeCurrent(true)) return showErrorBox("Can't Activate The GL Rendering Context.");
    ShowWindow(g_window.window);
    return true;
}

void closeGLWindow() {
    if (g_engine.fullscreen) {
        RestoreDisplaySettings();
        ShowCursor(true);
    }
    if (g_window.renderingContext) {
        if (!MakeCurrent(false)) shutdownBox("Release Of DC And RC Failed.");
        if (!DeleteContext()) shutdownBox("Release Rendering Context Failed.");
        g_window.renderingContext = false;
    }
    if (g_window.deviceContext && !ReleaseDC(g_window.window)) {
        shutdownBox("Release Device Context Failed.");
    }
    g_window.deviceContext = false;
    if (g_window.window && !DestroyWindow(g_window.window)) {
        shutdownBox("Could Not Release hWnd.");
    }
    g_window.window = nullptr;
    if (g_window.instance && !UnregisterClass(kClassName)) {
        shutdownBox("Could Not Unregister Class.");
    }
    g_window.instance = false;
}

bool showErrorBox(const std::string& text) {
    closeGLWindow();
    win::MessageBox(text, "ERROR", win::MB_OK | win::MB_ICONEXCLAMATION);
    return false;
}
