#include "terrain/terrain_build.h"

#include "core/log.h"
#include "core/random.h"
#include "platform/files.h"
#include "terrain/light_textures.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <thread>

int TERRAIN_MAX_HEIGHT = 0;
float heightScale = 0.0f;
TerrainRowBuffers* g_terrainRows = nullptr;

namespace {

constexpr int W = SAMPLE_STRIDE;
constexpr double RAW_TO_WORLD = 0.125;
// Loading bar: 32 page rows + 15 other steps.
constexpr int BAR_X = 40, BAR_Y = 60, BAR_WIDTH = 400, BAR_HEIGHT = 20;
constexpr int BAR_STEPS = MAP_PAGES + 15;

struct Progress {
    const TerrainBuildOptions& options;
    void show() const {
        if (options.showBar) options.showBar(BAR_X, BAR_Y, BAR_WIDTH, BAR_HEIGHT, 0, BAR_STEPS);
    }
    void step() const {
        if (options.stepBar) options.stepBar();
    }
    void hide() const {
        if (options.hideBar) options.hideBar();
    }
};

std::string dataPath(const TerrainBuildOptions& options, const char* name) {
    if (options.dataDir.empty()) return name;
    return options.dataDir + "/" + name;
}

} // namespace

TerrainLight::TerrainLight() {
    const double toRadians = M_PI / 180.0;
    const double az = 230.0 * toRadians, el = 60.0 * toRadians;
    direction[0] = std::cos(az) * std::cos(el);
    direction[1] = std::sin(az) * std::cos(el);
    direction[2] = std::sin(el);
}

// ---- heights ----

HeightRange readHeightSamples(std::FILE* file, HeightSamples& samples) {
    // The whole file is read at once; bytes it does not have read as 0xFF.
    std::vector<unsigned char> bytes(std::size_t(SAMPLE_COUNT) * 2, 0xFF);
    if (file) {
        std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
        std::fill(bytes.begin() + long(got), bytes.end(), 0xFF);
    }
    HeightRange range;
    for (int k = 0; k < SAMPLE_COUNT; ++k) {
        int v = bytes[2 * std::size_t(k)] * 256 + bytes[2 * std::size_t(k) + 1];
        if (v == 0xFFFF) v = 0;
        samples.s[std::size_t(k)] = v;
        range.highest = std::max(range.highest, v);
        range.lowest = std::min(range.lowest, v);
    }
    return range;
}

int maxHeightFromRange(const HeightRange& range) {
    int lowest = std::abs(range.lowest);
    return int((range.highest + lowest) * RAW_TO_WORLD);
}

void shapeHeights(HeightSamples& samples, const HeightRange& range, int maxHeight) {
    const int lowest = std::abs(range.lowest);
    if (maxHeight > 0) {
        const double m = maxHeight;
        const float p = float(std::pow(m, 0.85));
        // Samples are 16-bit, so the curve is worked out once per value.
        std::vector<std::int32_t> curve(0x10000 + std::size_t(lowest));
        for (std::size_t v = 0; v < curve.size(); ++v)
            curve[v] = std::int32_t(std::pow(double(v), 0.85) / p * m);
        for (std::int32_t& s : samples.s)
            s = curve[std::size_t(s + lowest)];
    } else {
        // A map less than one world unit high is flat.
        std::fill(samples.s.begin(), samples.s.end(), 0);
    }
    for (std::int32_t& s : samples.s)
        s = std::int32_t(s + random01() * maxHeight / 100.0);
}

namespace {

// One rising edge. at(k) is the sample k steps in from the edge; the outer
// 21 samples climb a parabola above sample ref20, then the outer 11 fall back
// just below sample ref10 (which the far edges take one step further out,
// where the loop itself rewrites it).
template <typename At> void riseEdge(At at, int ref20, int ref10) {
    for (int k = 0; k <= 20; ++k)
        at(k) = std::int32_t(at(ref20) + 5 * (20 - k) * (20 - k));
    for (int k = 0; k <= 10; ++k)
        at(k) = std::int32_t(at(ref10) - std::sqrt(double(k) * k * k * k + 100.0));
}

} // namespace

