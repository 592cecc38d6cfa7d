#include "core/log.h"
#include "core/random.h"
#include "core/settings.h"
#include "support.h"
#include "terrain/local_terrain.h"
#include "terrain/terrain_build.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

struct BarRecord {
    int shows = 0, steps = 0, hides = 0;
    int maximum = 0, x = 0, y = 0, width = 0, height = 0;
};
BarRecord g_bar;

// One full-size build shared by the tests of this file.
class FullBuild : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir = new terraintest::TempDir();
        ASSERT_TRUE(terraintest::writeSyntheticHeightFile(dir->file("terrain.dat")));
        // Towns fill the first eight page columns; a dirt road runs along
        // cells x = 1100 .. 1119, outside the towns.
        ASSERT_TRUE(terraintest::writeBmp(dir->file("townmap.bmp"), 32, 32,
                                          [](int x, int, unsigned char* c) {
                                              c[0] = x < 8 ? 255 : 0;
                                              c[1] = c[2] = 90;
                                          }));
        ASSERT_TRUE(terraintest::writeBmp(dir->file("dirt.bmp"), 2050, 2050,
                                          [](int x, int, unsigned char* c) {
                                              c[0] = (x >= 1100 && x < 1120) ? 255 : 0;
                                              c[1] = c[2] = 200;
                                          }));
        openLog(dir->file("errlog.txt").c_str());
        g_bar = BarRecord();
        TerrainBuildOptions options;
        options.dataDir = dir->path;
        options.showBar = [](int x, int y, int w, int h, int value, int maximum) {
            ++g_bar.shows;
            g_bar.x = x, g_bar.y = y, g_bar.width = w, g_bar.height = h;
            g_bar.maximum = maximum;
            EXPECT_EQ(value, 0);
        };
        options.stepBar = [] { ++g_bar.steps; };
        options.hideBar = [] { ++g_bar.hides; };
        crt::srand(100);
        list = new TerrainList();
        list->build(options);
        list->finishPages();
        closeLog();
        std::ifstream in(dir->file("errlog.txt"));
        std::stringstream ss;
        ss << in.rdbuf();
        log = new std::string(ss.str());
    }
    static void TearDownTestSuite() {
        delete list;
        delete log;
        delete dir;
    }
    static terraintest::TempDir* dir;
    static TerrainList* list;
    static std::string* log;
};
terraintest::TempDir* FullBuild::dir = nullptr;
TerrainList* FullBuild::list = nullptr;
std::string* FullBuild::log = nullptr;

TEST_F(FullBuild, LogsEveryStepInOrder) {
    const char* lines[] = {"Highest point on heightmap: ",
                           "Lowest point on heightmap: 0\n",
                           "Final TERRAIN_MAX_HEIGHT: ",
                           "HIGH: ",
                           "LOW: ",
                           "1024 pages created.\n",
                           "TERRAIN MEMORY FREE.\n"};
    std::size_t at = 0;
    for (const char* line : lines) {
        std::size_t found = log->find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << *log;
        at = found;
    }
    // The highest raw sample of the synthetic map, and the height from it.
    std::size_t h = log->find("Highest point on heightmap: ");
    int highest = std::stoi(log->substr(h + 28));
    EXPECT_GT(highest, 10000);
    EXPECT_LT(highest, 0xFFFF) << "holes must not count as the highest point";
    EXPECT_EQ(TERRAIN_MAX_HEIGHT, int(highest * 0.125));
    EXPECT_FLOAT_EQ(heightScale, 1.4f / TERRAIN_MAX_HEIGHT);
}

TEST_F(FullBuild, LoadingBarTakesItsFortySevenStepsAndEndsHidden) {
    EXPECT_EQ(g_bar.shows, 1);
    EXPECT_EQ(g_bar.maximum, 47);
    EXPECT_EQ(g_bar.x, 40);
    EXPECT_EQ(g_bar.y, 60);
    EXPECT_EQ(g_bar.width, 400);
    EXPECT_EQ(g_bar.height, 20);
    EXPECT_EQ(g_bar.steps, 47);
    EXPECT_EQ(g_bar.hides, 1);
}

