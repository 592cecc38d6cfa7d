// The error log: one plain-text file, "errlog.txt", written fresh on every run.
// Callers stream a label and values and end with std::endl, which flushes.
#pragma once

#include <fstream>
#include <string>

extern std::ofstream g_log;

// Opens (truncating) the log at path, writes the header and resets g_settings.
void openLog(const char* path = "errlog.txt");
void closeLog();

// Releases the window and context, then shows the error box; returns false
// for the caller to pass on as its own failure.
bool showErrorBox(const std::string& text);
