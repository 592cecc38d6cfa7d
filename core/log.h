// The error log: one plain-text file, "errlog.txt", written fresh on every run.
// Callers stream a label and values and end with std::endl. The stream is
// unbuffered as well, so that every line written, and a line still being
// written, is in the file even when the process is killed.
#pragma once

#include <fstream>
#include <string>

extern std::ofstream g_log;

// Opens (truncating) the log at path, writes the header and resets g_settings.
void openLog(const char* path = "errlog.txt");
void closeLog();
