// The error log: one plain-text file, "errlog.txt", written fresh on every run.
// Callers stream a label and values and end with std::endl, which flushes.
#pragma once

#include <fstream>
#include <string>

extern std::ofstream g_log;

// Opens (truncating) the log at path, writes the header and resets g_settings.
void openLog(const char* path = "errlog.txt");
void closeLog();
