#include "core/log.h"
#include "core/random.h"
#include "terrain/terrain_build.h"
#include "support.h"

#include "../support/read_file.h"

#include <gtest/gtest.h>

namespace {

// One full-size build: rolling hills, towns on the first eight page columns, a
// road on x = 1100 .. 1119; its log lines to the letter and in order, and its pages.
TEST(FullBuild, LogsEveryStepAndLaysOutPagesTownsPortalsAndRoads) {
    terraintest::TempDir dir;
    ASSERT_TRUE(terraintest::writeSyntheticHeightFile(dir.file("terrain.dat")));
    ASSERT_TRUE(
        terraintest::writeBmp(dir.file("townmap.bmp"), 32, 32, [](int x, int, unsigned char* c) {
            c[0] = x < 8 ? 255 : 0;
            c[1] = c[2] = 90;
        }));
    ASSERT_TRUE(
        terraintest::writeBmp(dir.file("dirt.bmp"), 2050, 2050, [](int x, int, unsigned char* c) {
            c[0] = (x >= 1100 && x < 1120) ? 255 : 0;
            c[1] = c[2] = 200;
        }));
    openLog(dir.file("errlog.txt").c_str());
    TerrainBuildOptions options;
    options.dataDir = dir.path;
    crt::srand(100);
    auto list = std::make_unique<TerrainList>();
    list->build(options);
    list->finishPages();
    closeLog();
    const std::string log = testsupport::readFile(dir.file("errlog.txt"));
    std::size_t at = 0;
    for (const char* line : {"Highest point on heightmap: ", "Lowest point on heightmap: 0\n",
                             "Final TERRAIN_MAX_HEIGHT: ", "HIGH: ", "LOW: ",
                             "1024 pages created.\n", "TERRAIN MEMORY FREE.\n"}) {
        at = log.find(line, at);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << line << "\n" << log;
    }
    const int highest = std::stoi(log.substr(log.find("Highest point on heightmap: ") + 28));
    EXPECT_GT(highest, 10000);
    EXPECT_LT(highest, 0xFFFF) << "holes must not count as the highest point";
    EXPECT_EQ(TERRAIN_MAX_HEIGHT, int(highest * 0.125));
    EXPECT_FLOAT_EQ(heightScale, 1.4f / TERRAIN_MAX_HEIGHT);

    ASSERT_EQ(list->pageCount, 1024);
    int n = 0, townBuildings = 0, portals = 0;
    for (const TerrainPage* p = list->head; p; p = p->next, ++n) {
        EXPECT_EQ(p->originX, n / 32 * 256);
        EXPECT_EQ(p->originY, n % 32 * 256);
        EXPECT_EQ(p->centreX, p->originX + 130);
        EXPECT_EQ(p->next ? p->next->prev : p, p);
        EXPECT_TRUE(p->originX / 256 < 8 || p->buildingCount == 0) << "density 0: no buildings";
        townBuildings += p->buildingCount;
        for (int k = 0; k < p->buildingCount; ++k) {
            EXPECT_GE(p->buildings[k].x, p->originX);
            EXPECT_LT(p->buildings[k].x, p->originX + 256);
        }
        portals += p->portalCount;
        if (p->portalCount) {
            const Portal& portal = p->portals[0];
            EXPECT_GE(portal.x, p->originX + 8);
            EXPECT_LE(portal.x, p->originX + 248);
            const int i = int(portal.x - p->originX) / 4, j = int(portal.y - p->originY) / 4;
            EXPECT_EQ(p->blocked[i][j], 1);
        }
    }
    EXPECT_EQ(n, 1024);
    EXPECT_GT(townBuildings, 256 * 3) << "full density asks for six a page";
    EXPECT_GT(portals, 0);
    // Cells 1100 .. 1119 along x lie on page column 17 (cells 1088 .. 1151).
    const TerrainPage* road = list->findPage(17 * 256, 4096);
    for (int cell : {1099, 1100, 1119, 1120})
        EXPECT_EQ(road->dirt[cell - 1088][10], cell >= 1100 && cell < 1120 ? 1.0f : 0.0f) << cell;
}

} // namespace