void raiseRimColumns(HeightSamples& h) {
    for (int x = 0; x <= W; ++x) {
        riseEdge([&](int k) -> std::int32_t& { return h.at(x, k); }, 20, 10);
        riseEdge([&](int k) -> std::int32_t& { return h.at(x, W - 2 - k); }, 20, 9);
    }
}

void raiseRimRows(HeightSamples& h) {
    for (int y = 0; y <= W; ++y) {
        riseEdge([&](int k) -> std::int32_t& { return h.at(k, y); }, 20, 10);
        riseEdge([&](int k) -> std::int32_t& { return h.at(W - 2 - k, y); }, 20, 9);
    }
}

// Each corner square takes the rim of whichever side it is nearer to. An x
// of W addresses the first sample of the next row, as the flat index does.
void raiseRimCorners(HeightSamples& h) {
    for (int a = 0; a <= 20; ++a) {
        for (int b = 0; b <= 20; ++b) {
            const bool nearerX = b > a;
            h.at(a, b) = nearerX ? h.at(a, 20) : h.at(20, b);
            h.at(W - a, W - b) = nearerX ? h.at(W - a, W - 20) : h.at(W - 20, W - b);
            h.at(a, W - b) = nearerX ? h.at(a, W - 20) : h.at(20, W - b);
            h.at(W - a, b) = nearerX ? h.at(W - a, 20) : h.at(W - 20, b);
        }
    }
}

void raiseRim(HeightSamples& h) {
    raiseRimColumns(h);
    raiseRimRows(h);
    raiseRimCorners(h);
}

// ---- light ----

double vertexShade(const HeightSamples& h, long n, const TerrainLight& light) {
    if (!(n > W && n < long(W) * W)) return 1.0;
    struct Step {
        int dx, dy;
    };
    // The four triangles around the vertex, each as a pair of neighbours.
    static constexpr Step kPairs[4][2] = {
        {{1, 0}, {0, 1}}, {{0, 1}, {-1, 0}}, {{-1, 0}, {0, -1}}, {{0, -1}, {1, 0}}};
    const double c = h.s[std::size_t(n)];
    double sum[3] = {0.0, 0.0, 0.0};
    for (const auto& pair : kPairs) {
        double v[2][3];
        for (int e = 0; e < 2; ++e) {
            const Step& st = pair[e];
            long m = n + st.dx + long(st.dy) * W;
            v[e][0] = st.dx;
            v[e][1] = st.dy;
            v[e][2] = h.s[std::size_t(m)] - c;
        }
        sum[0] += v[0][1] * v[1][2] - v[0][2] * v[1][1];
        sum[1] += v[0][2] * v[1][0] - v[0][0] * v[1][2];
        sum[2] += v[0][0] * v[1][1] - v[0][1] * v[1][0];
    }
    const double len = std::sqrt(sum[0] * sum[0] + sum[1] * sum[1] + sum[2] * sum[2]);
    return (sum[0] * light.direction[0] + sum[1] * light.direction[1] +
            sum[2] * light.direction[2]) /
           len;
}

float lightCurve(double shade, const TerrainLight& light) {
    double v = std::clamp(shade, double(light.clampLow), double(light.clampHigh));
    v = std::pow((v - light.clampLow) / (light.clampHigh - light.clampLow), double(light.exponent));
    return float(v * (light.outHigh - light.outLow) + light.outLow);
}

