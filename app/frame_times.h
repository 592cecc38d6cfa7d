// Developer hook for the frame benchmark (bench/game_frames.cpp). With the
// environment variable ZEB_FRAME_TIMES naming a file, the game, once started,
// runs each detail level of ZEB_FRAME_LEVELS (default "0 1 2 3 4") for one
// settling second and then ZEB_FRAME_SECONDS (default 4) seconds of recorded
// frames, writes one "level wall-ms cpu-ms" line per recorded frame to the
// file (the wall time between two presented frames and the processor time of
// all the game's threads, the rasteriser's included, in between) and quits. Without the variable
// nothing happens.
#pragma once

#include <string>
#include <vector>

constexpr int MAX_SCHEDULED_LEVELS = 8;

class FrameTimeSchedule {
  public:
    struct Sample {
        int level;
        double ms;
        double cpuMs;
    };
    std::string path;
    int levels[MAX_SCHEDULED_LEVELS] = {};
    int levelCount = 0;
    double settleMs = 1000.0;
    double recordMs = 4000.0;
    std::vector<Sample> samples;

    // Reads the settings from the three variables' values (null = unset);
    // false when there is no file to write, so the schedule stays off.
    bool configure(const char* file, const char* levelList, const char* seconds);
    bool enabled() const { return levelCount > 0; }
    // What the game must do after a frame presented at `nowMs`, when the
    // process has used `cpuMs` of processor time.
    struct Step {
        int applyLevel = -1; // a detail level to switch to now, or -1
        bool finished = false;
    };
    Step frameDone(double nowMs, double cpuMs);
    // One line per sample; false when it cannot write.
    bool write() const;

  private:
    int current_ = -1;      // index into levels, -1 before the first
    double levelStart_ = 0; // time the current level was applied
    double lastFrame_ = -1; // time of the previous frame, -1 after a switch
    double lastCpu_ = 0;
};

extern FrameTimeSchedule g_frameTimes;

// Configures g_frameTimes from the environment (once, at entry).
void readFrameTimeSettings();
// Called after every presented frame once the game has started.
void recordFrameTime();
