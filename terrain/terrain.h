// The outdoor world: one square heightmap cut into 32 x 32 pages of 64 x 64
// cells, each page owning the heights, light, dirt, steepness and walking
// grid of its 65 x 65 vertices plus the objects standing on it.
//
// Building the terrain without a window (tools, tests):
//
//     TerrainBuildOptions options;          // no GL, no loading bar
//     options.dataDir = "path/to/Data";     // terrain.dat, dirt.bmp, townmap.bmp
//     TerrainList list;
//     list.build(options);                  // steps 1-7: pages, light, objects
//     list.finishPages();                   // stitch, slope, fill, clean
//     const TerrainPage* p = list.pageAt(x, y);    // page holding a world point
//     int i = p->cellX(x), j = p->cellY(y);        // its cell
//     p->blocked[i][j]; p->height[i][j];           // 1 = cannot be walked on
//
// The build draws random numbers (noise, buildings, decor, portals); seed
// crt::srand first for a repeatable map.
#pragma once

#include "interact/building.h"
#include "interact/decor.h"
#include "interact/portal.h"

#include <cstdint>
#include <string>

constexpr int PAGE_CELLS = 64;                    // cells on a page side
constexpr int PAGE_VERTS = PAGE_CELLS + 1;        // vertices on a page side
constexpr int CELL_SIZE = 4;                      // world units per cell
constexpr int PAGE_SIZE = PAGE_CELLS * CELL_SIZE; // 256 world units
constexpr int MAP_PAGES = 32;                     // pages on a map side
constexpr int MAP_SIZE = MAP_PAGES * PAGE_SIZE;   // 8192 world units
constexpr int SAMPLE_STRIDE = 2049;               // row stride of the sample array
constexpr int SAMPLE_SIDE = 2050;                 // samples per side in the file
constexpr int SAMPLE_COUNT = SAMPLE_SIDE * SAMPLE_SIDE;
constexpr int MAX_DECOR = 10;
constexpr int MAX_BUILDINGS = 6;
constexpr int MAX_PORTALS = 1;

struct TerrainPage {
    TerrainPage* next = nullptr;
    TerrainPage* prev = nullptr;
    // World units, indexed [i][j] (i along x, j along y).
    float height[PAGE_VERTS][PAGE_VERTS] = {};
    float slope[PAGE_VERTS][PAGE_VERTS] = {};
    float light[PAGE_VERTS][PAGE_VERTS] = {};
    // 0.0 upward; the building stamp can push it past 1.0.
    float dirt[PAGE_VERTS][PAGE_VERTS] = {};
    // 1 = the cell cannot be walked on (a byte: the map holds a thousand pages).
    std::uint8_t blocked[PAGE_VERTS][PAGE_VERTS] = {};
    // Heights of column j = 64, column j = 0, row i = 64 and row i = 0. The
    // drawing bends them to match a coarser neighbour and restores them.
    float edgeHighY[PAGE_VERTS] = {};
    float edgeLowY[PAGE_VERTS] = {};
    float edgeHighX[PAGE_VERTS] = {};
    float edgeLowX[PAGE_VERTS] = {};
    int lodLevel = 1;
    int lodStep = 1;
    // Texture name of the page's light texture (0 without texture lighting).
    unsigned lightTexture = 0;
    int decorCount = 0;
    DecorObject decor[MAX_DECOR];
    int buildingCount = 0;
    Building buildings[MAX_BUILDINGS];
    int portalCount = 0;
    Portal portals[MAX_PORTALS];
    unsigned char visible = 1;
    // Lowest and highest of height[][], set by measureHeights().
    float lowest = 0.0f, highest = 0.0f;
    int originX = 0, originY = 0, originZ = 0;
    // Origin + 130, and a copy of originZ.
    int centreX = 130, centreY = 130, centreZ = 0;

    // Builds the page's buildings (their size is chosen now).
    TerrainPage();
    void setOrigin(int x, int y);
    // Sets lowest and highest from the heights (after they change).
    void measureHeights();
    // Cell of a world coordinate on this page (may lie outside 0..64).
    int cellX(double x) const { return int((x - originX) / CELL_SIZE); }
    int cellY(double y) const { return int((y - originY) / CELL_SIZE); }
};

// Sun direction and the curve that turns the raw shading into vertex light.
struct TerrainLight {
    double direction[3] = {};
    float clampLow = -0.5f, clampHigh = 0.85f;
    float outLow = 0.1f, outHigh = 1.0f;
    float exponent = 0.35f;
    // Direction from azimuth 230 and elevation 60 degrees.
    TerrainLight();
};

struct TerrainBuildOptions {
    // Folder holding terrain.dat, dirt.bmp, townmap.bmp and the dummy light
    // images. The game's own is "Data".
    std::string dataDir = "Data";
    TerrainLight light;
    // 1 vertex light; 2 and 3 light textures of 65 x 65 or 128 x 128 texels.
    int lightType = 1;
    // Make and fill the light textures (needs a current GL context and the
    // multitexture entry points). Without it light types 2 and 3 still
    // compute the vertex light.
    bool useGL = false;
    // Loading bar hooks; null ones are skipped.
    void (*showBar)(int x, int y, int width, int height, int value, int maximum) = nullptr;
    void (*stepBar)() = nullptr;
    void (*hideBar)() = nullptr;
};

class TerrainList {
  public:
    TerrainPage* head = nullptr;
    TerrainPage* tail = nullptr;
    int pageCount = 0;

    TerrainList() = default;
    TerrainList(const TerrainList&) = delete;
    TerrainList& operator=(const TerrainList&) = delete;
    ~TerrainList();

    // Reads the height file and the control images and makes every page with
    // its light, dirt and objects. Ends with the loading bar hidden.
    void build(const TerrainBuildOptions& options);
    // Stitch, slope, fill and clean, over all pages in list order.
    void finishPages();

    // Links a page at the tail (takes ownership); null is ignored.
    void appendPage(TerrainPage* page);
    // First page in list order whose origin is (x, y); z is not compared.
    TerrainPage* findPage(int x, int y, int z = 0) const;
    // The page whose square holds the world point, or null beyond the map.
    const TerrainPage* pageAt(double x, double y) const;

  private:
    // Pages on the map grid by (originX / 256, originY / 256): first one
    // appended wins, as a list search would find it.
    TerrainPage* grid_[MAP_PAGES][MAP_PAGES] = {};
};

// Height range of the map in world units, and 1.4 / that (the view cone
// widens with the eye's height by this factor).
extern int TERRAIN_MAX_HEIGHT;
extern float heightScale;

// Row buffers of the terrain drawing: positions of the previous and current
// row, texture coordinates of the previous and current row.
struct TerrainRowBuffers {
    double rows[4][PAGE_VERTS][3] = {};
};
extern TerrainRowBuffers* g_terrainRows;
