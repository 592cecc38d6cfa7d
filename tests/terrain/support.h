// Helpers for the terrain tests: hand-made pages and lists, and temp files.
#pragma once

#include "terrain/terrain.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace terraintest {

// A list of cols x rows pages starting at the map origin, each page's
// heights set by fill(page, i, j) -> height.
template <typename Fill> std::unique_ptr<TerrainList> makeList(int cols, int rows, Fill fill) {
    auto list = std::make_unique<TerrainList>();
    for (int a = 0; a < cols; ++a)
        for (int b = 0; b < rows; ++b) {
            auto* p = new TerrainPage();
            p->setOrigin(a * PAGE_SIZE, b * PAGE_SIZE);
            for (int i = 0; i < PAGE_VERTS; ++i)
                for (int j = 0; j < PAGE_VERTS; ++j)
                    p->height[i][j] = fill(*p, i, j);
            list->appendPage(p);
        }
    return list;
}

inline std::unique_ptr<TerrainList> makeFlatList(int cols, int rows) {
    return makeList(cols, rows, [](const TerrainPage&, int, int) { return 0.0f; });
}

// A scratch directory removed with the object.
class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/zeb-terrain-XXXXXX";
        char* made = mkdtemp(pattern);
        path = made ? made : "/tmp";
    }
    ~TempDir() {
        std::string cmd = "rm -rf '" + path + "'";
        if (path != "/tmp") (void)std::system(cmd.c_str());
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
    void write(const std::string& name, const std::vector<unsigned char>& bytes) const {
        std::FILE* f = std::fopen(file(name).c_str(), "wb");
        if (!f) return;
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    std::string path;
};

// A full-size height file of rolling hills (raw heights up to about
// 16000), with a few 0xFFFF holes, written big-endian like the game's.
inline bool writeSyntheticHeightFile(const std::string& path) {
    std::vector<unsigned char> bytes(std::size_t(SAMPLE_COUNT) * 2);
    for (int k = 0; k < SAMPLE_COUNT; ++k) {
        const double x = k % SAMPLE_STRIDE, y = k / SAMPLE_STRIDE;
        double h = 8000 + 3500 * std::sin(x / 150.0) * std::cos(y / 210.0) +
                   2500 * std::sin((x + y) / 67.0) + 900 * std::cos(x / 23.0 - y / 31.0);
        int v = int(std::max(0.0, h));
        if (k % 99991 == 5) v = 0xFFFF;
        bytes[2 * std::size_t(k)] = (unsigned char)(v >> 8);
        bytes[2 * std::size_t(k) + 1] = (unsigned char)(v & 0xFF);
    }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// Writes a 24-bit bitmap whose pixel (x, row) is colour(x, row), rows in the
// file's own bottom-up order.
template <typename Colour>
bool writeBmp(const std::string& path, int width, int height, Colour colour) {
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    const unsigned dataSize = unsigned(rowBytes) * unsigned(height);
    std::vector<unsigned char> b(54 + dataSize, 0);
    auto put32 = [&](int at, unsigned v) {
        for (int k = 0; k < 4; ++k)
            b[std::size_t(at + k)] = (unsigned char)(v >> (8 * k));
    };
    b[0] = 'B', b[1] = 'M';
    put32(2, unsigned(b.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, unsigned(width));
    put32(22, unsigned(height));
    b[26] = 1, b[28] = 24;
    put32(34, dataSize);
    for (int row = 0; row < height; ++row)
        for (int x = 0; x < width; ++x) {
            unsigned char rgb[3];
            colour(x, row, rgb);
            const std::size_t at = 54 + std::size_t(row) * rowBytes + std::size_t(x) * 3;
            b[at] = rgb[2], b[at + 1] = rgb[1], b[at + 2] = rgb[0];
        }
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(b.data(), 1, b.size(), f) == b.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace terraintest
