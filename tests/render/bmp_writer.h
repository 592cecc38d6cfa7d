// Builds small bitmap files in memory for the render tests.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace bmptest {

inline void put16(std::vector<unsigned char>& v, std::size_t at, std::uint16_t x) {
    v[at] = x & 0xFF;
    v[at + 1] = x >> 8;
}
inline void put32(std::vector<unsigned char>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = (x >> (8 * i)) & 0xFF;
}

// A 24-bit bitmap whose pixel (x, y) (y counted from the bottom row) has the
// colour colourAt(x, y) as {r, g, b}; rows padded to four bytes.
template <class ColourAt>
std::vector<unsigned char> makeBmp(int width, int height, ColourAt colourAt, int bits = 24) {
    int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> f(54 + std::size_t(stride) * height, 0);
    f[0] = 'B';
    f[1] = 'M';
    put32(f, 2, std::uint32_t(f.size()));
    put32(f, 10, 54);
    put32(f, 14, 40);
    put32(f, 18, std::uint32_t(width));
    put32(f, 22, std::uint32_t(height));
    put16(f, 26, 1);
    put16(f, 28, std::uint16_t(bits));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            auto c = colourAt(x, y);
            std::size_t at = 54 + std::size_t(y) * stride + std::size_t(x) * 3;
            f[at] = c[2];
            f[at + 1] = c[1];
            f[at + 2] = c[0];
        }
    return f;
}

inline std::vector<unsigned char> solidBmp(int width, int height, unsigned char r, unsigned char g,
                                           unsigned char b) {
    return makeBmp(width, height, [&](int, int) { return std::vector<unsigned char>{r, g, b}; });
}

inline void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

} // namespace bmptest