namespace {

struct LightStats {
    double lowest = 100.0;
    double highest = -100.0;
    void add(double v) {
        lowest = std::min(lowest, v);
        if (v != 1.0) highest = std::max(highest, v);
    }
};

// Heights, dirt and light of one page from the samples at cell offset (px, py).
void fillPage(TerrainPage& page, const HeightSamples& h, const ControlImage& dirtImage,
              const TerrainLight& light, LightStats& stats) {
    const int px = page.originX / CELL_SIZE, py = page.originY / CELL_SIZE;
    for (int i = 0; i < PAGE_VERTS; ++i) {
        for (int j = 0; j < PAGE_VERTS; ++j) {
            if (i < PAGE_CELLS && j < PAGE_CELLS) {
                page.height[i][j] = float(h.at(px + i, py + j) * RAW_TO_WORLD);
                long long offset = ((long long)(py + j) * SAMPLE_SIDE + (px + i)) * 3;
                page.dirt[i][j] = float(dirtImage.redAt(offset) / 255.0);
            }
            const long n = long(py + j) * W + (px + i);
            const double shade = vertexShade(h, n, light);
            stats.add(shade);
            const float value = lightCurve(shade, light);
            page.light[i][j] = value;
        }
    }
}

// Heights, dirt and light of every page. Nothing here draws a random number
// and every page is independent, so the two halves of the map are filled on
// two threads; the light statistics (a lowest and a highest value) come out
// the same in any order.
LightStats fillPages(TerrainPage* (&pages)[MAP_PAGES][MAP_PAGES], const HeightSamples& h,
                     const ControlImage& dirtImage, const TerrainLight& light) {
    LightStats halves[2];
    auto fillRows = [&](int half) {
        for (int a = half; a < MAP_PAGES; a += 2)
            for (int b = 0; b < MAP_PAGES; ++b)
                fillPage(*pages[a][b], h, dirtImage, light, halves[half]);
    };
    std::thread other(fillRows, 1);
    fillRows(0);
    other.join();
    LightStats stats;
    for (const LightStats& half : halves) {
        stats.lowest = std::min(stats.lowest, half.lowest);
        stats.highest = std::max(stats.highest, half.highest);
    }
    return stats;
}

double townDensity(const ControlImage& town, const TerrainPage& page) {
    const long long w = std::min(town.width, town.height);
    const long long px = page.originX / PAGE_SIZE, py = page.originY / PAGE_SIZE;
    return town.redAt((py * w + px) * 3) / 255.0;
}

} // namespace

// ---- objects ----

