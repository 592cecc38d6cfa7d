#include "core/settings.h"

#include "core/log.h"

#include <GL/freeglut.h>
#include <cmath>

EngineSettings g_settings;

namespace {

struct DetailRow {
    int windowPages, lodBias, lodSteps, detail, drawLimit, viewCells, detailFactor;
};

constexpr DetailRow kDetailTable[DETAIL_LEVELS] = {
    {5, 4, 2, 0, 20, 10, 200},  {7, 3, 2, 1, 50, 10, 100},  {9, 2, 3, 2, 125, 20, 40},
    {11, 0, 4, 3, 200, 30, 10}, {11, -1, 5, 4, 300, 40, 3},
};

} // namespace

EngineSettings::EngineSettings() {
    MathConstants[0] = M_PI;
    MathConstants[1] = 180.0 / M_PI;
    MathConstants[2] = M_PI / 180.0;
    timeDivisor = 10.0;
    reset();
}

void EngineSettings::reset() {
    flags = FLAG_INIT_PENDING + FLAG_ACTIVE;
    prevTime = curTime = totalTime = deltaTime = 0;
    timeFactor = 0.0;
    screenWidth = 1024;
    screenHeight = 768;
    halfWidth = screenWidth / 2;
    halfHeight = screenHeight / 2;
    fps = 0.0f;
    sampleCount = 0;
    maxFps = 0.0f;
    minFps = 1000.0f;
    showDebugInfo = false;
}

void EngineSettings::setFlag(std::uint32_t mask) {
    if ((flags & mask) == 0) flags += mask;
}

void EngineSettings::clearFlag(std::uint32_t mask) {
    if ((flags & mask) != 0) flags -= mask;
}

void EngineSettings::toggleFlag(std::uint32_t mask) {
    if ((flags & mask) != 0)
        clearFlag(mask);
    else
        setFlag(mask);
}

bool EngineSettings::testFlag(std::uint32_t mask) const {
    return static_cast<std::int32_t>(flags & mask) > 0;
}

void EngineSettings::applyDetailLevel(int level) {
    g_log << "Setting engine level to " << level << std::endl;
    detailLevel = level;
    if (level >= 0 && level < DETAIL_LEVELS) {
        const DetailRow& r = kDetailTable[level];
        terrainWindowPages = r.windowPages;
        terrainLodBias = r.lodBias;
        terrainLodSteps = r.lodSteps;
        terrainDetail = r.detail;
        dungeonDrawLimit = r.drawLimit;
        dungeonViewCells = r.viewCells;
        dungeonDetailFactor = r.detailFactor;
    }
    terrainPageSize = 256;
    terrainWindowRadius = (terrainWindowPages - 1) / 2;
    terrainViewRange = terrainPageSize * terrainWindowRadius;
    terrainLodDistance = terrainViewRange / (terrainLodBias + 5);
    onDetailLevelApplied(level);
    g_log << "Done with detail." << std::endl;
}

void EngineSettings::cycleDetailLevel() {
    int next = detailLevel + 1;
    if (next >= DETAIL_LEVELS || next < 0) next = 0;
    applyDetailLevel(next);
}

void EngineSettings::tick() {
    tickAt(clock ? clock() : glutGet(GLUT_ELAPSED_TIME));
}

void EngineSettings::tickAt(int now) {
    prevTime = curTime;
    curTime = now;
    deltaTime = curTime - prevTime;
    totalTime += deltaTime;
    timeFactor = deltaTime / timeDivisor;
    if (totalTime % 2 == 0) updateFps();
}

void EngineSettings::updateFps() {
    fps = deltaTime > 1 ? float(1.0 / (deltaTime / 1000.0)) : 1000.0f;
    if (sampleCount < FPS_WINDOW) {
        fpsSamples[sampleCount++] = fps;
        return;
    }
    sampleCount = 0;
    float sum = 0.0f;
    for (float s : fpsSamples)
        sum += s;
    avgFps = float(sum / 50.0);
    if (avgFps > maxFps) maxFps = avgFps;
    if (avgFps < minFps) minFps = avgFps;
}
