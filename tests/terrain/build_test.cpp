#include "core/log.h"
#include "core/random.h"
#include "terrain/terrain_build.h"
#include "support.h"

#include "../support/read_file.h"

#include <gtest/gtest.h>

namespace {

// One full-size build shared by the tests of this file: rolling hills, towns
// over the first eight page columns, and a dirt road along cells x = 1100 .. 1119.
class FullBuild : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(terraintest::writeSyntheticHeightFile(dir.file("terrain.dat")));
        ASSERT_TRUE(terraintest::writeBmp(dir.file("townmap.bmp"), 32, 32,
                                          [](int x, int, unsigned char* c) {
                                              c[0] = x < 8 ? 255 : 0;
                                              c[1] = c[2] = 90;
                                          }));
        ASSERT_TRUE(terraintest::writeBmp(dir.file("dirt.bmp"), 2050, 2050,
                                          [](int x, int, unsigned char* c) {
                                              c[0] = (x >= 1100 && x < 1120) ? 255 : 0;
                                              c[1] = c[2] = 200;
                                          }));
        openLog(dir.file("errlog.txt").c_str());
        TerrainBuildOptions options;
        options.dataDir = dir.path;
        options.showBar = [](int, int, int, int, int value, int maximum) {
            ++bar.shows;
            bar.maximum = maximum;
            EXPECT_EQ(value, 0);
        };
        options.stepBar = [] { ++bar.steps; };
        options.hideBar = [] { ++bar.hides; };
        crt::srand(100);
        list = std::make_unique<TerrainList>();
        list->build(options);
        list->finishPages();
        closeLog();
        log = testsupport::readFile(dir.file("errlog.txt"));
    }
    static void TearDownTestSuite() { list.reset(); }
    static inline terraintest::TempDir dir;
    static inline std::unique_ptr<TerrainList> list;
    static inline std::string log;
    static inline struct { int shows, steps, hides, maximum; } bar = {};
};

TEST_F(FullBuild, LogsEveryStepInOrderAndTheBarEndsFullAndHidden) {
    std::size_t at = 0;
    for (const char* line : {"Highest point on heightmap: ", "Lowest point on heightmap: 0\n",
                             "Final TERRAIN_MAX_HEIGHT: ", "HIGH: ", "LOW: ",
                             "1024 pages created.\n", "TERRAIN MEMORY FREE.\n"}) {
        at = log.find(line, at);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << log;
    }
    // The highest raw sample of the synthetic map, and the height from it.
    const int highest = std::stoi(log.substr(log.find("Highest point on heightmap: ") + 28));
    EXPECT_GT(highest, 10000);
    EXPECT_LT(highest, 0xFFFF) << "holes must not count as the highest point";
    EXPECT_EQ(TERRAIN_MAX_HEIGHT, int(highest * 0.125));
    EXPECT_FLOAT_EQ(heightScale, 1.4f / TERRAIN_MAX_HEIGHT);
    EXPECT_EQ(bar.shows, 1);
    EXPECT_EQ(bar.maximum, 47);
    EXPECT_EQ(bar.steps, bar.maximum);
    EXPECT_EQ(bar.hides, 1);
}

TEST_F(FullBuild, PagesCoverTheMapInOrderWithLightOnTheCurvesRange) {
    ASSERT_EQ(list->pageCount, 1024);
    int n = 0;
    for (const TerrainPage* p = list->head; p; p = p->next, ++n) {
        EXPECT_EQ(p->originX, n / 32 * 256);
        EXPECT_EQ(p->originY, n % 32 * 256);
        EXPECT_EQ(p->centreX, p->originX + 130);
        EXPECT_EQ(p->next ? p->next->prev : p, p);
        for (int i = 0; i < 65; i += 8)
            for (int j = 0; j < 65; j += 8) {
                ASSERT_GE(p->light[i][j], 0.1f - 1e-6f);
                ASSERT_LE(p->light[i][j], 1.0f + 1e-6f);
            }
    }
    EXPECT_EQ(n, 1024);
}

TEST_F(FullBuild, TownPagesHoldBuildingsPortalsAreRareAndTheDirtMapLaysRoads) {
    int townBuildings = 0, portals = 0, decor = 0;
    for (const TerrainPage* p = list->head; p; p = p->next) {
        portals += p->portalCount;
        decor += p->decorCount;
        EXPECT_TRUE(p->originX / 256 < 8 || p->buildingCount == 0) << "density 0: no buildings";
        townBuildings += p->buildingCount;
        for (int k = 0; k < p->buildingCount; ++k) {
            EXPECT_GE(p->buildings[k].x, p->originX);
            EXPECT_LT(p->buildings[k].x, p->originX + 256);
        }
        if (p->portalCount) {
            const Portal& portal = p->portals[0];
            EXPECT_GE(portal.x, p->originX + 8);
            EXPECT_LE(portal.x, p->originX + 248);
            const int i = int(portal.x - p->originX) / 4, j = int(portal.y - p->originY) / 4;
            EXPECT_EQ(p->blocked[i][j], 1);
        }
    }
    EXPECT_GT(townBuildings, 256 * 3) << "full density asks for six a page";
    EXPECT_GT(portals, 20);
    EXPECT_LT(portals, 100);
    EXPECT_NEAR(decor / 1024.0, 4.5, 0.5);
    // Cells 1100 .. 1119 along x lie on page column 17 (cells 1088 .. 1151).
    const TerrainPage* road = list->findPage(17 * 256, 4096);
    for (int cell : {1099, 1100, 1119, 1120})
        EXPECT_EQ(road->dirt[cell - 1088][10], cell >= 1100 && cell < 1120 ? 1.0f : 0.0f) << cell;
}

} // namespace
