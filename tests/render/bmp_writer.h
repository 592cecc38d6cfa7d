// Builds small bitmap files in memory for the render tests, the benchmarks
// and the fuzzing seeds.
#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bmptest {

inline void put16(std::vector<unsigned char>& v, std::size_t at, std::uint16_t x) {
    v[at] = x & 0xFF;
    v[at + 1] = x >> 8;
}
inline void put32(std::vector<unsigned char>& v, std::size_t at, std::uint32_t x) {
    put16(v, at, x & 0xFFFF);
    put16(v, at + 2, x >> 16);
}
inline void append16(std::vector<unsigned char>& f, std::uint32_t x) {
    f.resize(f.size() + 2);
    put16(f, f.size() - 2, std::uint16_t(x));
}
inline void append32(std::vector<unsigned char>& f, std::uint32_t x) {
    f.resize(f.size() + 4);
    put32(f, f.size() - 4, x);
}

inline bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

// ---- Bitmaps of every kind ----------------------------------------------

struct Rgb {
    unsigned char r = 0, g = 0, b = 0;
};

// One way of storing a picture.
struct Variant {
    const char* name;
    int bits = 24;
    std::uint32_t compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t headerSize = 40; // 12 OS/2 1.x, 16 to 64 OS/2 2.x, 40 to 124 Windows
    bool topDown = false;
    std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue; zero: the depth's default
};

inline int paletteSize(const Variant& v) {
    return v.bits <= 8 ? 1 << v.bits : 0;
}

inline bool isRle(const Variant& v) {
    return v.compression == 1 || v.compression == 2;
}

inline Rgb paletteColour(int i) {
    return {(unsigned char)(i * 37 + 5), (unsigned char)(255 - i * 11), (unsigned char)(i * 73)};
}

// Palette pictures: runs of three on even rows (RLE runs), varied odd rows
// (RLE literals).
inline int indexAt(const Variant& v, int x, int y) {
    const int n = paletteSize(v);
    return y % 2 == 0 ? (x / 3 + y) % n : (x * 7 + y * 3 + 1) % n;
}

inline Rgb directColour(int x, int y) {
    return {(unsigned char)(x * 40 + 7), (unsigned char)(y * 50 + 11),
            (unsigned char)(x * y * 13 + 90)};
}

inline void masksOf(const Variant& v, std::uint32_t (&m)[3]) {
    const bool given = v.masks[0] | v.masks[1] | v.masks[2];
    const std::uint32_t sixteen[3] = {0x7C00, 0x03E0, 0x001F}, wide[3] = {0xFF0000, 0xFF00, 0xFF};
    for (int c = 0; c < 3; ++c)
        m[c] = given ? v.masks[c] : v.bits == 16 ? sixteen[c] : wide[c];
}

// The colour as stored under the masks, and as it reads back (each channel
// scaled from its bits to 0..255).
inline std::uint32_t packColour(const Variant& v, Rgb c) {
    std::uint32_t m[3];
    masksOf(v, m);
    const unsigned char channel[3] = {c.r, c.g, c.b};
    std::uint32_t value = 0;
    for (int k = 0; k < 3; ++k)
        value |= std::uint32_t(channel[k] >> (8 - std::popcount(m[k]))) << std::countr_zero(m[k]);
    return value;
}

inline Rgb storedColour(const Variant& v, Rgb c) {
    std::uint32_t m[3];
    masksOf(v, m);
    const std::uint32_t value = packColour(v, c);
    unsigned char out[3];
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t top = (1u << std::popcount(m[k])) - 1;
        out[k] = (unsigned char)(((value & m[k]) >> std::countr_zero(m[k])) * 255 / top);
    }
    return {out[0], out[1], out[2]};
}

// The picture's pixels as the reader must give them: bottom-up RGB.
inline std::vector<Rgb> expectedPixels(const Variant& v, int width, int height) {
    std::vector<Rgb> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out.push_back(v.bits <= 8 ? paletteColour(indexAt(v, x, y))
                                      : storedColour(v, directColour(x, y)));
    return out;
}

