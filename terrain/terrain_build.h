// The steps of the terrain build, exposed one by one so that each can be
// checked on small hand-made data.
#pragma once

#include "terrain/terrain.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// A control image as the build reads it: 3 bytes a pixel (red, green,
// blue), rows bottom-up as the bitmap stores them.
struct ControlImage {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    // Red byte at a byte offset into the pixel block, 0 beyond its end.
    unsigned char redAt(long long offset) const {
        if (offset < 0 || offset >= (long long)rgb.size()) return 0;
        return rgb[std::size_t(offset)];
    }
};

// Loads a 24-bit bitmap; false (and an empty image) when it cannot be read.
bool loadControlImage(const std::string& path, ControlImage& out);

// The sample array: 2050 x 2050 raw heights addressed with a row stride of
// 2049, so s(x, y) = s[y * 2049 + x].
struct HeightSamples {
    std::vector<std::int32_t> s;
    HeightSamples() : s(SAMPLE_COUNT, 0) {}
    std::int32_t& at(int x, int y) { return s[std::size_t(y) * SAMPLE_STRIDE + x]; }
    std::int32_t at(int x, int y) const { return s[std::size_t(y) * SAMPLE_STRIDE + x]; }
};

struct HeightRange {
    int highest = 0;
    int lowest = 0;
};

// Reads big-endian 16-bit samples in file order. Bytes past the end of the
// file (or of a missing file) read as 0xFF; 0xFFFF marks a missing sample
// and reads as 0. The range starts at 0 both ways.
HeightRange readHeightSamples(std::FILE* file, HeightSamples& samples);
// The height range in world units from the raw range; 0 for a map whose
// highest sample is below 8 raw units.
int maxHeightFromRange(const HeightRange& range);
// Height curve, then one noise draw per sample. A maximum height of 0 (a
// flat map) leaves every sample at 0 but still makes the draws.
void shapeHeights(HeightSamples& samples, const HeightRange& range, int maxHeight);
// Lifts the outermost 20 samples of every side into a rising rim: along
// every column, along every row, then the four corner squares.
void raiseRimColumns(HeightSamples& samples);
void raiseRimRows(HeightSamples& samples);
void raiseRimCorners(HeightSamples& samples);
void raiseRim(HeightSamples& samples);

// The sun's shading of the vertex at flat sample index n (normal of the
// four surrounding triangles dotted with the sun direction); 1.0 on the
// first row of samples and beyond the last.
double vertexShade(const HeightSamples& samples, long n, const TerrainLight& light);
// Clamps the shading and maps it through the light curve.
float lightCurve(double shade, const TerrainLight& light);

// Blocks the cells of a disc of radius r (cells) around (i, j); cells
// outside the page grid are skipped.
void blockDisc(TerrainPage& page, int i, int j, float r);
// Rotation of a portal at (i, j) facing its lowest neighbour: the neighbour's
// direction in degrees plus 90.
float downhillRotation(const TerrainPage& page, int i, int j);

// Places decor, the portal and the buildings of one page, drawing random
// numbers in the build's order, and stamps the buildings' dirt.
void placePageObjects(TerrainPage& page, double townDensity);