namespace {

bool inPageGrid(int i, int j) {
    return i >= 0 && i < PAGE_VERTS && j >= 0 && j < PAGE_VERTS;
}

// A cell at least `radius` cells in from the page's sides: i, then j.
void drawCell(double radius, int& i, int& j) {
    i = int(random01() * (PAGE_CELLS - 2 * radius) + radius);
    j = int(random01() * (PAGE_CELLS - 2 * radius) + radius);
}

void placeDecor(TerrainPage& page) {
    page.decorCount = std::min(int(10 * random01()), MAX_DECOR);
    for (int k = 0; k < page.decorCount; ++k) {
        DecorObject& d = page.decor[k];
        const DecorKind& kind = g_decorKinds[int(16 * random01())];
        int i, j;
        drawCell(kind.radius, i, j);
        d.kind = &kind;
        d.x = page.originX + CELL_SIZE * i;
        d.y = page.originY + CELL_SIZE * j;
        d.z = page.height[i][j];
        d.rotation = float(random01() * 360.0);
        d.tilt = 0.0f;
        d.light = page.light[i][j];
        if (!kind.passable) blockDisc(page, i, j, kind.radius);
    }
}

void placePortal(TerrainPage& page) {
    random01(); // drawn and not used
    if (random01() > 0.05) {
        page.portalCount = 0;
        return;
    }
    // A draw of exactly 1.0 would make two; a page holds one.
    page.portalCount = std::min(int(random01() + 1.0), MAX_PORTALS);
    Portal& p = page.portals[0];
    p.type = int(random01());
    p.radius = 2.0f;
    int i, j;
    drawCell(p.radius, i, j);
    p.x = page.originX + CELL_SIZE * i;
    p.y = page.originY + CELL_SIZE * j;
    p.z = page.height[i][j];
    p.light = page.light[i][j];
    p.rotation = downhillRotation(page, i, j);
    blockDisc(page, i, j, p.radius);
}

using CellGrid = bool[PAGE_VERTS][PAGE_VERTS];

float lightAtCell(const TerrainPage& page, double i, double j) {
    int a = std::clamp(int(i), 0, PAGE_CELLS), b = std::clamp(int(j), 0, PAGE_CELLS);
    return page.light[a][b];
}

// Draws a place and turn for the building and marks its footprint; false
// when the footprint touches a cell already taken (or one next to it).
bool tryPlaceBuilding(TerrainPage& page, Building& b, const CellGrid& taken, CellGrid& footprint) {
    for (auto& row : footprint)
        for (bool& c : row)
            c = false;
    const double len = b.length, wid = b.width;
    const double reach = std::sqrt(len * len + wid * wid) / 4.0;
    int i, j;
    drawCell(reach, i, j);
    const double angle = random01() * 360.0;
    // The footprint turns with the drawn rotation (degrees).
    const double rad = angle * M_PI / 180.0;
    const double l = len / 4, w = wid / 4;
    const double ux = l * std::cos(rad), uy = l * std::sin(rad);
    const double vx = w * std::cos(rad + M_PI / 2), vy = w * std::sin(rad + M_PI / 2);
    const int ei = std::clamp(int(i + ux), 0, PAGE_CELLS),
              ej = std::clamp(int(j + uy), 0, PAGE_CELLS);
    const double tilt =
        std::atan((page.height[i][j] - page.height[ei][ej]) / (l * 4.0)) * 180.0 / M_PI;

    footprint[i][j] = true;
    for (int pk = 0; pk <= 100; ++pk) {
        const double p = pk / 100.0;
        for (int qk = 0; qk <= 100; ++qk) {
            const double q = qk / 100.0;
            const int a = int(i + p * ux + q * vx), c = int(j + p * uy + q * vy);
            if (inPageGrid(a, c)) footprint[a][c] = true;
        }
    }
    b.x = page.originX + CELL_SIZE * i;
    b.y = page.originY + CELL_SIZE * j;
    b.z = page.height[i][j];
    b.rotation = float(angle);
    b.tilt = float(tilt);
    b.cornerLight[0] = lightAtCell(page, i, j);
    b.cornerLight[1] = lightAtCell(page, i + ux, j + uy);
    b.cornerLight[2] = lightAtCell(page, i + ux + vx, j + uy + vy);
    b.cornerLight[3] = lightAtCell(page, i + vx, j + vy);
    for (int m = 0; m < 4; ++m)
        b.edgeLight[m] = (b.cornerLight[m] + b.cornerLight[(m + 1) % 4]) / 2;

    for (int a = 0; a < PAGE_VERTS; ++a)
        for (int c = 0; c < PAGE_VERTS; ++c) {
            if (!footprint[a][c]) continue;
            for (int da = -1; da <= 1; ++da)
                for (int dc = -1; dc <= 1; ++dc)
                    if (inPageGrid(a + da, c + dc) && taken[a + da][c + dc]) return false;
        }
    return true;
}

constexpr int PLACEMENT_TRIES = 1000;

void placeBuildings(TerrainPage& page, double density) {
    page.buildingCount = std::clamp(int(6.0 * density), 0, MAX_BUILDINGS);
    CellGrid taken = {}, footprint;
    int failures = 0;
    for (int k = 0; k < page.buildingCount; ++k) {
        while (!tryPlaceBuilding(page, page.buildings[k], taken, footprint)) {
            if (++failures > PLACEMENT_TRIES) break;
        }
        if (failures > PLACEMENT_TRIES) {
            page.buildingCount = k;
            break;
        }
        for (int a = 0; a < PAGE_VERTS; ++a)
            for (int c = 0; c < PAGE_VERTS; ++c)
                taken[a][c] = taken[a][c] || footprint[a][c];
    }
    // The ground under buildings is blocked and worn to dirt around them.
    for (int a = 0; a < PAGE_VERTS; ++a)
        for (int c = 0; c < PAGE_VERTS; ++c) {
            if (!taken[a][c]) continue;
            page.blocked[a][c] = 1;
            for (int da = -2; da <= 3; ++da)
                for (int dc = -2; dc <= 3; ++dc)
                    if (inPageGrid(a + da, c + dc)) page.dirt[a + da][c + dc] += 1.0f / 12.0f;
        }
}

} // namespace

void blockDisc(TerrainPage& page, int i, int j, float r) {
    for (int a = int(-r - 2); a <= r + 2; ++a)
        for (int b = int(-r - 2); b <= r + 2; ++b)
            if (inPageGrid(i + a, j + b) && (a + 0.5) * (a + 0.5) + (b + 0.5) * (b + 0.5) <= r * r)
                page.blocked[i + a][j + b] = 1;
}

