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
    for (int c = 0; c < 3; ++c)
        m[c] = v.masks[c];
    if (m[0] | m[1] | m[2]) return;
    if (v.bits == 16) {
        m[0] = 0x7C00, m[1] = 0x03E0, m[2] = 0x001F;
    } else {
        m[0] = 0xFF0000, m[1] = 0xFF00, m[2] = 0xFF;
    }
}

inline int lowBit(std::uint32_t mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

inline int bitCount(std::uint32_t mask) {
    int n = 0;
    for (; mask; mask >>= 1)
        n += int(mask & 1);
    return n;
}

// The colour as stored under the masks, and as it reads back (each channel
// scaled from its bits to 0..255).
inline std::uint32_t packColour(const Variant& v, Rgb c) {
    std::uint32_t m[3];
    masksOf(v, m);
    const unsigned char channel[3] = {c.r, c.g, c.b};
    std::uint32_t value = 0;
    for (int k = 0; k < 3; ++k)
        value |= std::uint32_t(channel[k] >> (8 - bitCount(m[k]))) << lowBit(m[k]);
    return value;
}

inline Rgb storedColour(const Variant& v, Rgb c) {
    std::uint32_t m[3];
    masksOf(v, m);
    const std::uint32_t value = packColour(v, c);
    unsigned char out[3];
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t top = (1u << bitCount(m[k])) - 1;
        out[k] = (unsigned char)(((value & m[k]) >> lowBit(m[k])) * 255 / top);
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

inline void append16(std::vector<unsigned char>& f, std::uint32_t x) {
    f.push_back(x & 0xFF);
    f.push_back((x >> 8) & 0xFF);
}
inline void append32(std::vector<unsigned char>& f, std::uint32_t x) {
    append16(f, x & 0xFFFF);
    append16(f, x >> 16);
}

// One stored row, uncompressed and padded to four bytes.
inline std::vector<unsigned char> plainRow(const Variant& v, int width, int y) {
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
            const Rgb c = directColour(x, y);
            row.insert(row.end(), {c.b, c.g, c.r});
        } else {
            const std::uint32_t value = packColour(v, directColour(x, y));
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
            for (std::size_t k = 0; k < literal; ++k) {
                if (!four) {
                    out.push_back((unsigned char)row[i + k]), ++bytes;
                } else if (k % 2 == 0) {
                    const int next = k + 1 < literal ? row[i + k + 1] : 0;
                    out.push_back((unsigned char)(row[i + k] << 4 | next)), ++bytes;
                }
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

inline std::vector<unsigned char> pixelBlock(const Variant& v, int width, int height) {
    std::vector<unsigned char> block;
    for (int k = 0; k < height; ++k) {
        const int y = v.topDown ? height - 1 - k : k;
        if (v.compression == 1 || v.compression == 2) {
            rleRow(v, width, y, block);
            block.insert(block.end(), {0, 0});
        } else {
            const auto row = plainRow(v, width, y);
            block.insert(block.end(), row.begin(), row.end());
        }
    }
    if (v.compression == 1 || v.compression == 2) block.insert(block.end(), {0, 1});
    return block;
}

inline std::vector<unsigned char> infoHeader(const Variant& v, int width, int height,
                                             std::size_t imageSize) {
    std::vector<unsigned char> h;
    append32(h, v.headerSize);
    if (v.headerSize == 12) {
        append16(h, std::uint32_t(width));
        append16(h, std::uint32_t(height));
        append16(h, 1);
        append16(h, std::uint32_t(v.bits));
        return h;
    }
    append32(h, std::uint32_t(width));
    append32(h, std::uint32_t(v.topDown ? -height : height));
    append16(h, 1);
    append16(h, std::uint32_t(v.bits));
    append32(h, v.compression);
    append32(h, std::uint32_t(imageSize));
    append32(h, 2835);
    append32(h, 2835);
    append32(h, 0);
    append32(h, 0);
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

// A whole file of the variant showing the test picture.
inline std::vector<unsigned char> encodeBmp(const Variant& v, int width, int height) {
    const std::vector<unsigned char> block = pixelBlock(v, width, height);
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

// Bytes of padding after the last stored row (0 for RLE files).
inline std::size_t lastRowPadding(const Variant& v, int width) {
    if (v.compression == 1 || v.compression == 2) return 0;
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
inline void writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

} // namespace bmptest