TEST_F(FullBuild, PagesCoverTheMapInOrderAndShareTheirBorders) {
    ASSERT_EQ(list->pageCount, 1024);
    int n = 0;
    for (const TerrainPage* p = list->head; p; p = p->next, ++n) {
        EXPECT_EQ(p->originX, n / 32 * 256);
        EXPECT_EQ(p->originY, n % 32 * 256);
        EXPECT_EQ(p->centreX, p->originX + 130);
        if (p->next) {
            EXPECT_EQ(p->next->prev, p);
        }
    }
    EXPECT_EQ(n, 1024);
    const TerrainPage* a = list->findPage(2048, 1024);
    const TerrainPage* right = list->findPage(2304, 1024);
    for (int j = 0; j < 64; ++j)
        EXPECT_EQ(a->height[64][j], right->height[0][j]);
    // The far edge repeats its last line.
    const TerrainPage* far = list->findPage(7936, 7936);
    for (int k = 0; k < 64; ++k) {
        EXPECT_EQ(far->height[64][k], far->height[63][k]);
        EXPECT_EQ(far->height[k][64], far->height[k][63]);
    }
    // Every light value lies on the curve's output range.
    for (const TerrainPage* p = list->head; p; p = p->next)
        for (int i = 0; i < 65; i += 8)
            for (int j = 0; j < 65; j += 8) {
                ASSERT_GE(p->light[i][j], 0.1f - 1e-6f);
                ASSERT_LE(p->light[i][j], 1.0f + 1e-6f);
            }
}

TEST_F(FullBuild, TownPagesHoldBuildingsAndTheDirtMapLaysRoads) {
    int townPages = 0, townBuildings = 0;
    for (const TerrainPage* p = list->head; p; p = p->next) {
        if (p->originX / 256 < 8) {
            ++townPages;
            townBuildings += p->buildingCount;
            for (int k = 0; k < p->buildingCount; ++k) {
                const Building& b = p->buildings[k];
                EXPECT_GE(b.x, p->originX);
                EXPECT_LT(b.x, p->originX + 256);
                EXPECT_GE(b.length, 15);
                EXPECT_LE(b.length, 44);
            }
        } else {
            EXPECT_EQ(p->buildingCount, 0) << "density 0 means no buildings";
        }
    }
    EXPECT_EQ(townPages, 256);
    EXPECT_GT(townBuildings, 256 * 3) << "full density asks for six a page";
    // Cells 1100 .. 1119 along x lie on page column 17 (cells 1088 .. 1151).
    const TerrainPage* road = list->findPage(17 * 256, 4096);
    EXPECT_FLOAT_EQ(road->dirt[1100 - 1088][10], 1.0f);
    EXPECT_FLOAT_EQ(road->dirt[1119 - 1088][10], 1.0f);
    EXPECT_EQ(road->dirt[1120 - 1088][10], 0.0f);
    EXPECT_EQ(road->dirt[1099 - 1088][10], 0.0f);
}

TEST_F(FullBuild, AboutOnePageInTwentyHasAPortal) {
    int portals = 0, decor = 0;
    for (const TerrainPage* p = list->head; p; p = p->next) {
        portals += p->portalCount;
        decor += p->decorCount;
        if (p->portalCount) {
            const Portal& portal = p->portals[0];
            EXPECT_GE(portal.x, p->originX + 8);
            EXPECT_LE(portal.x, p->originX + 248);
            const int i = int(portal.x - p->originX) / 4, j = int(portal.y - p->originY) / 4;
            EXPECT_EQ(p->blocked[i][j], 1);
        }
    }
    EXPECT_GT(portals, 20);
    EXPECT_LT(portals, 100);
    EXPECT_NEAR(decor / 1024.0, 4.5, 0.5);
}

TEST_F(FullBuild, TheWindowAnswersFromTheBuiltPages) {
    g_settings.applyDetailLevel(3);
    LocalTerrain w(*list, 6366.0, 5549.0);
    const TerrainPage* p = list->findPage(6144, 5376);
    double lx, ly;
    EXPECT_EQ(w.locate(6366.0, 5549.0, lx, ly), p);
    EXPECT_NEAR(w.heightAt(6144.0 + 4 * 10, 5376.0 + 4 * 20), p->height[10][20], 1e-3);
    EXPECT_GT(w.heightAt(6366.0, 5549.0), 0.0f);
}

} // namespace
