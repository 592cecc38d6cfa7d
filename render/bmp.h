// Reader for Windows and OS/2 bitmaps of 1, 4, 8, 16, 24 and 32 bits:
// palettes, bit fields, RLE4 and RLE8, bottom-up and top-down rows. The game's
// own data is 24-bit uncompressed and is read directly; every other kind is
// decoded by SDL. Files are untrusted: the headers, the colour masks, the
// palette and the pixel block are checked against the data before either
// decoder sees it, and every refusal names its reason.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Largest side and pixel count accepted; bigger files are refused as oversized.
constexpr int BMP_MAX_SIDE = 16384;
constexpr long long BMP_MAX_PIXELS = 32LL * 1024 * 1024;

struct BmpImage {
    int width = 0, height = 0;
    // Rows bottom-up, 3 bytes per pixel (red, green, blue), no padding.
    std::vector<unsigned char> rgb;
};

// Decodes a whole bitmap file held in memory. On failure returns false with
// the reason in error and leaves out empty.
bool parseBmp(const unsigned char* data, std::size_t size, BmpImage& out, std::string& error);
// The same checks, then SDL's decoder for every kind of file, the 24-bit
// ones included (to compare the two decoders).
bool parseBmpWithLibrary(const unsigned char* data, std::size_t size, BmpImage& out,
                         std::string& error);
// Reads the file through the platform's data-path lookup, then parses it.
bool loadBmp(const std::string& path, BmpImage& out, std::string& error);
