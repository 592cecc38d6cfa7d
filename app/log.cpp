#include "app/log.h"

#include "app/settings.h"
#include "app/window.h"
#include "platform/win.h"

std::ofstream g_log;

void openLog(const char* path) {
    if (g_log.is_open()) g_log.close();
    g_log.clear();
    g_log.open(path, std::ios::out | std::ios::trunc);
    g_log << "ERROR LOG" << std::endl;
    g_log << "-------------" << std::endl;
    g_settings.reset();
}

void closeLog() {
    g_log.close();
}

bool showErrorBox(const std::string& text) {
    closeGLWindow();
    win::MessageBox(text, "ERROR", win::MB_OK | win::MB_ICONEXCLAMATION);
    return false;
}
