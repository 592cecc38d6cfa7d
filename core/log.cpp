#include "core/log.h"

#include "core/settings.h"

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
