#include "core/log.h"

#include "core/settings.h"

std::ofstream g_log;

void openLog(const char* path) {
    if (g_log.is_open()) g_log.close();
    g_log.clear();
    g_log.open(path, std::ios::out | std::ios::trunc);
    // Each write goes to the file at once: a kill -9 or a crash in the
    // middle of a run loses nothing that was written before it.
    g_log << std::unitbuf;
    g_log << "ERROR LOG" << std::endl;
    g_log << "-------------" << std::endl;
    g_settings.reset();
}

void closeLog() {
    g_log.close();
}