// One stored row, uncompressed and padded to four bytes.
inline std::vector<unsigned char> plainRow(const Variant& v, int width, int y,
                                           const std::function<Rgb(int, int)>& colour) {
    std::vector<unsigned char> row;
    unsigned acc = 0;
    int filled = 0;
    for (int x = 0; x < width; ++x) {
        if (v.bits <= 8) {
            acc = (acc << v.bits) | unsigned(indexAt(v, x, y));
            filled += v.bits;
            if (filled == 8) {
                row.push_back((unsigned char)acc);
                acc = 0, filled = 0;
            }
        } else if (v.bits == 24) {
            const Rgb c = colour(x, y);
            row.insert(row.end(), {c.b, c.g, c.r});
        } else {
            const std::uint32_t value = packColour(v, colour(x, y));
            for (int k = 0; k < v.bits / 8; ++k)
                row.push_back((value >> (8 * k)) & 0xFF);
        }
    }
    if (filled) row.push_back((unsigned char)(acc << (8 - filled)));
    while (row.size() % 4)
        row.push_back(0);
    return row;
}

// RLE rows: repeats as encoded runs, other stretches of three or more as
// absolute runs (padded to a whole 16-bit word), single values as runs of one.
inline void rleRow(const Variant& v, int width, int y, std::vector<unsigned char>& out) {
    std::vector<int> row;
    for (int x = 0; x < width; ++x)
        row.push_back(indexAt(v, x, y));
    const bool four = v.bits == 4;
    std::size_t i = 0;
    while (i < row.size()) {
        std::size_t run = 1;
        while (i + run < row.size() && row[i + run] == row[i] && run < 255)
            ++run;
        std::size_t literal = 0;
        while (i + literal < row.size() && literal < 255 &&
               (i + literal + 1 >= row.size() || row[i + literal + 1] != row[i + literal]))
            ++literal;
        if (run == 1 && literal >= 3) {
            out.insert(out.end(), {0, (unsigned char)literal});
            std::size_t bytes = 0;
            for (std::size_t k = 0; k < literal; k += four ? 2 : 1, ++bytes) {
                const int next = four && k + 1 < literal ? row[i + k + 1] : 0;
                out.push_back((unsigned char)(four ? row[i + k] << 4 | next : row[i + k]));
            }
            if (bytes % 2) out.push_back(0);
            i += literal;
        } else {
            out.push_back((unsigned char)run);
            out.push_back((unsigned char)(four ? row[i] << 4 | row[i] : row[i]));
            i += run;
        }
    }
}

inline std::vector<unsigned char> pixelBlock(const Variant& v, int width, int height,
                                             const std::function<Rgb(int, int)>& colour) {
    std::vector<unsigned char> block;
    for (int k = 0; k < height; ++k) {
        const int y = v.topDown ? height - 1 - k : k;
        if (isRle(v)) {
            rleRow(v, width, y, block);
            block.insert(block.end(), {0, 0});
        } else {
            const auto row = plainRow(v, width, y, colour);
            block.insert(block.end(), row.begin(), row.end());
        }
    }
    if (isRle(v)) block.insert(block.end(), {0, 1});
    return block;
}

inline std::vector<unsigned char> infoHeader(const Variant& v, int width, int height,
                                             std::size_t imageSize) {
    std::vector<unsigned char> h;
    append32(h, v.headerSize);
    if (v.headerSize == 12) {
        for (int field : {width, height, 1, v.bits})
            append16(h, std::uint32_t(field));
        return h;
    }
    append32(h, std::uint32_t(width));
    append32(h, std::uint32_t(v.topDown ? -height : height));
    append16(h, 1);
    append16(h, std::uint32_t(v.bits));
    for (std::uint32_t field : {v.compression, std::uint32_t(imageSize), 2835u, 2835u, 0u, 0u})
        append32(h, field);
    std::uint32_t m[3];
    masksOf(v, m);
    if (v.compression == 3)
        for (std::uint32_t mask : m)
            append32(h, mask);
    // Cut to a short OS/2 2.x header, or filled out to a longer one (a mask
    // area inside the header is the one written just above).
    if (v.compression == 3 && v.headerSize == 40) return h;
    h.resize(v.headerSize, 0);
    return h;
}

