// Deterministic random numbers and noise for the content generators. The pack
// depends only on the seed, never on the game's run-time generator.
#pragma once

#include <cstdint>

namespace content {

// SplitMix64: a small generator with a 64-bit state.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state(seed) {}
    std::uint64_t next();
    double uniform(); // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return int(uniform() * n); }

  private:
    std::uint64_t state;
};

std::uint32_t hash3(std::uint32_t seed, int x, int y);
// Mixes a seed with a label so that each generator gets its own stream.
std::uint32_t subSeed(std::uint32_t seed, const char* label);

// Smooth value noise in [0, 1] on a lattice of unit cells. With period > 0
// the lattice wraps every period cells, so the noise tiles.
float valueNoise(std::uint32_t seed, float x, float y, int period = 0);
// Sum of octaves of value noise, normalised to [0, 1]; octave k uses
// frequency 2^k and (when tiling) period period * 2^k.
float fbm(std::uint32_t seed, float x, float y, int octaves, int period = 0, float gain = 0.5f);
// 1 - |2n - 1| per octave: sharp crests, for ridges and cracks.
float ridged(std::uint32_t seed, float x, float y, int octaves, int period = 0);
// Distance to the nearest and second nearest jittered lattice point (cells).
struct CellDistance {
    float nearest, second;
    std::uint32_t id;
};
CellDistance cellular(std::uint32_t seed, float x, float y, int period = 0);

inline float smoothstep(float a, float b, float x) {
    float t = (x - a) / (b - a);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

} // namespace content
