#include "tools/content/terrain.h"

#include "tools/content/noise.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace content {
namespace {

// Built height of every raw sample value, computed once.
const std::vector<double>& heightTable() {
    static const std::vector<double> table = [] {
        std::vector<double> t(RAW_MAX + 1);
        int maxHeight = int(RAW_MAX * 0.125);
        float p = float(std::pow(double(maxHeight), 0.85));
        for (int raw = 0; raw <= RAW_MAX; ++raw)
            t[raw] = std::trunc(std::pow(double(raw), 0.85) / p * maxHeight) * 0.125;
        return t;
    }();
    return table;
}

constexpr double MAX_INTENDED_HEIGHT = 355.0;
constexpr double TARGET_SLOPE_BLOCKED = 0.075;

double townWeight(const std::vector<Town>& towns, double x, double y, double scale) {
    double w = 0;
    for (const Town& t : towns) {
        double d = std::hypot(x - t.centreX, y - t.centreY);
        double r = t.radius * scale;
        w = std::max(w, 1.0 - smoothstep(float(r * 0.55), float(r), float(d)));
    }
    return w;
}

std::vector<Town> placeTowns(std::uint32_t seed) {
    std::vector<Town> towns;
    Town start;
    start.pageX = int(START_X / 256);
    start.pageY = int(START_Y / 256);
    start.centreX = START_X / CELL_UNITS;
    start.centreY = START_Y / CELL_UNITS;
    start.radius = 150;
    start.isStartTown = true;
    towns.push_back(start);
    Rng rng(subSeed(seed, "towns"));
    int wanted = 4 + rng.below(2);
    for (int attempt = 0; attempt < 400 && int(towns.size()) < wanted + 1; ++attempt) {
        Town t;
        t.pageX = 4 + rng.below(PAGES - 8);
        t.pageY = 4 + rng.below(PAGES - 8);
        bool farEnough = std::all_of(towns.begin(), towns.end(), [&](const Town& o) {
            return std::hypot(t.pageX - o.pageX, t.pageY - o.pageY) >= 7.0;
        });
        if (!farEnough) continue;
        t.centreX = t.pageX * PAGE_CELLS + 32;
        t.centreY = t.pageY * PAGE_CELLS + 32;
        t.radius = 70;
        towns.push_back(t);
    }
    return towns;
}

// Town density of each page: the start town spreads over the pages around the
// start page, whose own density is low so that the start point stays open (a
// square), villages are one dense page with a few lighter neighbours.
Image makeTownMap(const std::vector<Town>& towns, std::uint32_t seed) {
    Image map(PAGES, PAGES);
    Rng rng(subSeed(seed, "townmap"));
    auto put = [&](int px, int py, double density) {
        if (px < 0 || py < 0 || px >= PAGES || py >= PAGES) return;
        int row = PAGES - 1 - py; // bitmap rows are stored bottom-up
        std::uint8_t v = std::uint8_t(std::lround(std::clamp(density, 0.0, 1.0) * 255));
        std::size_t at = (std::size_t(row) * PAGES + px) * 3;
        if (map.pixels[at] < v) map.setGrey(px, row, v);
    };
    for (const Town& t : towns) {
        if (t.isStartTown) {
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    double d = std::hypot(dx, dy);
                    if (d > 2.3) continue;
                    put(t.pageX + dx, t.pageY + dy, d < 1.5 ? 0.84 + 0.16 * rng.uniform() : 0.5);
                }
            // The start page holds the town square: one building at most.
            int row = PAGES - 1 - t.pageY;
            map.setGrey(t.pageX, row, 51);
        } else {
            put(t.pageX, t.pageY, 0.67);
            for (int k = 0; k < 4; ++k) {
                static constexpr std::array<int, 8> steps{1, 0, -1, 0, 0, 1, 0, -1};
                if (rng.uniform() < 0.6)
                    put(t.pageX + steps[k * 2], t.pageY + steps[k * 2 + 1], 0.34);
            }
        }
    }
    return map;
}

struct Road {
    std::vector<std::array<double, 2>> points;
};

// A wandering road between two town centres by midpoint displacement.
Road makeRoad(const Town& a, const Town& b, Rng& rng) {
    std::vector<std::array<double, 2>> pts{{a.centreX, a.centreY}, {b.centreX, b.centreY}};
    double wobble = 0.18;
    for (int level = 0; level < 6; ++level) {
        std::vector<std::array<double, 2>> next;
        for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
            auto p = pts[i], q = pts[i + 1];
            double dx = q[0] - p[0], dy = q[1] - p[1];
            double off = (rng.uniform() * 2 - 1) * wobble;
            next.push_back(p);
            next.push_back({(p[0] + q[0]) / 2 - dy * off, (p[1] + q[1]) / 2 + dx * off});
        }
        next.push_back(pts.back());
        pts = next;
        wobble *= 0.6;
    }
    return {pts};
}

