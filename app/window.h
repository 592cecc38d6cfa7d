// The one top-level window with its OpenGL context.
#pragma once

#include "platform/win.h"

#include <string>

// Makes the window, the device context, the pixel format and the GL context,
// asking about windowed mode when fullscreen is refused. False on any failure
// (its message box has been shown and everything made so far released).
bool openGLWindow(const char* title, int width, int height, int bits, bool fullscreen);
// Releases what openGLWindow made, in reverse order; any prefix may be held.
void closeGLWindow();
// The registered window procedure: forwards to g_input.handleMessage.
win::LRESULT mainWndProc(win::HWND hwnd, unsigned message, win::WPARAM wParam, win::LPARAM lParam);

// Handles held by the window code (null / false when not held).
struct WindowHandles {
    bool instance = false;
    win::HWND window = nullptr;
    bool deviceContext = false;
    bool renderingContext = false;
};
extern WindowHandles g_window;

// Releases the window and context, then shows the error box; returns false
// for the caller to pass on as its own failure.
bool showErrorBox(const std::string& text);