// A whole file of the variant showing the test picture (direct colours from
// `colour` when given).
inline std::vector<unsigned char>
encodeBmp(const Variant& v, int width, int height,
          const std::function<Rgb(int, int)>& colour = directColour) {
    const std::vector<unsigned char> block = pixelBlock(v, width, height, colour);
    std::vector<unsigned char> body = infoHeader(v, width, height, block.size());
    for (int i = 0; i < paletteSize(v); ++i) {
        const Rgb c = paletteColour(i);
        body.insert(body.end(), {c.b, c.g, c.r});
        if (v.headerSize != 12) body.push_back(0);
    }
    std::vector<unsigned char> f = {'B', 'M'};
    append32(f, std::uint32_t(14 + body.size() + block.size()));
    append32(f, 0);
    append32(f, std::uint32_t(14 + body.size()));
    f.insert(f.end(), body.begin(), body.end());
    f.insert(f.end(), block.begin(), block.end());
    return f;
}

// A 24-bit bitmap whose pixel (x, y) (y counted from the bottom row) has the
// colour colourAt(x, y) as {r, g, b}. `bits` is only written into the header.
template <class ColourAt>
std::vector<unsigned char> makeBmp(int width, int height, ColourAt colourAt, int bits = 24) {
    auto f = encodeBmp({"24-bit", 24}, width, height, [&](int x, int y) {
        const auto c = colourAt(x, y);
        return Rgb{(unsigned char)c[0], (unsigned char)c[1], (unsigned char)c[2]};
    });
    put16(f, 28, std::uint16_t(bits));
    return f;
}

inline std::vector<unsigned char> solidBmp(int width, int height, unsigned char r, unsigned char g,
                                           unsigned char b) {
    return makeBmp(width, height, [&](int, int) { return std::vector<unsigned char>{r, g, b}; });
}

// Bytes of padding after the last stored row (0 for RLE files).
inline std::size_t lastRowPadding(const Variant& v, int width) {
    if (isRle(v)) return 0;
    const std::size_t bytes = (std::size_t(width) * v.bits + 7) / 8;
    return (4 - bytes % 4) % 4;
}

// One of each kind the reader takes (tests, fuzzing seeds).
inline const Variant KINDS[] = {
    {"1-bit palette", 1},
    {"4-bit palette", 4},
    {"8-bit palette", 8},
    {"8-bit top-down", 8, 0, 40, true},
    {"RLE8", 8, 1},
    {"RLE4", 4, 2},
    {"16-bit 5-5-5", 16},
    {"16-bit 5-6-5 bit fields", 16, 3, 40, false, {0xF800, 0x07E0, 0x001F}},
    {"16-bit top-down", 16, 0, 40, true},
    {"24-bit", 24},
    {"24-bit top-down", 24, 0, 40, true},
    {"32-bit", 32},
    {"32-bit bit fields, red lowest", 32, 3, 40, false, {0xFF, 0xFF00, 0xFF0000}},
    {"32-bit v5 header with masks inside", 32, 3, 124, false, {0xFF00, 0xFF0000, 0xFF000000}},
    {"32-bit v4 header top-down", 32, 0, 108, true},
    {"OS/2 1.x 1-bit", 1, 0, 12},
    {"OS/2 1.x 8-bit", 8, 0, 12},
    {"OS/2 1.x 24-bit", 24, 0, 12},
    {"OS/2 2.x 4-bit", 4, 0, 64},
    {"OS/2 2.x RLE8", 8, 1, 64},
    {"OS/2 2.x short header", 8, 0, 16},
};

} // namespace bmptest