void stampDisc(std::vector<float>& dirt, double cx, double cy, double radius, float strength) {
    int x0 = std::max(0, int(cx - radius - 1)), x1 = std::min(MAP_SIDE - 1, int(cx + radius + 1));
    int y0 = std::max(0, int(cy - radius - 1)), y1 = std::min(MAP_SIDE - 1, int(cy + radius + 1));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            double d = std::hypot(x - cx, y - cy);
            float w =
                strength * float(1.0 - smoothstep(float(radius * 0.4), float(radius), float(d)));
            float& v = dirt[std::size_t(y) * MAP_SIDE + x];
            v = std::max(v, w);
        }
}

Image makeDirtMap(const std::vector<Town>& towns, std::uint32_t seed) {
    std::vector<float> dirt(std::size_t(MAP_SIDE) * MAP_SIDE, 0.0f);
    Rng rng(subSeed(seed, "roads"));
    std::vector<Road> roads;
    for (std::size_t i = 1; i < towns.size(); ++i)
        roads.push_back(makeRoad(towns[0], towns[i], rng));
    for (std::size_t i = 1; i < towns.size(); ++i) {
        std::size_t nearest = 0;
        double best = 1e9;
        for (std::size_t j = 1; j < towns.size(); ++j) {
            double d = std::hypot(towns[i].centreX - towns[j].centreX,
                                  towns[i].centreY - towns[j].centreY);
            if (j != i && d < best) best = d, nearest = j;
        }
        if (nearest > i) roads.push_back(makeRoad(towns[i], towns[nearest], rng));
    }
    for (const Road& road : roads)
        for (std::size_t i = 0; i + 1 < road.points.size(); ++i) {
            auto p = road.points[i], q = road.points[i + 1];
            int steps = std::max(1, int(std::hypot(q[0] - p[0], q[1] - p[1])));
            for (int s = 0; s < steps; ++s) {
                double t = double(s) / steps;
                stampDisc(dirt, p[0] + (q[0] - p[0]) * t, p[1] + (q[1] - p[1]) * t, 3.2, 0.95f);
            }
        }
    std::uint32_t patchSeed = subSeed(seed, "worn");
    for (const Town& t : towns) {
        int r = int(t.radius);
        for (int y = std::max(0, int(t.centreY) - r);
             y <= std::min(MAP_SIDE - 1, int(t.centreY) + r); ++y)
            for (int x = std::max(0, int(t.centreX) - r);
                 x <= std::min(MAP_SIDE - 1, int(t.centreX) + r); ++x) {
                double d = std::hypot(x - t.centreX, y - t.centreY) / t.radius;
                if (d >= 1) continue;
                float patch = fbm(patchSeed, x / 24.0f, y / 24.0f, 4);
                float worn = smoothstep(0.45f, 0.7f, patch) * float(1 - d) * 0.9f;
                if (d < 0.12) worn = std::max(worn, 0.85f); // the square
                float& v = dirt[std::size_t(y) * MAP_SIDE + x];
                v = std::max(v, worn);
            }
    }
    Image image(MAP_SIDE, MAP_SIDE);
    for (int y = 0; y < MAP_SIDE; ++y)
        for (int x = 0; x < MAP_SIDE; ++x) {
            float v = std::clamp(dirt[std::size_t(y) * MAP_SIDE + x], 0.0f, 1.0f);
            // Row y of the map is stored row y of the bitmap, counted from the bottom.
            image.setGrey(x, MAP_SIDE - 1 - y, std::uint8_t(std::lround(v * 255)));
        }
    return image;
}

struct HeightLayers {
    std::vector<float> base, mountain, townLevel, townBlend;
};

