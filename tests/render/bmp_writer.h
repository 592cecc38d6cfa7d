// Builds small bitmap files in memory for the render tests, the benchmarks
// and the fuzzing seeds.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace bmptest {

using Bytes = std::vector<unsigned char>;

// Little-endian fields: written over bytes at `at`, or appended.
inline void put(Bytes& v, std::size_t at, std::uint32_t x, int bytes = 4) {
    for (int k = 0; k < bytes; ++k)
        v[at + k] = (x >> (8 * k)) & 0xFF;
}
inline void append(Bytes& f, std::uint32_t x, int bytes = 4) {
    f.resize(f.size() + bytes);
    put(f, f.size() - bytes, x, bytes);
}

inline bool writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

struct Rgb {
    unsigned char r = 0, g = 0, b = 0;
};

// One way of storing a picture.
struct Variant {
    const char* name;
    int bits = 24;
    std::uint32_t compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields, 6 alpha bit fields
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
inline bool hasMasks(const Variant& v) {
    return v.compression == 3 || v.compression == 6;
}

inline Rgb paletteColour(int i) {
    return {(unsigned char)(i * 37 + 5), (unsigned char)(255 - i * 11), (unsigned char)(i * 73)};
}

// Palette pictures: runs of three on even rows, varied odd rows.
inline int indexAt(const Variant& v, int x, int y) {
    const int n = paletteSize(v);
    return y % 2 == 0 ? (x / 3 + y) % n : (x * 7 + y * 3 + 1) % n;
}

inline Rgb directColour(int x, int y) {
    return {(unsigned char)(x * 40 + 7), (unsigned char)(y * 50 + 11),
            (unsigned char)(x * y * 13 + 90)};
}

inline std::array<std::uint32_t, 3> masksOf(const Variant& v) {
    if (v.masks[0] | v.masks[1] | v.masks[2]) return {v.masks[0], v.masks[1], v.masks[2]};
    if (v.bits == 16) return {0x7C00, 0x03E0, 0x001F};
    return {0xFF0000, 0xFF00, 0xFF};
}

// The colour as stored under the masks (each channel cut to its bits), and as
// it reads back (each channel widened to 0..255).
inline std::uint32_t packColour(const Variant& v, Rgb c) {
    const auto m = masksOf(v);
    const unsigned char channel[3] = {c.r, c.g, c.b};
    std::uint32_t value = 0;
    for (int k = 0; k < 3; ++k)
        value |= std::uint32_t(channel[k] >> (8 - std::popcount(m[k]))) << std::countr_zero(m[k]);
    return value;
}

inline Rgb storedColour(const Variant& v, Rgb c) {
    const auto m = masksOf(v);
    auto widen = [](unsigned char x, std::uint32_t mask) {
        const int bits = std::popcount(mask);
        return (unsigned char)((x >> (8 - bits)) * 255 / ((1u << bits) - 1));
    };
    return {widen(c.r, m[0]), widen(c.g, m[1]), widen(c.b, m[2])};
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

// One stored row, uncompressed and padded to four bytes (24-bit rows are
// packed under the wide default masks: blue, green, red).
inline void plainRow(const Variant& v, int width, int y, const std::function<Rgb(int, int)>& colour,
                     Bytes& out) {
    const std::size_t start = out.size();
    unsigned acc = 0;
    int filled = 0;
    for (int x = 0; x < width; ++x) {
        if (v.bits <= 8) {
            acc = (acc << v.bits) | unsigned(indexAt(v, x, y));
            filled += v.bits;
            if (filled == 8) {
                out.push_back((unsigned char)acc);
                acc = 0, filled = 0;
            }
        } else {
            append(out, packColour(v, colour(x, y)), v.bits / 8);
        }
    }
    if (filled) out.push_back((unsigned char)(acc << (8 - filled)));
    while ((out.size() - start) % 4)
        out.push_back(0);
}

// An RLE row: on odd rows absolute runs of three (8-bit ones padded to a
// whole 16-bit word), elsewhere encoded runs of equal values.
inline void rleRow(const Variant& v, int width, int y, Bytes& out) {
    const bool four = v.bits == 4;
    auto pair = [&](int a, int b) { return (unsigned char)(four ? a << 4 | b : a); };
    for (int x = 0; x < width;) {
        const int a = indexAt(v, x, y);
        if (y % 2 == 1 && x + 3 <= width) {
            const int b = indexAt(v, x + 1, y), c = indexAt(v, x + 2, y);
            if (four)
                out.insert(out.end(), {0, 3, pair(a, b), pair(c, 0)});
            else
                out.insert(out.end(),
                           {0, 3, (unsigned char)a, (unsigned char)b, (unsigned char)c, 0});
            x += 3;
            continue;
        }
        int run = 1;
        while (x + run < width && run < 255 && indexAt(v, x + run, y) == a)
            ++run;
        out.insert(out.end(), {(unsigned char)run, pair(a, a)});
        x += run;
    }
    out.insert(out.end(), {0, 0});
}

inline Bytes pixelBlock(const Variant& v, int width, int height,
                        const std::function<Rgb(int, int)>& colour) {
    Bytes block;
    for (int k = 0; k < height; ++k) {
        const int y = v.topDown ? height - 1 - k : k;
        isRle(v) ? rleRow(v, width, y, block) : plainRow(v, width, y, colour, block);
    }
    if (isRle(v)) block.insert(block.end(), {0, 1});
    return block;
}

inline Bytes infoHeader(const Variant& v, int width, int height, std::size_t imageSize) {
    Bytes h;
    append(h, v.headerSize);
    if (v.headerSize == 12) {
        for (int field : {width, height, 1, v.bits})
            append(h, std::uint32_t(field), 2);
        return h;
    }
    append(h, std::uint32_t(width));
    append(h, std::uint32_t(v.topDown ? -height : height));
    append(h, 1, 2);
    append(h, std::uint32_t(v.bits), 2);
    for (std::uint32_t field : {v.compression, std::uint32_t(imageSize), 2835u, 2835u, 0u, 0u})
        append(h, field);
    if (hasMasks(v))
        for (std::uint32_t mask : masksOf(v))
            append(h, mask);
    // Cut to a short OS/2 2.x header, or filled out to a longer one (a mask
    // area inside the header is the one written just above).
    if (!(hasMasks(v) && v.headerSize == 40)) h.resize(v.headerSize, 0);
    return h;
}

// A whole file of the variant showing the test picture (direct colours from
// `colour` when given).
inline Bytes encodeBmp(const Variant& v, int width, int height,
                       const std::function<Rgb(int, int)>& colour = directColour) {
    const Bytes block = pixelBlock(v, width, height, colour);
    Bytes body = infoHeader(v, width, height, block.size());
    for (int i = 0; i < paletteSize(v); ++i) {
        const Rgb c = paletteColour(i);
        body.insert(body.end(), {c.b, c.g, c.r});
        if (v.headerSize != 12) body.push_back(0);
    }
    Bytes f = {'B', 'M'};
    append(f, std::uint32_t(14 + body.size() + block.size()));
    append(f, 0);
    append(f, std::uint32_t(14 + body.size()));
    f.insert(f.end(), body.begin(), body.end());
    f.insert(f.end(), block.begin(), block.end());
    return f;
}

// A 24-bit bitmap whose pixel (x, y) (y counted from the bottom row) has the
// colour colourAt(x, y) as {r, g, b}.
template <class ColourAt> Bytes makeBmp(int width, int height, ColourAt colourAt) {
    return encodeBmp({"24-bit", 24}, width, height, [&](int x, int y) {
        const auto c = colourAt(x, y);
        return Rgb{(unsigned char)c[0], (unsigned char)c[1], (unsigned char)c[2]};
    });
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
    {"8-bit top-down", 8, 0, 40, true},
    {"RLE8", 8, 1},
    {"RLE4", 4, 2},
    {"16-bit 5-5-5", 16},
    {"16-bit 5-6-5 bit fields", 16, 3, 40, false, {0xF800, 0x07E0, 0x001F}},
    {"24-bit", 24},
    {"24-bit top-down", 24, 0, 40, true},
    {"32-bit bit fields, red lowest", 32, 3, 40, false, {0xFF, 0xFF00, 0xFF0000}},
    {"32-bit alpha bit fields", 32, 6, 40},
    {"32-bit v5 header with masks inside", 32, 3, 124, false, {0xFF00, 0xFF0000, 0xFF000000}},
    {"32-bit v4 header top-down", 32, 0, 108, true},
    {"OS/2 1.x 8-bit", 8, 0, 12},
    {"OS/2 1.x 24-bit", 24, 0, 12},
    {"OS/2 2.x RLE8", 8, 1, 64},
    {"OS/2 2.x short header", 8, 0, 16},
};

} // namespace bmptest
