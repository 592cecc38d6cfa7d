// Runs the benchmarks of a program that draws: the game's 1024 x 768 window
// is opened first (message boxes answered OK), closed after the runs.
#pragma once

#include "app/window.h"
#include "platform/win.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

inline int runBenchmarksInWindow(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::string why;
    win::SetMessageBoxAnswerer([](const win::MessageBoxRecord&) { return int(win::IDOK); });
    if (!win::InitVideo(&why) || !openGLWindow("Zeb", 1024, 768, 16, false)) {
        std::fprintf(stderr, "no window: %s\n", why.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    closeGLWindow();
    benchmark::Shutdown();
    return 0;
}