HeightLayers makeLayers(const std::vector<Town>& towns, std::uint32_t seed) {
    HeightLayers l;
    std::size_t n = MAP_SAMPLES;
    l.base.resize(n);
    l.mountain.resize(n);
    l.townBlend.resize(n);
    l.townLevel.resize(n);
    std::uint32_t sBase = subSeed(seed, "hills"), sMask = subSeed(seed, "ranges");
    std::uint32_t sRidge = subSeed(seed, "ridges"), sValley = subSeed(seed, "valleys");
    std::vector<float> levels;
    for (const Town& t : towns)
        levels.push_back(20.0f +
                         110.0f * fbm(sBase, float(t.centreX / 420), float(t.centreY / 420), 3));
    for (std::size_t i = 0; i < n; ++i) {
        int x = int(i % MAP_STRIDE), y = std::min(int(i / MAP_STRIDE), MAP_SIDE - 1);
        float fx = float(x), fy = float(y);
        float hills = 20.0f + 110.0f * fbm(sBase, fx / 420, fy / 420, 6);
        float valley = 1.0f - ridged(sValley, fx / 700, fy / 700, 2);
        hills -= 35.0f * (1.0f - valley) * (1.0f - valley);
        float mask = smoothstep(0.5f, 0.7f, fbm(sMask, fx / 650, fy / 650, 3));
        float ridge = ridged(sRidge, fx / 160, fy / 160, 5);
        double keepOut = townWeight(towns, x, y, 2.2);
        l.base[i] = std::max(hills, 2.0f);
        l.mountain[i] = float(mask * ridge * ridge * (1.0 - keepOut));
        double blend = townWeight(towns, x, y, 1.0);
        l.townBlend[i] = float(blend);
        float level = 0;
        if (blend > 0) {
            double best = 1e9;
            for (std::size_t t = 0; t < towns.size(); ++t) {
                double d = std::hypot(x - towns[t].centreX, y - towns[t].centreY);
                if (d < best) best = d, level = levels[t];
            }
        }
        l.townLevel[i] = level;
    }
    return l;
}

float combine(const HeightLayers& l, std::size_t i, double mountainScale) {
    double h = l.base[i] + mountainScale * l.mountain[i];
    h = h + (l.townLevel[i] - h) * l.townBlend[i];
    if (h > 290.0)
        h = 290.0 +
            (MAX_INTENDED_HEIGHT - 290.0) * std::tanh((h - 290.0) / (MAX_INTENDED_HEIGHT - 290.0));
    return float(h);
}

void fillHeights(const HeightLayers& l, double mountainScale, std::vector<float>& out) {
    out.resize(MAP_SAMPLES);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = combine(l, i, mountainScale);
}

} // namespace

double builtHeight(int raw) {
    return heightTable()[std::clamp(raw, 0, RAW_MAX)];
}

int rawForHeight(double h) {
    const std::vector<double>& t = heightTable();
    auto it = std::lower_bound(t.begin(), t.end(), h);
    return it == t.end() ? RAW_MAX : int(it - t.begin());
}

double estimateSlopeBlocked(const std::vector<float>& height) {
    // The rim that the build raises blocks its own band; count the inside only.
    constexpr int margin = 24;
    std::size_t blocked = 0, total = 0;
    for (int y = margin; y < MAP_STRIDE - 1 - margin; ++y)
        for (int x = margin; x < MAP_STRIDE - 1 - margin; ++x) {
            int h = int(height[sampleIndex(x, y)]);
            int hx = int(height[sampleIndex(x + 1, y)]);
            int hy = int(height[sampleIndex(x, y + 1)]);
            ++total;
            if (std::max(std::abs(h - hx), std::abs(h - hy)) >= BLOCKING_STEP) ++blocked;
        }
    return total ? double(blocked) / total : 0.0;
}

TerrainMaps generateTerrain(std::uint32_t seed) {
    TerrainMaps maps;
    maps.towns = placeTowns(seed);
    HeightLayers layers = makeLayers(maps.towns, seed);
    // Choose how high the ranges rise so that the share of ground too steep to
    // walk lands near the target, whatever the seed made of the ranges.
    double lo = 20, hi = 1200;
    for (int step = 0; step < 14; ++step) {
        double mid = (lo + hi) / 2;
        fillHeights(layers, mid, maps.height);
        (estimateSlopeBlocked(maps.height) < TARGET_SLOPE_BLOCKED ? lo : hi) = mid;
    }
    fillHeights(layers, (lo + hi) / 2, maps.height);
    maps.raw.resize(MAP_SAMPLES);
    for (std::size_t i = 0; i < maps.raw.size(); ++i)
        maps.raw[i] = std::uint16_t(rawForHeight(maps.height[i]));
    maps.raw.back() = RAW_MAX; // past the last row the build reads: pins its height range
    std::vector<float> built(MAP_SAMPLES);
    for (std::size_t i = 0; i < built.size(); ++i)
        built[i] = float(builtHeight(maps.raw[i]));
    maps.slopeBlockedFraction = estimateSlopeBlocked(built);
    maps.dirt = makeDirtMap(maps.towns, seed);
    maps.townmap = makeTownMap(maps.towns, seed);
    return maps;
}

std::vector<std::uint8_t> encodeHeightFile(const std::vector<std::uint16_t>& raw) {
    std::vector<std::uint8_t> out(raw.size() * 2);
    for (std::size_t i = 0; i < raw.size(); ++i) {
        out[i * 2] = std::uint8_t(raw[i] >> 8);
        out[i * 2 + 1] = std::uint8_t(raw[i] & 0xFF);
    }
    return out;
}

Image greyImage(int side, std::uint8_t level) {
    Image image(side, side);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x)
            image.setGrey(x, y, level);
    return image;
}

} // namespace content
