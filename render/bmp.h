// Reader for 24-bit uncompressed Windows bitmaps, the one image format of the
// game's data. Files are untrusted: every size and offset is checked against
// the data before anything is read.
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
// Reads the file through the platform's data-path lookup, then parses it.
bool loadBmp(const std::string& path, BmpImage& out, std::string& error);