float downhillRotation(const TerrainPage& page, int i, int j) {
    // Direction of each neighbour in degrees, by (di + 1, dj + 1).
    static constexpr float kAngle[3][3] = {{225, 180, 135}, {270, 0, 90}, {315, 0, 45}};
    // Starting above every height finds the lowest neighbour (the first of
    // equals) even on ground at the top of the map.
    double lowest = HUGE_VAL;
    float angle = 0.0f;
    for (int di = -1; di <= 1; ++di)
        for (int dj = -1; dj <= 1; ++dj) {
            if ((di == 0 && dj == 0) || !inPageGrid(i + di, j + dj)) continue;
            const double h = page.height[i + di][j + dj];
            if (h < lowest) {
                lowest = h;
                angle = kAngle[di + 1][dj + 1];
            }
        }
    return angle + 90.0f;
}

void placePageObjects(TerrainPage& page, double townDensity) {
    placeDecor(page);
    placePortal(page);
    placeBuildings(page, townDensity);
}

// ---- the build ----

void TerrainList::build(const TerrainBuildOptions& options) {
    const Progress bar{options};
    auto samples = std::make_unique<HeightSamples>();
    if (!g_terrainRows) g_terrainRows = new TerrainRowBuffers();
    bar.show();
    bar.step();

    HeightRange range;
    {
        std::FILE* file = win::OpenFile(dataPath(options, "terrain.dat"), "rb");
        range = readHeightSamples(file, *samples);
        if (file) std::fclose(file);
    }
    bar.step();
    g_log << "Highest point on heightmap: " << range.highest << std::endl;
    g_log << "Lowest point on heightmap: " << range.lowest << std::endl;

    TERRAIN_MAX_HEIGHT = maxHeightFromRange(range);
    // A flat map is drawn as if it were one unit high.
    heightScale = 1.4f / float(std::max(TERRAIN_MAX_HEIGHT, 1));
    g_log << "Final TERRAIN_MAX_HEIGHT: " << TERRAIN_MAX_HEIGHT << std::endl;
    shapeHeights(*samples, range, TERRAIN_MAX_HEIGHT);

    raiseRimColumns(*samples);
    bar.step();
    raiseRimRows(*samples);
    bar.step();
    raiseRimCorners(*samples);
    bar.step();

    // Pages, created in map order (a page draws the sizes of its buildings
    // when it is made).
    TerrainPage* pages[MAP_PAGES][MAP_PAGES];
    for (int a = 0; a < MAP_PAGES; ++a)
        for (int b = 0; b < MAP_PAGES; ++b) {
            pages[a][b] = new TerrainPage();
            pages[a][b]->setOrigin(a * PAGE_SIZE, b * PAGE_SIZE);
        }
    ControlImage dirtImage, townImage;
    loadControlImage(dataPath(options, "dirt.bmp"), dirtImage);
    loadControlImage(dataPath(options, "townmap.bmp"), townImage);
    const LightStats stats = fillPages(pages, *samples, dirtImage, options.light);

    // Light textures, on this thread, which holds the GL context.
    const int texSize = lightTextureSize(options.lightType);
    std::unique_ptr<LightTexels> texels;
    if (texSize > 0 && options.useGL)
        texels = std::make_unique<LightTexels>(dataPath(options, dummyLightName(options.lightType)),
                                               texSize);
    for (int a = 0; a < MAP_PAGES; ++a) {
        bar.step();
        for (int b = 0; b < MAP_PAGES; ++b) {
            if (texels) {
                texels->fill(pages[a][b]->light);
                pages[a][b]->lightTexture = makeLightTexture(*texels);
            }
            pages[a][b]->measureHeights();
            appendPage(pages[a][b]);
        }
    }
    g_log << "HIGH: " << stats.highest << std::endl;
    g_log << "LOW: " << stats.lowest << std::endl;
    g_log << pageCount << " pages created." << std::endl;
    samples.reset();
    texels.reset();
    g_log << "TERRAIN MEMORY FREE." << std::endl;

    // Objects.
    const int stepEvery = std::max(pageCount / 9, 1);
    int number = 0;
    for (TerrainPage* page = head; page; page = page->next, ++number) {
        if (number % stepEvery == 0) bar.step();
        placePageObjects(*page, townDensity(townImage, *page));
    }
    bar.hide();
}
