// Program-wide settings: the flags word that drives the main loop, the screen
// size, the frame clock with its FPS statistics, and the detail levels.
#pragma once

#include <cstdint>

enum : std::uint32_t {
    FLAG_INIT_PENDING = 0x01,
    FLAG_INPUT_LOCKED = 0x02,
    FLAG_ACTIVE = 0x04,
    FLAG_FREEMOVE = 0x08,
    FLAG_QUIT = 0x10,
};

constexpr int FPS_WINDOW = 50;
constexpr int DETAIL_LEVELS = 5;

class EngineSettings {
  public:
    std::uint32_t flags = 0;
    double MathConstants[3] = {};
    int screenWidth = 1024;
    int screenHeight = 768;
    int halfWidth = 512;
    int halfHeight = 384;

    // Frame clock and FPS statistics.
    float fps = 0.0f;
    float fpsSamples[FPS_WINDOW] = {};
    int sampleCount = 0;
    float avgFps = 0.0f;
    float maxFps = 0.0f;
    float minFps = 1000.0f;
    int prevTime = 0;
    int curTime = 0;
    int totalTime = 0;
    int deltaTime = 0;
    double timeFactor = 0.0;
    double timeDivisor = 10.0;

    int detailLevel = 0;
    bool showDebugInfo = false;

    // Values written by applyDetailLevel.
    int terrainWindowPages = 0;
    int terrainLodBias = 0;
    int terrainLodSteps = 0;
    int terrainDetail = 0;
    int dungeonDrawLimit = 0;
    int dungeonViewCells = 0;
    int dungeonDetailFactor = 0;
    int terrainPageSize = 256;
    int terrainWindowRadius = 0;
    int terrainViewRange = 0;
    int terrainLodDistance = 0;

    EngineSettings();
    void reset();

    void setFlag(std::uint32_t mask);
    void clearFlag(std::uint32_t mask);
    void toggleFlag(std::uint32_t mask);
    bool testFlag(std::uint32_t mask) const;

    void applyDetailLevel(int level);
    void cycleDetailLevel();

    // Advances the frame clock from the GLUT elapsed time (or from `clock`
    // when one is installed: tests drive loops that tick for themselves).
    void tick();
    int (*clock)() = nullptr;
    // As tick, with the clock reading given (tests drive the clock this way).
    void tickAt(int now);
    void updateFps();

    std::uint32_t getFlags() const { return flags; }
    double getTimeFactor() const { return timeFactor; }
    int getDeltaTime() const { return deltaTime; }
    int getTotalTime() const { return totalTime; }
};

extern EngineSettings g_settings;

// Called after the detail values change: the status line, the dungeon's far
// plane and fog, the terrain window. Subsystems that exist add their part here.
void onDetailLevelApplied(int level);
