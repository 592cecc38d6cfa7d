#include "app/frame_times.h"

#include "core/log.h"
#include "core/settings.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <time.h>

FrameTimeSchedule g_frameTimes;

bool FrameTimeSchedule::configure(const char* file, const char* levelList, const char* seconds) {
    levelCount = 0;
    if (!file || !*file) return false;
    path = file;
    std::istringstream in(levelList && *levelList ? levelList : "0 1 2 3 4");
    int level;
    while (levelCount < MAX_SCHEDULED_LEVELS && in >> level)
        if (level >= 0 && level < DETAIL_LEVELS) levels[levelCount++] = level;
    if (seconds) {
        const double s = std::atof(seconds);
        if (s > 0.0) recordMs = s * 1000.0;
    }
    return levelCount > 0;
}

FrameTimeSchedule::Step FrameTimeSchedule::frameDone(double now, double cpu) {
    Step step;
    if (!enabled() || current_ >= levelCount) {
        step.finished = enabled();
        return step;
    }
    // The frame that follows a switch carries the window rebuild; it and
    // the settling time are not recorded.
    if (current_ >= 0 && lastFrame_ >= 0 && now - levelStart_ > settleMs)
        samples.push_back({levels[current_], now - lastFrame_, cpu - lastCpu_});
    lastFrame_ = now;
    lastCpu_ = cpu;
    if (current_ < 0 || now - levelStart_ >= settleMs + recordMs) {
        ++current_;
        levelStart_ = now;
        lastFrame_ = -1;
        if (current_ >= levelCount) {
            step.finished = true;
            return step;
        }
        step.applyLevel = levels[current_];
    }
    return step;
}

bool FrameTimeSchedule::write() const {
    std::FILE* f = std::fopen(path.c_str(), "w");
    if (!f) return false;
    for (const Sample& s : samples)
        std::fprintf(f, "%d %.3f %.3f\n", s.level, s.ms, s.cpuMs);
    return std::fclose(f) == 0;
}

void readFrameTimeSettings() {
    g_frameTimes.configure(std::getenv("ZEB_FRAME_TIMES"), std::getenv("ZEB_FRAME_LEVELS"),
                           std::getenv("ZEB_FRAME_SECONDS"));
}

void recordFrameTime() {
    if (!g_frameTimes.enabled()) return;
    using namespace std::chrono;
    const double now = duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
    timespec cpu{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    const double cpuMs = cpu.tv_sec * 1000.0 + cpu.tv_nsec / 1.0e6;
    const FrameTimeSchedule::Step step = g_frameTimes.frameDone(now, cpuMs);
    if (step.applyLevel >= 0) g_settings.applyDetailLevel(step.applyLevel);
    if (step.finished) {
        if (!g_frameTimes.write())
            g_log << "ERROR: cannot write frame times to " << g_frameTimes.path << std::endl;
        g_frameTimes.levelCount = 0;
        g_settings.setFlag(FLAG_QUIT);
    }
}
