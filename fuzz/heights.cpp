// Terrain height file: any file (short, long, any values) gives samples and a
// height range within the 16-bit samples. (The shaping step after it reads
// no file and takes a second a run; it is left to the terrain tests.)
#include "terrain/terrain_build.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static HeightSamples samples;
    std::FILE* file = size > 0 ? fmemopen(const_cast<std::uint8_t*>(data), size, "rb") : nullptr;
    const HeightRange range = readHeightSamples(file, samples);
    if (file) std::fclose(file);
    if (range.lowest > 0 || range.highest < 0 || range.highest > 0xFFFF) std::abort();
    const int maxHeight = maxHeightFromRange(range);
    if (maxHeight < 0) std::abort();
    return 0;
}
