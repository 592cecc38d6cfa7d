// The outdoor map: the raw height file, the dirt bitmap, the town map and the
// two grey light bitmaps that the terrain build reads.
#pragma once

#include "tools/content/image.h"

#include <cstdint>
#include <vector>

namespace content {

constexpr int MAP_SIDE = 2050;                               // samples per side in the file
constexpr int MAP_STRIDE = 2049;                             // row stride the build reads with
constexpr int MAP_SAMPLES = MAP_SIDE * MAP_SIDE;             // 4,202,500
constexpr int MAP_ROWS = (MAP_SAMPLES - 1) / MAP_STRIDE + 1; // rows of stride 2049 in the file
constexpr int PAGES = 32;
constexpr int PAGE_CELLS = 64;
constexpr double CELL_UNITS = 4.0;
// The player's start point (world units).
constexpr double START_X = 6366.0;
constexpr double START_Y = 5549.0;
// The largest raw sample. The build scales its height curve by the largest
// sample it finds, so one sample outside the map pins it to this value.
constexpr int RAW_MAX = 4096;

// World height the build makes of a raw sample (its height curve, before its
// small random noise).
double builtHeight(int raw);
// The smallest raw sample whose built height is at least h (clamped to RAW_MAX).
int rawForHeight(double h);

struct Town {
    int pageX = 0, pageY = 0;
    double centreX = 0, centreY = 0; // cells
    double radius = 0;               // cells
    bool isStartTown = false;
};

struct TerrainMaps {
    // Intended world heights in file order: sample n is cell (n % 2049, n / 2049).
    std::vector<float> height;
    std::vector<std::uint16_t> raw; // file order
    std::vector<Town> towns;
    Image dirt;                      // 2050 x 2050
    Image townmap;                   // 32 x 32
    double slopeBlockedFraction = 0; // estimate from the intended heights
};

// Steepness the build blocks at: a height step of this many whole units between
// neighbouring vertices (4 units apart).
constexpr int BLOCKING_STEP = 5;

TerrainMaps generateTerrain(std::uint32_t seed);
// Fraction of interior cells whose step to the +x or +y neighbour blocks them.
double estimateSlopeBlocked(const std::vector<float>& height);
// Flat index of cell (x, y) in the file, as the build addresses it.
inline std::size_t sampleIndex(int x, int y) {
    return std::size_t(y) * MAP_STRIDE + x;
}

std::vector<std::uint8_t> encodeHeightFile(const std::vector<std::uint16_t>& raw);
Image greyImage(int side, std::uint8_t level);

} // namespace content
