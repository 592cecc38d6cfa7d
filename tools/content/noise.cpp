#include "tools/content/noise.h"

#include <cmath>

namespace content {
namespace {

int wrap(int v, int period) {
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}

float lattice(std::uint32_t seed, int x, int y) {
    return (hash3(seed, x, y) & 0xFFFFFF) / 16777215.0f;
}

} // namespace

std::uint64_t Rng::next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::uniform() {
    return (next() >> 11) * (1.0 / 9007199254740992.0);
}

std::uint32_t hash3(std::uint32_t seed, int x, int y) {
    std::uint32_t h =
        seed * 0x9E3779B1u ^ std::uint32_t(x) * 0x85EBCA77u ^ std::uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

std::uint32_t subSeed(std::uint32_t seed, const char* label) {
    std::uint32_t h = seed ^ 0x811C9DC5u;
    for (const char* p = label; *p; ++p)
        h = (h ^ std::uint8_t(*p)) * 0x01000193u;
    return hash3(h, 17, 31);
}

float valueNoise(std::uint32_t seed, float x, float y, int period) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
    ty = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
    int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    float a = lattice(seed, x0, y0), b = lattice(seed, x1, y0);
    float c = lattice(seed, x0, y1), d = lattice(seed, x1, y1);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float fbm(std::uint32_t seed, float x, float y, int octaves, int period, float gain) {
    float sum = 0, amplitude = 1, total = 0, frequency = 1;
    for (int k = 0; k < octaves; ++k) {
        sum += amplitude * valueNoise(seed + k * 7919u, x * frequency, y * frequency,
                                      period > 0 ? period << k : 0);
        total += amplitude;
        amplitude *= gain;
        frequency *= 2;
    }
    return sum / total;
}

float ridged(std::uint32_t seed, float x, float y, int octaves, int period) {
    float sum = 0, amplitude = 1, total = 0, frequency = 1;
    for (int k = 0; k < octaves; ++k) {
        float n = valueNoise(seed + k * 104729u, x * frequency, y * frequency,
                             period > 0 ? period << k : 0);
        float r = 1.0f - std::fabs(2.0f * n - 1.0f);
        sum += amplitude * r * r;
        total += amplitude;
        amplitude *= 0.5f;
        frequency *= 2;
    }
    return sum / total;
}

CellDistance cellular(std::uint32_t seed, float x, float y, int period) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    CellDistance best{1e9f, 1e9f, 0};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = ix + dx, cy = iy + dy;
            std::uint32_t h = hash3(seed, wrap(cx, period), wrap(cy, period));
            float px = cx + (h & 0xFFFF) / 65535.0f * 0.8f + 0.1f;
            float py = cy + (h >> 16) / 65535.0f * 0.8f + 0.1f;
            float d = std::hypot(px - x, py - y);
            if (d < best.nearest) {
                best.second = best.nearest;
                best.nearest = d;
                best.id = h;
            } else if (d < best.second) {
                best.second = d;
            }
        }
    return best;
}

} // namespace content
